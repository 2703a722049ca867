#!/usr/bin/env bash
# Builds Pembrox for 32-bit Windows and runs it under Wine. Installs what is missing first.
#   scripts/run.sh [--demo] [--screenshot OUT.png] [PEMBROX ARGS...]
# --demo builds and runs PembroxDemo instead, the gallery of skinned windows (its arguments:
# [/page=N] [/skin=FILE | /noskin], FILE an absolute path: a skin package, or a skin's folder, which
# the gallery loads again whenever a file in it is saved: the skin author's loop).
# On a machine without a display the program runs on the test bench's virtual screen; use
# --screenshot to see it.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

target=Pembrox
exe_dir=splash
if [ "${1:-}" = "--demo" ]; then
  target=PembroxDemo
  exe_dir=demo
  shift
fi
shot=""
if [ "${1:-}" = "--screenshot" ]; then
  shot=${2:?--screenshot needs a file name}
  shift 2
fi

"$top/scripts/setup.sh"
# shellcheck source=winebench.sh
source "$top/scripts/winebench.sh"
# The 32-bit build, or the x86-64 one on a kernel that does not run 32-bit code.
pembrox_win_build win
cmake -S "$top" -B "$win_build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake --build "$win_build" -j"$(nproc)" --target "$target"

exe="$win_build/$exe_dir/$target.exe"
# Pembrox looks for "default.skn" and IMAGES/SPLASH.JPG or .BMP in its working folder, the demo
# for "default.skn". This one starts empty, so the built-in picture and skin show; put files
# there to try others.
work="$top/build/run"
mkdir -p "$work"
cd "$work"
if [ -n "$shot" ]; then
  exec "$top/scripts/screenshot" "$shot" --wait 3 -- "$exe" "$@"
fi
bench_start
bench_stop_on_exit
"${PEMBROX_WINE:-wine}" "$exe" "$@"
