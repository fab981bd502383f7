#!/usr/bin/env bash
# Builds the optimised Linux benchmarks and runs them: export and import of
# 1,000, 10,000 and 100,000 items through the simulated host and the real
# plug-in, beside their jsoncpp yardsticks, then the performance targets as
# measured ratios, each with "pass" or "MISS". Exits non-zero when a target
# misses.
#
#   scripts/bench.sh                              # everything, three runs each
#   scripts/bench.sh --benchmark_repetitions=5    # any Google Benchmark flag
#
# Figures are wall-clock times: run it on a quiet machine, or again if the
# spread between repetitions (the "cv" rows) is large.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
cmake --preset linux-bench >/dev/null
cmake --build build/linux-bench -j2 --target quillmere_bench quillmere
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
exec build/linux-bench/bin/quillmere_bench "$@"
