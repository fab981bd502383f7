#!/usr/bin/env bash
# Runs one Windows program under Wine for ctest and the command line.
#
# - One prefix per user, outside the source tree, created once under a lock so
#   that `ctest -j` does not race on a fresh prefix.
# - The prefix's Documents (and the other user folders) are real folders, not
#   the links to $HOME that a fresh prefix makes: tests must never write into
#   the user's own files.
# - wineserver is started with its standard streams on /dev/null. Otherwise it
#   inherits ctest's output pipe and ctest waits for it after every test.
set -euo pipefail

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
export WINEPREFIX="${QUILLMERE_WINEPREFIX:-${WINEPREFIX:-$HOME/.cache/quillmere/wine}}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.quillmere-ready" ]; then
    "$wine" wineboot -i </dev/null >/dev/null 2>&1 || true
    "$wineserver" -w </dev/null >/dev/null 2>&1 || true
    users="$WINEPREFIX/drive_c/users/$(id -un)"
    for d in "$users"/*; do
      if [ -L "$d" ]; then rm -f "$d" && mkdir -p "$d"; fi
    done
    mkdir -p "$users/Documents"
    touch "$WINEPREFIX/.quillmere-ready"
  fi
) 9>"$WINEPREFIX.lock"

# A persistent server that exits by itself 30 s after the last program, and
# the prefix's services (started by wineboot), all with their standard streams
# on /dev/null: whatever Wine starts for the first program inherits that
# program's streams, and a caller reading them (ctest) would wait for those
# services to exit.
"$wineserver" -p30 </dev/null >/dev/null 2>&1 || true
"$wine" wineboot </dev/null >/dev/null 2>&1 || true

exec "$wine" "$@"
