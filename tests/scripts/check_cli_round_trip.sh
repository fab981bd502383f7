#!/usr/bin/env bash
# korvane-sim export / list / show on the two-item example settlement: the
# export writes the documented blueprint byte for byte (its date aside), list
# reports it in its slot, and show prints what the readers return.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/cli_common.sh"
source_dir=$3

same "list without a blueprints folder" "None" "$(run list 2>/dev/null)"

cp "$source_dir/tests/data/example_scenario.json" .
out=$(run export example_scenario.json 2>/dev/null) || fail "export failed: $out"
path=$(printf '%s\n' "$out" | tr -d '\r' | tail -n 1)
[[ "$path" =~ ^Data/Plexor/Plugins/Quillmere/blueprints/3/bp_settler_sanctuary_[0-9]{12}\.json$ ]] ||
  fail "export's last line is not the blueprint's path: $path"
[ -f "$path" ] || fail "no file at $path"

# The documented blueprint is kept once, in the tests' fixtures.
awk 'index($0, "kExampleBlueprint[] = R\"(") { sub(/.*R"\(/, ""); on = 1 }
     on && $0 == ")\";" { exit }
     on { print }' "$source_dir/tests/fixtures/example_blueprint.h" >expected.json
[ -s expected.json ] || fail "kExampleBlueprint not found in tests/fixtures/example_blueprint.h"
date=$(sed -n 's/.*"export_date" : "\([0-9: -]\{19\}\)".*/\1/p' "$path")
[ -n "$date" ] || fail "no export date in $path"
sed -i "s/2017-10-22 14:05:09/$date/" expected.json
cmp expected.json "$path" || { diff expected.json "$path" >&2; fail "the blueprint's bytes differ"; }
echo "ok: export wrote the documented bytes to $path"

list=""
for n in 1 2 3 4 5 6 7 8 9 10; do
  if [ "$n" = 3 ]; then list+="$n: ${path##*/}"$'\n'; else list+="$n: none"$'\n'; fi
done
same "list after the export" "${list%$'\n'}" "$(run list 2>/dev/null)"
echo "ok: list"

summary=$(run show "$path" 2>/dev/null | tr -d '\r') || fail "show failed"
for line in "Blueprint $path" "  player        Settler" "  settlement    Sanctuary Hills" \
            "  worldspace    Commonwealth (001A2B of Korvane.esm)" "  item count    2" \
            "Required plugins  Korvane.esm, DLCworkshop01.esm" \
            "Workshop          0249E3 of Korvane.esm, base object 01F4A2" \
            "Korvane.esm: 1 item" "DLCworkshop01.esm: 1 item"; do
  grep -qxF -- "$line" <<<"$summary" || fail "show: no line '$line' in:"$'\n'"$summary"
done
grep -qE '^ +0  01A2B3  Chair +1024\.5 +-2048\.25 +45\.5 +0 +0 +90  P\.C\.\.\.\.$' <<<"$summary" ||
  fail "show: item 0's row is missing:"$'\n'"$summary"
grep -qE '^ +1  000ABC  unknown item .* 270  \.GC\.\.\.\.$' <<<"$summary" ||
  fail "show: item 1's row is missing:"$'\n'"$summary"
echo "ok: show"

read -r -d '' expected_json <<JSON
{
  "header": {"export_date": "$date", "item_count": 2, "player_name": "Settler", "plugin_version": 1, "settlement_name": "Sanctuary Hills", "worldspace_id": "001A2B", "worldspace_id_dec": 6699, "worldspace_name": "Commonwealth", "worldspace_plugin": "Korvane.esm"},
  "plugins_required": ["Korvane.esm", "DLCworkshop01.esm"],
  "workshop": {"workshop_id": "0249E3", "workshop_id_dec": 149987, "workshop_baseid_dec": 128162, "workshop_plugin": "Korvane.esm", "posX": -80.5, "posY": 1024.5, "posZ": 16.5, "rotX": 0, "rotY": 0, "rotZ": 179.899994},
  "items": [
    {"plugin_name": "Korvane.esm", "FormID": "01A2B3", "FormID_dec": 107187, "name": "Chair", "posX": 1024.5, "posY": -2048.25, "posZ": 45.5, "rotX": 0, "rotY": 0, "rotZ": 90},
    {"plugin_name": "DLCworkshop01.esm", "FormID": "000ABC", "FormID_dec": 83888828, "name": "unknown item", "posX": -12.75, "posY": 0.100000001, "posZ": 3, "rotX": 0, "rotY": 0, "rotZ": 270}
  ],
  "extra_props": [
    {"isPowered": 1, "isGenerator": 0, "isCreated": 1, "isActor": 0, "isTurret": 0, "isFarmAnimal": 0, "isTamedCreature": 0},
    {"isPowered": 0, "isGenerator": 1, "isCreated": 1, "isActor": 0, "isTurret": 0, "isFarmAnimal": 0, "isTamedCreature": 0}
  ]
}
JSON
same "show --json" "$expected_json" "$(run show "$path" --json 2>/dev/null)"
echo "ok: show --json"

# A blueprint the readers cannot open: every result None, exit 1.
json=$(run show no/such.json --json 2>/dev/null); status=$?
[ "$status" = 1 ] || fail "show of a missing blueprint: exit $status, expected 1"
same "show --json of a missing blueprint" \
  "$(printf '{\n  "header": null,\n  "plugins_required": null,\n  "workshop": null,\n  "items": null,\n  "extra_props": null\n}')" \
  "$json"
echo "ok: show of a missing blueprint"
echo "all round-trip checks passed"
