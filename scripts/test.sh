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

echo "== fuzzing the package reader (${PEMBROX_FUZZ_SECONDS:-60} s)"
fuzz="$top/build/fuzz"
cmake -S "$top" -B "$fuzz" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPEMBROX_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$fuzz" -j"$jobs" --target skinread_fuzz make_fuzz_seeds
mkdir -p "$fuzz/corpus"
"$fuzz/tests/fuzz/make_fuzz_seeds" "$fuzz/corpus"
if ! "$fuzz/tests/fuzz/skinread_fuzz" -max_total_time="${PEMBROX_FUZZ_SECONDS:-60}" -max_len=8192 -timeout=20 \
     -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$fuzz/" "$fuzz/corpus" >"$fuzz/fuzz.log" 2>&1; then
  tail -n 60 "$fuzz/fuzz.log"
  echo "fuzzing found a failure (the reproducer is in $fuzz, crash-* or leak-*)" >&2
  exit 1
fi
grep -E '^stat::number_of_executed_units' "$fuzz/fuzz.log" || true

echo "== Windows build (i686-w64-mingw32)"
cmake -S "$top" -B "$top/build/win" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$top/build/win" -j"$jobs"

# shellcheck source=winebench.sh
source "$top/scripts/winebench.sh"
bench_start
bench_stop_on_exit
echo "== Windows tests (Wine)"
ctest --test-dir "$top/build/win" --output-on-failure -j"$jobs"
