#!/usr/bin/env bash
# korvane-sim demo, the main job, on the bundled sample: it exports, lists,
# shows, and ends with a successful round-trip check.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/cli_common.sh"

out=$(run demo --game-dir "demo game" 2>/dev/null | tr -d '\r'); status=${PIPESTATUS[0]}
printf '%s\n' "$out" | head -n 4
printf '%s\n' "$out" | tail -n 1
[ "$status" = 0 ] || fail "demo exited $status"
[[ "$(printf '%s\n' "$out" | tail -n 1)" == "round trip OK: "* ]] || fail "no successful round trip"
grep -qE '^1: bp_settler_sanctuary_[0-9]{12}\.json$' <<<"$out" || fail "slot 1 does not list the blueprint"
ls "demo game"/Data/Plexor/Plugins/Quillmere/blueprints/1/bp_settler_sanctuary_*.json >/dev/null ||
  fail "no blueprint in the demo's game folder"
