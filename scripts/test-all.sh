#!/usr/bin/env bash
# Every test of both builds: the Linux build, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer (leak checking on), under
# ThreadSanitizer, and the Windows DLL with its tests under Wine. Installs
# what is missing first (scripts/setup.sh).
#
#   QUILLMERE_PRESETS="linux windows" scripts/test-all.sh   # a subset
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup.sh

for preset in ${QUILLMERE_PRESETS:-linux linux-asan linux-tsan windows}; do
  echo "=== $preset ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
echo "all tests passed"
