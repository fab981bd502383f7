#!/usr/bin/env bash
# The main job: build the plug-in and the simulated game on both platforms,
# then run the demo on each: export the sample settlement through the
# plug-in's natives, list the slots, show the blueprint as the readers return
# it, and check that it reads back exactly as exported.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup.sh

cmake --preset linux >/dev/null
cmake --build --preset linux --target korvane-sim quillmere
cmake --preset windows >/dev/null
cmake --build --preset windows --target korvane-sim quillmere mod-archive

echo "mod archive: $(ls build/windows/quillmere-*.zip)"

# Each build plays in a game folder of its own inside its build tree; the
# debug log goes to the platform's documents folder, as in the game.
echo
echo "=== Linux ==="
build/linux/bin/korvane-sim demo --game-dir build/linux/demo-game

echo
echo "=== Windows (quillmere.dll under Wine) ==="
cmake/wine-run.sh build/windows/bin/korvane-sim.exe demo --game-dir build/windows/demo-game
