#!/usr/bin/env bash
# Builds both builds and runs every test: the portable code natively (AddressSanitizer and
# UBSan), then everything for 32-bit Windows under Wine. Installs what is missing first.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

"$top/scripts/setup.sh"
# shellcheck source=winebench.sh
source "$top/scripts/winebench.sh"
pembrox_win_build win
[[ $(pembrox_win_arch) == win64 ]] &&
  echo "== this kernel does not run 32-bit x86 code: the Windows build and tests are the x86-64 ones, under wine64"

echo "== native build (sanitizers)"
cmake -S "$top" -B "$top/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$top/build/native" -j"$jobs"
echo "== native tests"
ctest --test-dir "$top/build/native" --output-on-failure -j"$jobs"

fuzz="$top/build/fuzz"
fuzz_seconds=${PEMBROX_FUZZ_SECONDS:-60}
cmake -S "$top" -B "$fuzz" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPEMBROX_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$fuzz" -j"$jobs" --target skinread_fuzz bitmap_fuzz make_fuzz_seeds
"$fuzz/tests/fuzz/make_fuzz_seeds" "$fuzz"
# run_fuzzer NAME: runs build/fuzz/tests/fuzz/NAME over build/fuzz/NAME-corpus; fails on any crash,
# leak or sanitizer report (the reproducer is left in build/fuzz).
run_fuzzer() {
  local name=$1
  echo "== fuzzing $name ($fuzz_seconds s)"
  mkdir -p "$fuzz/$name-corpus"
  if ! "$fuzz/tests/fuzz/$name" -max_total_time="$fuzz_seconds" -max_len=8192 -timeout=20 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$fuzz/$name-" "$fuzz/$name-corpus" >"$fuzz/$name.log" 2>&1; then
    tail -n 60 "$fuzz/$name.log"
    echo "fuzzing $name found a failure (reproducer: $fuzz/$name-crash-* or -leak-*)" >&2
    exit 1
  fi
  grep -E '^stat::number_of_executed_units' "$fuzz/$name.log" || true
}
run_fuzzer skinread_fuzz
run_fuzzer bitmap_fuzz

win_arch=${toolchain##*/mingw-}
echo "== Windows build (${win_arch%.cmake})"
cmake -S "$top" -B "$win_build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake --build "$win_build" -j"$jobs"

bench_start
bench_stop_on_exit
echo "== Windows tests (Wine)"
# A test that fails is run once more: about one start in a few thousand, Wine ends a program at
# once with exit code 1 and no output, before its first line ran. Both runs show in the output.
ctest --test-dir "$win_build" --output-on-failure -j"$jobs" --repeat until-pass:2
