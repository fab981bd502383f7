#!/usr/bin/env bash
# The full-disk fault under Wine: the disk fills up at N bytes (prlimit
# --fsize=N on the Windows program; Wine writes files from the program's own
# process, so the limit applies) while a blueprint is stored over an earlier
# one. Every run either stores the whole blueprint, or fails and leaves the
# earlier blueprint as it was.
#
#   full_disk_under_wine.sh WINE_RUN HELPER_EXE
#
# Every size from 0 to 64, then every 61st, then the last ten below the
# blueprint's size and the size itself (one Wine start per size).
set -euo pipefail
wine_run=$1
helper=$2
game=$(mktemp -d /tmp/quillmere-full-disk-XXXXXX)
trap 'rm -rf "$game"' EXIT
slot="$game/Data/Plexor/Plugins/Quillmere/blueprints/3"

# The first run through the wrapper: the prefix and a lasting wineserver
# exist afterwards, so the limited runs below start no server of their own.
"$wine_run" "$helper" "Z:$game" earlier >/dev/null
earlier=$(cd "$slot" && ls)
earlier_sum=$(cat "$slot/$earlier" | md5sum)

# The full blueprint's size: one run without a limit, into a copy.
cp -r "$game" "$game.full"
trap 'rm -rf "$game" "$game.full"' EXIT
"$wine_run" "$helper" "Z:$game.full" store >/dev/null
full=$(stat -c %s "$game.full/Data/Plexor/Plugins/Quillmere/blueprints/3"/bp_settler_*)

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
export WINEPREFIX="${QUILLMERE_WINEPREFIX:-${WINEPREFIX:-$HOME/.cache/quillmere/wine}}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# Ignored signals stay ignored in the programs started: a write past the
# limit then fails with EFBIG instead of killing the program with SIGXFSZ.
trap '' XFSZ
sizes=$( (seq 0 64; seq 65 61 "$full"; seq $((full - 10)) "$full") | sort -n | uniq)
runs=0 failed=0
for n in $sizes; do
  status=0
  prlimit --fsize="$n" "$wine" "$helper" "Z:$game" store >/dev/null 2>&1 || status=$?
  runs=$((runs + 1))
  if [ -d "$slot.saving" ]; then echo "limit $n: a staging folder was left"; exit 1; fi
  if [ "$status" -eq 0 ]; then
    files=$(ls "$slot")
    if [ "$(echo "$files" | wc -l)" -ne 1 ] || [ "$(stat -c %s "$slot/$files")" -ne "$full" ]; then
      echo "limit $n: reported true, slot holds: $(ls -l "$slot")"; exit 1
    fi
    if [ "$n" -lt "$full" ]; then echo "limit $n: a blueprint of $full bytes was stored"; exit 1; fi
    break
  elif [ "$status" -eq 1 ]; then
    failed=$((failed + 1))
    if [ "$(ls "$slot")" != "$earlier" ] || [ "$(cat "$slot/$earlier" | md5sum)" != "$earlier_sum" ]; then
      echo "limit $n: the store failed and the earlier blueprint changed: $(ls -l "$slot")"; exit 1
    fi
  else
    echo "limit $n: the program ended with $status"; exit 1
  fi
done
if [ "$n" -ne "$full" ]; then echo "the blueprint was never stored (last limit $n)"; exit 1; fi
echo "full disk under Wine: $runs limits up to $full bytes, $failed refused, earlier blueprint kept"
