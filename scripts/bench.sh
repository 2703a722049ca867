#!/usr/bin/env bash
# Builds the benchmarks (optimised, no sanitizers) and runs them; they print their figures.
# Native (-O2): the LZH decoder. Windows (under the Wine bench): the LZH decoder (the built-in
# packages, real text with bitmaps and random bytes, against the classic decoder), bitmap loading,
# frame-strip drawing, every skinned control's paint against the platform's, skin loading against
# decoding, the first frame of a skinned window, and the start-up of Pembrox, the gallery and the
# plain example, skinned and not, seen from outside; then the sizes of the release DLL and of a
# static host. It ends with one table of every figure with a target, and whether it is met.
# With --dpi N the Windows paint benchmarks run once more on a bench whose screen is at N dots per
# inch (build/benchN), where the skinned and the unskinned controls are both drawn at N.
#   scripts/bench.sh [--native-only | --win-only] [--dpi N]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
which=all dpi=
while (($#)); do
  case $1 in
    --native-only | --win-only) which=$1 ;;
    --dpi) dpi=${2:-}; shift ;;
    *) echo "usage: scripts/bench.sh [--native-only | --win-only] [--dpi N]" >&2; exit 2 ;;
  esac
  shift
done
[[ -z $dpi || $dpi =~ ^[0-9]+$ ]] || { echo "--dpi takes a number of dots per inch" >&2; exit 2; }
"$top/scripts/setup.sh"
if [[ $which != --win-only ]]; then
  cmake -S "$top" -B "$top/build/bench" -DCMAKE_BUILD_TYPE=Release -DPEMBROX_SANITIZERS=OFF \
    "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" >/dev/null
  cmake --build "$top/build/bench" -j"$(nproc)" --target lzh_bench
  "$top/build/bench/tests/lzh_bench"
fi
if [[ $which != --native-only ]]; then
  # shellcheck source=winebench.sh
  source "$top/scripts/winebench.sh"
  # The 32-bit build, or the x86-64 one where the kernel does not run 32-bit code.
  pembrox_win_build bench-win
  bw=$win_build
  [[ $(pembrox_win_arch) == win64 ]] &&
    echo "== this kernel does not run 32-bit x86 code: the x86-64 build's figures, under wine64"
  cmake -S "$top" -B "$bw" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$bw" -j"$(nproc)" --target lzh_decode_bench bitmap_load_bench skin_draw_bench frame_bench \
    button_bench skin_load_bench first_frame_bench menu_bar_bench popup_menu_bench bars_bench \
    scroll_bar_bench edits_bench tabs_bench content_bench startup_bench pembrox Pembrox PembroxDemo PlainSkinned
  figures=$(mktemp)
  trap 'rm -f "$figures"' EXIT
  run() { "$top/scripts/wine-run" "$@" | tee -a "$figures"; }
  skin=$bw/skins/default.skn
  run "$bw/tests/lzh_decode_bench.exe" "$skin" "$bw/skins/night.skn" --text "$top/README.md" "$top/docs/skins.md" \
    "$top"/skin/data/*.cpp "$top"/framework/controls/*.cpp
  run "$bw/tests/bitmap_load_bench.exe"
  run "$bw/tests/skin_draw_bench.exe"
  for b in frame_bench button_bench skin_load_bench first_frame_bench menu_bar_bench popup_menu_bench bars_bench \
    scroll_bar_bench edits_bench tabs_bench; do
    run "$bw/tests/$b.exe" "$skin"
  done
  # Night gives content colours; the built-in default keeps the program's.
  run "$bw/tests/content_bench.exe" "$bw/skins/night.skn"
  # Each program from a folder without a default.skn: the built-in skin, or none with /noskin.
  work=$(mktemp -d)
  (cd "$work" && run "$bw/tests/startup_bench.exe" \
    Pembrox "$bw/splash/Pembrox.exe" "$bw/splash/Pembrox.exe /noskin" \
    gallery "$bw/demo/PembroxDemo.exe /page=1" "$bw/demo/PembroxDemo.exe /page=1 /noskin" \
    plain "$bw/examples/plain/PlainSkinned.exe" "$bw/examples/plain/PlainSkinned.exe /noskin")
  rmdir "$work"
  # The sizes of the release DLL and of a static host, for the 32-bit product also where only the
  # x86-64 build runs here.
  size_builds=("$bw")
  if [[ $(pembrox_win_arch) == win64 ]]; then
    b32=$top/build/bench-win
    cmake -S "$top" -B "$b32" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DPEMBROX_GENERATED_FROM="$bw" >/dev/null
    cmake --build "$b32" -j"$(nproc)" --target pembrox Pembrox
    size_builds+=("$b32")
  fi
  for b in "${size_builds[@]}"; do
    arch=$([[ $b == */bench-win64 ]] && echo x86-64 || echo 32-bit)
    dll=$(stat -c %s "$b/skin/api/pembrox.dll") host=$(stat -c %s "$b/splash/Pembrox.exe")
    echo "sizes ($arch): pembrox.dll $dll bytes; Pembrox.exe, a static host with its picture and skin, $host bytes"
    awk -v d="$dll" -v a="$arch" 'BEGIN { printf "figure: release pembrox.dll (%s) | %.2f MB | <= 3.00 MB | %s\n",
                                          a, d / 1048576, d <= 3 * 1048576 ? "met" : "MISSED" }' | tee -a "$figures"
  done
  if [[ -n $dpi ]]; then
    echo "== at $dpi dots per inch: skinned and unskinned both drawn for $dpi"
    for b in frame_bench button_bench skin_load_bench menu_bar_bench bars_bench scroll_bar_bench edits_bench \
      tabs_bench; do
      PEMBROX_BENCH_DIR="$top/build/bench$dpi" PEMBROX_BENCH_DPI=$dpi \
        "$top/scripts/wine-run" "$bw/tests/$b.exe" "$bw/skins/default.skn"
    done
  fi
  echo
  echo "== every figure with a target ($(pembrox_win_arch) build)"
  sed -n 's/^figure: //p' "$figures" | tr -d '\r' |
    awk -F ' [|] ' '{ printf "  %-66s %12s   %-14s %s\n", $1, $2, $3, $4 }'
  missed=$(grep -c 'MISSED' "$figures" || true)
  echo "  $(grep -c '^figure:' "$figures") figures, $missed missed"
fi
