#!/usr/bin/env bash
# Builds Pembrox for 32-bit Windows and runs it under Wine. Installs what is missing first.
#   scripts/run.sh [--demo] [--screenshot OUT.png] [PEMBROX ARGS...]
# --demo builds and runs PembroxDemo instead: a sizeable main form with a few controls, skinned.
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
cmake -S "$top" -B "$top/build/win" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$top/build/win" -j"$(nproc)" --target "$target"

exe="$top/build/win/$exe_dir/$target.exe"
# Pembrox looks for "default.skn" and IMAGES/SPLASH.JPG or .BMP in its working folder, the demo
# for "default.skn". This one starts empty, so the built-in picture and skin show; put files
# there to try others.
work="$top/build/run"
mkdir -p "$work"
cd "$work"
if [ -n "$shot" ]; then
  exec "$top/scripts/screenshot" "$shot" --wait 3 -- "$exe" "$@"
fi
# shellcheck source=winebench.sh
source "$top/scripts/winebench.sh"
bench_start
bench_stop_on_exit
wine "$exe" "$@"
