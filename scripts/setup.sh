#!/usr/bin/env bash
# One-time, idempotent set-up of a Debian 12 machine (run as root): the i686 mingw-w64 toolchain,
# Wine, Xvfb and friends, GoogleTest sources, clang, and libjpeg-turbo built for the target.
# A second run only checks and returns in seconds.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
cache=${PEMBROX_CACHE:-$top/.cache}

say() { printf '[setup] %s\n' "$*"; }
die() { printf '[setup] ERROR: %s\n' "$*" >&2; exit 1; }

packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 xvfb xauth x11-apps x11-utils imagemagick googletest clang
          cmake make dpkg-dev xdotool fonts-wine libbenchmark-dev libclang-rt-14-dev libx11-dev libxext-dev)

mkdir -p "$cache"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  [ "$(id -u)" = 0 ] || die "missing packages (${missing[*]}) and not root: run this script as root"
  say "missing packages: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    say "adding the i386 architecture"
    dpkg --add-architecture i386
  fi
  say "apt-get update"
  apt-get update -qq || die "apt-get update failed"
  say "installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    >"$cache/apt.log" 2>&1 || { tail -n 30 "$cache/apt.log" >&2; die "could not install: ${missing[*]}"; }
  for p in "${missing[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' \
      || die "package $p is still not installed"
  done
fi

for arch in i686 x86_64; do
  command -v $arch-w64-mingw32-g++-posix >/dev/null || die "$arch-w64-mingw32-g++-posix not found after install"
done
[ -f /usr/src/googletest/googletest/src/gtest-all.cc ] || die "GoogleTest sources not found in /usr/src/googletest"

# libjpeg-turbo for the targets (32-bit, and 64-bit for machines that cannot run 32-bit code),
# from Debian's source package, static, into the cache.
for arch in i686 x86_64; do
jpeg_prefix=$cache/libjpeg-$arch
if [ ! -f "$jpeg_prefix/lib/libjpeg.a" ]; then
  mkdir -p "$cache"
  src_dir=$(ls -d "$cache"/src/libjpeg-turbo-*/ 2>/dev/null | head -n 1 || true)
  if [ -z "$src_dir" ]; then
    if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
      [ "$(id -u)" = 0 ] || die "no deb-src entry and not root: run this script as root"
      say "adding a deb-src entry for bookworm"
      cat >/etc/apt/sources.list.d/pembrox-src.sources <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
      apt-get update -qq || die "apt-get update failed"
    fi
    say "fetching the libjpeg-turbo source package"
    mkdir -p "$cache/src"
    (cd "$cache/src" && apt-get source -qq libjpeg-turbo >"$cache/src/apt-source.log" 2>&1) \
      || { tail -n 20 "$cache/src/apt-source.log" >&2; die "apt-get source libjpeg-turbo failed"; }
    src_dir=$(ls -d "$cache"/src/libjpeg-turbo-*/ | head -n 1)
  fi
  say "building libjpeg-turbo for $arch-w64-mingw32 from $src_dir"
  rm -rf "$cache/build-jpeg"
  cmake -S "$src_dir" -B "$cache/build-jpeg" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF \
    -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF -DCMAKE_INSTALL_PREFIX="$jpeg_prefix" \
    -DCMAKE_POLICY_DEFAULT_CMP0057=NEW >"$cache/build-jpeg.log" 2>&1 \
    || { tail -n 30 "$cache/build-jpeg.log" >&2; die "configuring libjpeg-turbo failed"; }
  cmake --build "$cache/build-jpeg" -j"$(nproc)" --target jpeg-static >>"$cache/build-jpeg.log" 2>&1 \
    || { tail -n 30 "$cache/build-jpeg.log" >&2; die "building libjpeg-turbo failed"; }
  mkdir -p "$jpeg_prefix/lib" "$jpeg_prefix/include"
  cp "$cache/build-jpeg/libjpeg.a" "$jpeg_prefix/lib/"
  cp "$src_dir"/jpeglib.h "$src_dir"/jmorecfg.h "$src_dir"/jerror.h "$cache/build-jpeg/jconfig.h" \
     "$jpeg_prefix/include/"
  say "libjpeg-turbo installed in $jpeg_prefix"
fi
done

say "ready"
