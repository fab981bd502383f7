#!/usr/bin/env bash
# The mod archive is laid out like the game folder and carries the DLL that
# was built.
set -euo pipefail
archive=$1
dll=$2

files=$(unzip -Z1 "$archive" | grep -v '/$' | sort)
expected=$(printf '%s\n' \
  Data/Plexor/Plugins/Quillmere/README.txt \
  Data/Plexor/Plugins/quillmere.dll \
  Data/Scripts/Source/Quillmere.psc | sort)
if [ "$files" != "$expected" ]; then
  diff <(printf '%s\n' "$expected") <(printf '%s\n' "$files") || true
  echo "FAIL: $archive does not hold the expected files"
  exit 1
fi
unzip -p "$archive" Data/Plexor/Plugins/quillmere.dll | cmp - "$dll"
unzip -p "$archive" Data/Scripts/Source/Quillmere.psc | grep -q '^Scriptname Quillmere Native Hidden'
echo "ok: $archive"
