#!/usr/bin/env bash
# Builds the libFuzzer targets (preset linux-fuzz, clang) and runs them for a
# bounded time, one after the other.
#
#   scripts/fuzz.sh all 60            # every target for a minute each (CI)
#   scripts/fuzz.sh readers 3600      # one target for an hour
#   scripts/fuzz.sh writer 600 -runs=1000000   # extra arguments go to libFuzzer
#   QUILLMERE_FUZZ_WORKERS=2 scripts/fuzz.sh readers 3600   # two processes
#
# Workers are separate processes on one target that share its corpus (each
# picks up what the others add); the executions printed are their sum, and
# -runs counts per worker.
#
# Targets: readers, writer, file_names. Each run starts from the committed
# seeds (tests/fuzz/corpus/TARGET) and the corpus earlier runs grew
# (build/linux-fuzz/corpus/TARGET); a crash, leak or failed property leaves
# its input in build/linux-fuzz/artifacts/ and fails the script. Run long
# jobs with `nice` on a shared machine.
#
# AddressSanitizer keeps a short allocation history and a small quarantine
# here: the default (30 frames on every allocation, 256 MiB of freed blocks)
# halves the executions per second and still finds the same faults. To see a
# finding with full allocation stacks, run the target on its saved input
# with ASAN_OPTIONS unset: build/linux-fuzz/bin/fuzz_TARGET ARTIFACT.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

usage="usage: scripts/fuzz.sh readers|writer|file_names|all SECONDS [libFuzzer arguments]"
which=${1:?$usage}
seconds=${2:?$usage}
shift 2
case "$which" in
  all) targets="readers writer file_names" ;;
  readers | writer | file_names) targets=$which ;;
  *) echo "$usage" >&2; exit 2 ;;
esac

# Absolute paths: the targets work in a scratch game folder of their own.
build=$PWD/build/linux-fuzz
cmake --preset linux-fuzz >/dev/null
cmake --build --preset linux-fuzz --target fuzz_targets

mkdir -p "$build/artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=2:quarantine_size_mb=16}
workers=${QUILLMERE_FUZZ_WORKERS:-1}
for t in $targets; do
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  echo "=== fuzz_$t for ${seconds}s, $workers worker(s) ==="
  pids=()
  for w in $(seq 1 "$workers"); do
    "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$t-" "$@" "$corpus" "$PWD/tests/fuzz/corpus/$t" \
      >"$build/fuzz_$t.$w.log" 2>&1 &
    pids+=($!)
  done
  failed=0
  runs=0
  longest=0
  for w in $(seq 1 "$workers"); do
    log="$build/fuzz_$t.$w.log"
    status=0
    wait "${pids[$((w - 1))]}" || status=$?
    if [ "$status" -ne 0 ]; then
      tail -60 "$log"
      echo "fuzz_$t worker $w FAILED (exit $status); input saved in $build/artifacts/"
      failed=1
      # One finding is enough: stop the other workers.
      kill "${pids[@]}" 2>/dev/null || true
      continue
    fi
    grep -E '^(INFO: Loaded|#[0-9]+[[:space:]]+DONE)' "$log" || true
    units=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    runs=$((runs + ${units:-0}))
    took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
    if [ "${took:-0}" -gt "$longest" ]; then longest=$took; fi
  done
  [ "$failed" -eq 0 ] || exit 1
  echo "fuzz_$t: $runs executions in $longest s, no failure"
done
