#!/usr/bin/env bash
# Makes the README's pictures in docs/ again from a fresh build: every page of the gallery
# (PembroxDemo) unskinned, with the built-in Pembrox Slate and with the built-in Pembrox Night, and
# Pembrox's splash window. Installs what is missing first, like the run and test commands.
#   scripts/pictures.sh [OUT_FOLDER]      (default: docs/)
#   scripts/pictures.sh --skin SKIN OUT_FOLDER
# With --skin, only the gallery's pages with SKIN (a .skn package or a skin's folder), as
# page-1.png to page-6.png: what scripts/preview.sh makes for a skin author.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
skin=
if [[ ${1:-} == --skin ]]; then
  (($# == 3)) || { echo "usage: ${0##*/} --skin SKIN OUT_FOLDER" >&2; exit 2; }
  skin=$(realpath -- "$2")
  [[ -e $skin ]] || { echo "${0##*/}: no skin at $2" >&2; exit 1; }
  shift 2
fi
out=${1:-$top/docs}
out=$(mkdir -p -- "$out" && cd -- "$out" && pwd)

"$top/scripts/setup.sh"
# shellcheck source=winebench.sh
source "$top/scripts/winebench.sh"
pembrox_win_build win
cmake -S "$top" -B "$win_build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake --build "$win_build" -j"$(nproc)" --target PembroxDemo Pembrox

bench_start
bench_stop_on_exit
export DISPLAY
xdotool mousemove 0 0 # nothing hot
mkdir -p "$out"
# An empty working folder: no "default.skn" takes the place of the built-in skins.
work=$(mktemp -d)
pid=
cleanup() {
  [[ -n $pid ]] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf -- "$work"
}
trap 'cleanup; bench_stop' EXIT

# shoot OUT.png TITLE PROGRAM.exe [ARGS...]: runs the program in the working folder, waits for
# its window, saves the window's part of the screen (frame included) and ends the program.
shoot() {
  local file=$1 title=$2 wid='' geo X='' Y='' WIDTH='' HEIGHT='' i
  shift 2
  (cd "$work" && exec "${PEMBROX_WINE:-wine}" "$@" </dev/null >/dev/null 2>&1) &
  pid=$!
  for ((i = 0; i < 150; i++)); do
    wid=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1) || true
    [[ -n $wid ]] && break
    kill -0 "$pid" 2>/dev/null || { echo "${1##*/} ended before its window showed" >&2; exit 1; }
    sleep 0.2
  done
  [[ -n $wid ]] || { echo "no window named '$title'" >&2; exit 1; }
  sleep 2 # the skin's requests and the first paints
  geo=$(xdotool getwindowgeometry --shell "$wid")
  eval "$(grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9-]+$' <<<"$geo")"
  xwd -root -silent | convert xwd:- -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -strip \
    -define png:compression-level=9 "png:$file"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
  pid=
  echo "saved ${file#"$top"/}"
}

demo=$win_build/demo/PembroxDemo.exe
if [[ -n $skin ]]; then
  for page in 1 2 3 4 5 6; do
    shoot "$out/page-$page.png" '^Pembrox Demo$' "$demo" "/page=$page" "/skin=Z:${skin//\//\\}"
  done
  exit 0
fi
night=$win_build/skins/night.skn
night="Z:${night//\//\\}" # the prefix's drive Z: is the root folder
for page in 1 2 3 4 5 6; do
  shoot "$out/gallery-$page-plain.png" '^Pembrox Demo$' "$demo" "/page=$page" /noskin
  shoot "$out/gallery-$page-slate.png" '^Pembrox Demo$' "$demo" "/page=$page"
  shoot "$out/gallery-$page-night.png" '^Pembrox Demo$' "$demo" "/page=$page" "/skin=$night"
done
shoot "$out/pembrox-splash.png" '^SplashScreen$' "$win_build/splash/Pembrox.exe"
