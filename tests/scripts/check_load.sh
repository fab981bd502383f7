#!/usr/bin/env bash
# `korvane-sim load` leaves the three start-up lines in the debug log below
# the documents folder (Linux: a documents folder of this check's own; Wine:
# the prefix's user Documents).
set -euo pipefail
launcher=$1   # empty on Linux, the Wine wrapper for Windows programs
program=$2

if [ -n "$launcher" ]; then
  out=$("$launcher" "$program" load)
  prefix="${QUILLMERE_WINEPREFIX:-${WINEPREFIX:-$HOME/.cache/quillmere/wine}}"
  log="$prefix/drive_c/users/$(id -un)/Documents/My Games/Korvane/Plexor/quillmere.log"
else
  docs=$(mktemp -d)
  trap 'rm -rf "$docs"' EXIT
  out=$(XDG_DOCUMENTS_DIR="$docs" "$program" load)
  log="$docs/My Games/Korvane/Plexor/quillmere.log"
fi
printf '%s\n' "$out"
tr -d '\r' <"$log" >"$log.checked"
for line in "Quillmere plugin found." "Quillmere plugin started to load." "Register Succeeded"; do
  grep -qxF "$line" "$log.checked" || { echo "missing from $log: $line"; exit 1; }
done
rm -f "$log.checked"
echo "log: $log"
