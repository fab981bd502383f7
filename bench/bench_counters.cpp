#include "bench_counters.h"

#include "peak_memory.h"

namespace quillmere_bench {

int64_t PeakOnce(std::map<int64_t, int64_t>& peaks, int64_t items,
                 const std::function<void()>& work) {
    auto found = peaks.find(items);
    if (found == peaks.end()) found = peaks.emplace(items, PeakMemoryGrowth(work)).first;
    return found->second;
}

void SetCounters(benchmark::State& state, int64_t items, int64_t fileBytes, int64_t peakBytes) {
    const int64_t iterations = static_cast<int64_t>(state.iterations());
    state.SetItemsProcessed(iterations * items);
    state.SetBytesProcessed(iterations * fileBytes);
    state.counters["file_bytes"] = static_cast<double>(fileBytes);
    state.counters["peak_bytes"] = static_cast<double>(peakBytes);
}

}  // namespace quillmere_bench
