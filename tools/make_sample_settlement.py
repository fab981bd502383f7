#!/usr/bin/env python3
"""Writes examples/sanctuary.json, the sample settlement of `korvane-sim demo`.

Run once by hand (python3 tools/make_sample_settlement.py > examples/sanctuary.json);
the output is committed. The layout is deterministic: a fixed seed, and every
number rounded to what a player's placement would give.
"""
import json
import random

random.seed(1022)

LOAD_ORDER = ["Korvane.esm", "DLCRobot.esm", "DLCworkshop01.esm", "DLCCoast.esm",
              "DLCworkshop02.esm", "DLCworkshop03.esm", "DLCBrightvale.esm",
              "HearthAndHome.esp"]
KORVANE, WORKSHOP01, HEARTH = 0, 2, 7

# (load index, local id, name or None, flags, how many)
KINDS = [
    (KORVANE, 0x01A2B3, "Chair", {}, 18),
    (KORVANE, 0x01A2C0, "Wooden Table", {}, 6),
    (KORVANE, 0x01A2D7, "Bed", {}, 14),
    (KORVANE, 0x01A2D8, "Sleeping Bag", {}, 6),
    (KORVANE, 0x02F61C, "Wooden Floor", None, 40),
    (KORVANE, 0x02F61D, "Wooden Wall", None, 48),
    (KORVANE, 0x02F620, "Wooden Roof", None, 20),
    (KORVANE, 0x02F633, "Wooden Door", {}, 6),
    (KORVANE, 0x03C455, "Water Pump", {}, 4),
    (KORVANE, 0x03C4A1, "Water Purifier", {"isPowered": 1}, 2),
    (KORVANE, 0x04B21F, "Melon Plant", {}, 16),
    (KORVANE, 0x04B220, "Potato Plant", {}, 12),
    (KORVANE, 0x04B221, "Corn Plant", {}, 12),
    (KORVANE, 0x05A0B2, "Small Generator", {"isGenerator": 1}, 3),
    (KORVANE, 0x05A0B5, "Large Generator", {"isGenerator": 1}, 1),
    (KORVANE, 0x05A0F0, "Light Bulb", {"isPowered": 1}, 10),
    (KORVANE, 0x06D3E1, "Machine Gun Turret", {"isPowered": 1, "isTurret": 1}, 6),
    (KORVANE, 0x06D3E5, "Heavy Laser Turret", {"isPowered": 1, "isTurret": 1}, 2),
    (KORVANE, 0x06D400, "Guard Post", {}, 3),
    (KORVANE, 0x07110A, "Cooking Station", {}, 1),
    (KORVANE, 0x07110C, "Chemistry Station", {}, 1),
    (KORVANE, 0x0711F3, "Radio Beacon", {"isPowered": 1}, 1),
    (KORVANE, 0x0A1B02, "Cow", {"isActor": 1, "isFarmAnimal": 1, "isCreated": 0}, 2),
    (KORVANE, 0x0A1C7E, "Mongrel", {"isActor": 1, "isTamedCreature": 1, "isCreated": 0}, 1),
    (WORKSHOP01, 0x000ABC, "Barn Door", {}, 2),
    (WORKSHOP01, 0x000AC4, None, None, 12),
    (WORKSHOP01, 0x000B10, "Trellis", {}, 8),
    (WORKSHOP01, 0x000B51, "Neon Sign \"Home\"", {"isPowered": 1}, 2),
    (HEARTH, 0x000801, "Quilted Armchair", {}, 6),
    (HEARTH, 0x000802, "Rustic Bookshelf", {}, 4),
    (HEARTH, 0x000815, "Hearth Stove", {}, 2),
    (HEARTH, 0x00081A, "Caf\u00e9 Table", {}, 3),
]

SETTLERS = ["Edda Rowe", "Tomas Kell", "Marisol Vance", "Pike", "Old Henrick",
            "Juniper Fay", "Ossian Bright", "Wren Calloway"]


def place(center=(-80.5, 1024.5, 16.5), spread=1800.0):
    x = round(center[0] + random.uniform(-spread, spread), 2)
    y = round(center[1] + random.uniform(-spread, spread), 2)
    z = round(center[2] + random.uniform(-8, 48), 2)
    return [x, y, z]


def item(index, local_id, name, flags):
    form = "0x%08X" % ((index << 24) | local_id)
    entry = {"form": form, "ref_name": name, "pos": place(),
             "rot": [0.0, 0.0, random.choice([0.0, 90.0, 180.0, 270.0, 45.0, 12.5, 359.9])]}
    given = {"isCreated": 1}
    given.update(flags or {})
    entry["flags"] = {k: v for k, v in given.items() if v}
    return entry


items = []
for index, local_id, name, flags, count in KINDS:
    for _ in range(count):
        items.append(item(index, local_id, name, flags))
for name in SETTLERS:
    items.append(item(KORVANE, 0x02F1A0, name, {"isActor": 1, "isCreated": 0}))
random.shuffle(items)

scenario = {
    "load_order": LOAD_ORDER,
    "player": "Settler",
    "plugin_version": 1.0,
    "debug_level": 0,
    "worldspace": "0x00001A2B",
    "location": "Sanctuary Hills",
    "workshop": {"ref": "0x000249E3", "base": "0x0001F4A2",
                 "pos": [-80.5, 1024.5, 16.5], "rot": [0.0, 0.0, 179.9]},
    "batch_size": 128,
    "slot": 1,
}

# One item per line keeps the file short and easy to edit.
lines = ["{"]
for key, value in scenario.items():
    lines.append("  %s: %s," % (json.dumps(key), json.dumps(value, ensure_ascii=False)))
lines.append('  "items": [')
for k, entry in enumerate(items):
    lines.append("    " + json.dumps(entry, ensure_ascii=False) + ("," if k + 1 < len(items) else ""))
lines.append("  ]")
lines.append("}")
print("\n".join(lines))
