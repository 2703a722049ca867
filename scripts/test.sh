#!/usr/bin/env bash
# Builds both builds and runs every test: the portable code natively (AddressSanitizer and
# UBSan), then everything for 32-bit Windows under Wine. Installs what is missing first.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

"$top/scripts/setup.sh"

echo "== native build (sanitizers)"
cmake -S "$top" -B "$top/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$top/build/native" -j"$jobs"
echo "== native tests"
ctest --test-dir "$top/build/native" --output-on-failure -j"$jobs"

echo "== Windows build (i686-w64-mingw32)"
cmake -S "$top" -B "$top/build/win" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$top/build/win" -j"$jobs"

# shellcheck source=winebench.sh
source "$top/scripts/winebench.sh"
bench_start
bench_stop_on_exit
echo "== Windows tests (Wine)"
ctest --test-dir "$top/build/win" --output-on-failure -j"$jobs"
