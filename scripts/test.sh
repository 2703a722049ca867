#!/usr/bin/env bash
# Builds every build and runs every test: the portable code natively (AddressSanitizer and UBSan),
# then the Windows builds of both architectures under Wine (see below). Installs what is missing first.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

"$top/scripts/setup.sh"
# shellcheck source=winebench.sh
source "$top/scripts/winebench.sh"
# The Windows builds: both architectures, always. The first is the one whose programs this machine
# runs (32-bit where the kernel runs 32-bit code, else x86-64) and runs its generators; the other
# takes its generated files, and its tests run only where the machine runs them too.
pembrox_win_build win
first_arch=$(pembrox_win_arch)
if [[ $first_arch == win32 ]]; then
  other_arch=win64 other_build=$top/build/win64 other_toolchain=$top/cmake/mingw-x86_64.cmake
  other_runs=$([[ -x /usr/lib/wine/wine64 ]] && echo yes || echo no)
else
  other_arch=win32 other_build=$top/build/win other_toolchain=$top/cmake/mingw-i686.cmake other_runs=no
  echo "== this kernel does not run 32-bit x86 code: the Windows tests are the x86-64 build's, under wine64;" \
       "the 32-bit build is built, not run"
fi
# What the other architecture builds: the product; where it runs, the tests of what differs
# between the architectures (the C interface, the launcher, Wine's own programs through it).
other_targets=(pembrox pembrox-run pembrox_skin_static Pembrox PembroxDemo skinpack)
other_tests=(skin_api_tests launcher_tests UnmodifiedHost ChangingHost ThreadedHost window_inspector)
other_ctest='^(SkinApi\.|Launcher\.|real_programs\..*_slate$)'

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

echo "== Windows build (${first_arch}, $(basename "$win_build"))"
cmake -S "$top" -B "$win_build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DPEMBROX_TWIN_BUILD="$other_build" >/dev/null
cmake --build "$win_build" -j"$jobs"
echo "== Windows build (${other_arch}, $(basename "$other_build"): the product$([[ $other_runs == yes ]] &&
  echo " and the tests of the launcher and the C interface"))"
cmake -S "$top" -B "$other_build" -DCMAKE_TOOLCHAIN_FILE="$other_toolchain" -DPEMBROX_GENERATED_FROM="$win_build" \
  -DPEMBROX_TWIN_BUILD="$win_build" >/dev/null
if [[ $other_runs == yes ]]; then other_targets+=("${other_tests[@]}"); fi
cmake --build "$other_build" -j"$jobs" --target "${other_targets[@]}"

# A test that fails is run once more: about one start in a few thousand, Wine ends a program at
# once with exit code 1 and no output, before its first line ran. Both runs show in the output.
(
  bench_start
  bench_stop_on_exit
  echo "== Windows tests, ${first_arch} (Wine): all"
  ctest --test-dir "$win_build" --output-on-failure -j"$jobs" --repeat until-pass:2
)
if [[ $other_runs == yes ]]; then
  (
    export PEMBROX_WIN_ARCH=$other_arch
    source "$top/scripts/winebench.sh"
    bench_start
    bench_stop_on_exit
    echo "== Windows tests, ${other_arch} (Wine, a 64-bit prefix that runs 32-bit programs too): the C interface," \
         "the launcher with programs of both architectures, Wine's own 64-bit programs through it"
    ctest --test-dir "$other_build" --output-on-failure -j"$jobs" --repeat until-pass:2 -R "$other_ctest"
  )
  echo "== Windows tests ran: ${first_arch} (all) and ${other_arch} (the C interface, the launcher, real programs)"
else
  echo "== Windows tests ran: ${first_arch} (all); ${other_arch} was built, not run (this machine cannot run it)"
fi
