// The counters every benchmark reports beside its time.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <map>

namespace quillmere_bench {

// Peak memory growth of `work` (see peak_memory.h), measured the first time
// a size is asked for and remembered in `peaks`, outside the timed runs.
int64_t PeakOnce(std::map<int64_t, int64_t>& peaks, int64_t items,
                 const std::function<void()>& work);

// items_per_second and bytes_per_second (bytes of the blueprint file),
// file_bytes and peak_bytes (-1: not measurable here).
void SetCounters(benchmark::State& state, int64_t items, int64_t fileBytes, int64_t peakBytes);

}  // namespace quillmere_bench
