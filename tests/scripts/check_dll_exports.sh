#!/usr/bin/env bash
# The DLL a game folder receives: exactly the two entry points exported, and
# only Windows system DLLs imported (no MinGW runtime, no jsoncpp DLL).
set -euo pipefail
dll=$1
dump=$(x86_64-w64-mingw32-objdump -p "$dll")

exports=$(printf '%s\n' "$dump" | awk '/\[Ordinal\/Name Pointer\] Table/{on=1;next} on&&/^\s*\[/{print $NF;next} on{on=0}' | sort)
expected=$(printf 'PlexorPlugin_Load\nPlexorPlugin_Query\n')
if [ "$exports" != "$expected" ]; then
  echo "unexpected exports:"; printf '%s\n' "$exports"; exit 1
fi

imports=$(printf '%s\n' "$dump" | awk '/DLL Name:/{print tolower($3)}' | sort -u)
bad=$(printf '%s\n' "$imports" | grep -v -E '^(kernel32|msvcrt|shell32|user32|advapi32|ntdll|ole32|shlwapi|api-ms-win-[a-z0-9-]+)\.dll$' || true)
if [ -n "$bad" ]; then
  echo "imports beyond Windows system DLLs:"; printf '%s\n' "$bad"; exit 1
fi
echo "exports: $(echo $exports)"
echo "imports: $(echo $imports)"
