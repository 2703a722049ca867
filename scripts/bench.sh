#!/usr/bin/env bash
# Builds the benchmarks (optimised, no sanitizers) and runs them; they print their figures.
# Native: the LZH decoder. Windows (under the Wine bench): bitmap loading, frame-strip drawing,
# skinned frame painting and resizing.
#   scripts/bench.sh [--native-only | --win-only]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
which=${1:-all}
"$top/scripts/setup.sh"
if [[ $which != --win-only ]]; then
  cmake -S "$top" -B "$top/build/bench" -DCMAKE_BUILD_TYPE=Release -DPEMBROX_SANITIZERS=OFF >/dev/null
  cmake --build "$top/build/bench" -j"$(nproc)" --target lzh_bench
  "$top/build/bench/tests/lzh_bench"
fi
if [[ $which != --native-only ]]; then
  cmake -S "$top" -B "$top/build/bench-win" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$top/build/bench-win" -j"$(nproc)" --target bitmap_load_bench skin_draw_bench frame_bench button_bench
  "$top/scripts/wine-run" "$top/build/bench-win/tests/bitmap_load_bench.exe"
  "$top/scripts/wine-run" "$top/build/bench-win/tests/skin_draw_bench.exe"
  "$top/scripts/wine-run" "$top/build/bench-win/tests/frame_bench.exe" "$top/build/bench-win/skins/default.skn"
  "$top/scripts/wine-run" "$top/build/bench-win/tests/button_bench.exe" "$top/build/bench-win/skins/default.skn"
fi
