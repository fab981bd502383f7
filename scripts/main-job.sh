#!/usr/bin/env bash
# The main job: build the plug-in and the simulated game on both platforms,
# then run the simulated game on each.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup.sh

cmake --preset linux >/dev/null
cmake --build --preset linux --target korvane-sim quillmere
echo "=== Linux ==="
build/linux/bin/korvane-sim load

cmake --preset windows >/dev/null
cmake --build --preset windows --target korvane-sim quillmere
echo "=== Windows (under Wine) ==="
cmake/wine-run.sh build/windows/bin/korvane-sim.exe load
