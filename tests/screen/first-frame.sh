#!/usr/bin/env bash
# The first frame, seen from outside: starts a Windows program under the Wine bench and watches
# the X screen from the moment it starts, failing when any capture shows the platform's own
# caption bar (active or inactive) before the skin's, or when nothing shows at all.
#   first-frame.sh BUILD_DIR SECONDS EXPECTED_EXIT PROGRAM.exe [ARGS...]
# EXPECTED_EXIT: the program's exit code the test wants, or "any" for a program the watcher ends.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$1 seconds=$2 expected=$3
shift 3
# shellcheck source=../../scripts/winebench.sh
source "$here/../../scripts/winebench.sh" || exit 125
bench_start -q >&2 || { echo "the Wine bench did not start" >&2; exit 125; }

watch=$build/screenwatch
if [[ ! -x $watch || $here/ScreenWatch.c -nt $watch ]]; then
  cc -O2 -o "$watch.tmp" "$here/ScreenWatch.c" -lX11 -lXext && mv "$watch.tmp" "$watch" || exit 125
fi
# The platform's caption colours, as the program's own platform gives them: active and inactive,
# each from its colour to its gradient's.
colours=$("$PEMBROX_WINE" "$build/tests/first_frame_host.exe" /colours | tr -d '\r')
read -r active activeEnd inactive inactiveEnd <<<"$colours"
[[ -n ${inactiveEnd:-} ]] || { echo "could not read the caption colours: '$colours'" >&2; exit 125; }

name=$(basename "$1" .exe)
shot=$build/first-frame-${name}-$$.ppm
out=$("$watch" -s "$seconds" -o "$shot" -g "$active:$activeEnd" -g "$inactive:$inactiveEnd" -- "$PEMBROX_WINE" "$@")
status=$?
echo "$*: $out"
case $status in
  0) ;;
  1) echo "FAIL: the platform's own caption showed (the capture: $shot)"; exit 1 ;;
  2) echo "FAIL: the program showed nothing"; exit 1 ;;
  *) echo "FAIL: the watcher could not run ($status)"; exit 1 ;;
esac
rm -f "$shot"
if [[ $expected != any && $out != *"program ended with $expected"* ]]; then
  echo "FAIL: the program did not end with $expected"
  exit 1
fi
exit 0
