#!/usr/bin/env bash
# Builds the benchmarks (optimised, no sanitizers) and runs them; they print their figures.
# Native (-O2): the LZH decoder. Windows (under the Wine bench): the LZH decoder, bitmap loading,
# frame-strip drawing, skinned frame painting and resizing, push-button painting, skin loading
# against decoding, and the first frame of a skinned window against a trivial one.
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
    scroll_bar_bench edits_bench tabs_bench content_bench
  "$top/scripts/wine-run" "$bw/tests/lzh_decode_bench.exe"
  "$top/scripts/wine-run" "$bw/tests/bitmap_load_bench.exe"
  "$top/scripts/wine-run" "$bw/tests/skin_draw_bench.exe"
  "$top/scripts/wine-run" "$bw/tests/frame_bench.exe" "$bw/skins/default.skn"
  "$top/scripts/wine-run" "$bw/tests/button_bench.exe" "$bw/skins/default.skn"
  "$top/scripts/wine-run" "$bw/tests/skin_load_bench.exe" "$bw/skins/default.skn"
  "$top/scripts/wine-run" "$bw/tests/first_frame_bench.exe" "$bw/skins/default.skn"
  "$top/scripts/wine-run" "$bw/tests/menu_bar_bench.exe" "$bw/skins/default.skn"
  "$top/scripts/wine-run" "$bw/tests/popup_menu_bench.exe" "$bw/skins/default.skn"
  "$top/scripts/wine-run" "$bw/tests/bars_bench.exe" "$bw/skins/default.skn"
  "$top/scripts/wine-run" "$bw/tests/scroll_bar_bench.exe" "$bw/skins/default.skn"
  "$top/scripts/wine-run" "$bw/tests/edits_bench.exe" "$bw/skins/default.skn"
  "$top/scripts/wine-run" "$bw/tests/tabs_bench.exe" "$bw/skins/default.skn"
  # Night gives content colours; the built-in default keeps the program's.
  "$top/scripts/wine-run" "$bw/tests/content_bench.exe" "$bw/skins/night.skn"
  if [[ -n $dpi ]]; then
    echo "== at $dpi dots per inch: skinned and unskinned both drawn for $dpi"
    for b in frame_bench button_bench skin_load_bench menu_bar_bench bars_bench scroll_bar_bench edits_bench \
      tabs_bench; do
      PEMBROX_BENCH_DIR="$top/build/bench$dpi" PEMBROX_BENCH_DPI=$dpi \
        "$top/scripts/wine-run" "$bw/tests/$b.exe" "$bw/skins/default.skn"
    done
  fi
fi
