#!/usr/bin/env bash
# Pictures of a skin without a person: the gallery's six pages with SKIN (a .skn package or a
# skin's folder, as skinpack new writes one), each saved from the virtual screen as
# OUT_FOLDER/page-N.png, so that an author, or a skin's own CI, sees every element at once.
#   scripts/preview.sh SKIN OUT_FOLDER
set -euo pipefail
(($# == 2)) || { echo "usage: ${0##*/} SKIN OUT_FOLDER" >&2; exit 2; }
exec "$(dirname "${BASH_SOURCE[0]}")/pictures.sh" --skin "$1" "$2"
