#!/usr/bin/env bash
# korvane-sim's usage errors exit 2 with one line on standard error, and a
# scenario that cannot be used is named with the place of the mistake.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/cli_common.sh"

# expect CODE PATTERN ARGS...: exit code CODE, and standard error one line
# matching the extended regular expression PATTERN.
expect() {
  local code=$1 pattern=$2; shift 2
  local err status
  err=$(run "$@" 2>&1 >/dev/null)
  status=$?
  err=$(printf '%s' "$err" | tr -d '\r')
  [ "$status" = "$code" ] || fail "korvane-sim $*: exit $status, expected $code ($err)"
  [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "korvane-sim $*: not one line: $err"
  [[ "$err" =~ $pattern ]] || fail "korvane-sim $*: '$err' does not match '$pattern'"
  echo "ok: korvane-sim $* -> $code: $err"
}

cat >syntax.json <<'JSON'
{
  "load_order": ["Korvane.esm"],
  "slot": 1 2
}
JSON
cat >types.json <<'JSON'
{
  "load_order": ["Korvane.esm"],
  "workshop": {"ref": 1, "base": 2, "pos": [0, 0, 0], "rot": [0, 0, 0]},
  "items": [
    {"form": "0x1", "pos": [0, 0], "rot": [0, 0, 0]}
  ],
  "slot": 1
}
JSON
sed 's/"0x1"/"1A2B"/' types.json >form.json
sed 's/"slot": 1/"slot": 11/; s/\[0, 0\]/[0, 0, 0]/' types.json >slot.json
sed '5s/"rot": \[0, 0, 0\]}/"rot": [0, 0, 0], "flags": {"isPowerd": 1}}/' slot.json |
  sed 's/"slot": 11/"slot": 1/' >flag.json

expect 2 '^korvane-sim: no command given'
expect 2 "unknown command 'bogus'" bogus
expect 2 '^korvane-sim: export: missing the scenario file' export
expect 2 "export: unexpected argument 'b.json'" export a.json b.json
expect 2 '^korvane-sim: show: missing the blueprint' show
expect 2 "list: unknown option '--json'" list --json
expect 2 'list: --game-dir needs a folder' list --game-dir
expect 2 '^korvane-sim: missing\.json: cannot read the scenario$' export missing.json
expect 2 '^korvane-sim: syntax\.json:3:[0-9]+: ' export syntax.json
expect 2 '^korvane-sim: types\.json:5:[0-9]+: items\[0\]\.pos: expected an array of three numbers$' export types.json
expect 2 '^korvane-sim: form\.json:5:[0-9]+: items\[0\]\.form: expected a form id' export form.json
expect 2 '^korvane-sim: slot\.json:7:[0-9]+: slot: expected an integer from 1 to 10$' export slot.json
expect 2 '^korvane-sim: flag\.json:5:[0-9]+: unknown member items\[0\]\.flags\.isPowerd$' export flag.json
expect 1 '^korvane-sim: no game folder nowhere$' list --game-dir nowhere
[ ! -e Data ] || fail "a failed command wrote into the game folder"

for command in load export list show demo; do
  out=$(run "$command" --help 2>/dev/null | tr -d '\r') || fail "$command --help failed"
  [[ "$out" == "usage: korvane-sim $command"* ]] || fail "$command --help: $out"
done
out=$(run --help 2>/dev/null | tr -d '\r') || fail "--help failed"
for command in load export list show demo; do
  grep -q "^  korvane-sim $command" <<<"$out" || fail "--help does not list $command"
done
echo "all usage checks passed"
