# Shared by the korvane-sim checks: run the program (under Wine for the
# Windows build) and compare texts without the carriage returns msvcrt adds.
launcher=$1   # empty on Linux, the Wine wrapper for Windows programs
program=$2

run() {
  if [ -n "$launcher" ]; then "$launcher" "$program" "$@"; else "$program" "$@"; fi
}

# A game folder of the check's own; on Linux also its documents folder (and
# so its debug log). Under Wine the prefix's Documents is used.
game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
export XDG_DOCUMENTS_DIR="$game/Documents"
cd "$game"

fail() { echo "FAIL: $*" >&2; exit 1; }

# Expects two texts to be equal, ignoring carriage returns.
same() {
  local what=$1 expected=$2 actual
  actual=$(printf '%s' "$3" | tr -d '\r')
  [ "$actual" = "$expected" ] || { diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") >&2 || true; fail "$what"; }
}
