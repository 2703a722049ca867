#!/usr/bin/env bash
# Builds the benchmarks natively (optimised, no sanitizers) and runs them; they print their figures.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/setup.sh"
cmake -S "$top" -B "$top/build/bench" -DCMAKE_BUILD_TYPE=Release -DPEMBROX_SANITIZERS=OFF >/dev/null
cmake --build "$top/build/bench" -j"$(nproc)" --target lzh_bench
"$top/build/bench/tests/lzh_bench" "$@"
