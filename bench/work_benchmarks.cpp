// The two kinds of benchmark made of pieces of work.
#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>

#include "bench_game.h"
#include "benchmarks.h"
#include "peak_memory.h"

namespace quillmere_bench {
namespace {

double Seconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace

void WorkBenchmark(benchmark::State& state, Work (*make)(int items)) {
    const int items = static_cast<int>(state.range(0));
    Work work;
    try {
        work = make(items);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    // Every benchmark starts from a heap that has given its free pages back.
    malloc_trim(0);
    // Peak memory is measured once per piece of work and size, untimed.
    static std::map<std::pair<Work (*)(int), int>, int64_t> peaks;
    auto peak = peaks.find({make, items});
    if (peak == peaks.end())
        peak = peaks.emplace(std::pair(make, items), PeakMemoryGrowth(work)).first;

    for (auto _ : state) work();

    const auto fileBytes =
        static_cast<int64_t>(std::filesystem::file_size(BenchGame::Get().BlueprintOf(items)));
    const auto iterations = static_cast<int64_t>(state.iterations());
    state.SetItemsProcessed(iterations * items);
    state.SetBytesProcessed(iterations * fileBytes);
    state.counters["file_bytes"] = static_cast<double>(fileBytes);
    state.counters["peak_bytes"] = static_cast<double>(peak->second);
}

void PairedBenchmark(benchmark::State& state, Work a, int repeatA, Work b, int repeatB,
                     int rounds) {
    std::vector<double> cpu, wall;
    for (auto _ : state) {
        for (int round = 0; round < rounds; ++round) {
            double spent[2][2] = {};  // [a or b][processor, wall-clock]
            for (int side = 0; side < 2; ++side) {
                const Work& work = side == 0 ? a : b;
                const int repeat = side == 0 ? repeatA : repeatB;
                for (int k = 0; k < repeat; ++k) {
                    // Every unit starts from a heap that has given its free
                    // pages back, so small and large units alike pay for
                    // the memory they touch.
                    malloc_trim(0);
                    const double cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
                    const double wall0 = Seconds(CLOCK_MONOTONIC);
                    work();
                    spent[side][0] += Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
                    spent[side][1] += Seconds(CLOCK_MONOTONIC) - wall0;
                }
                spent[side][0] /= repeat;
                spent[side][1] /= repeat;
            }
            cpu.push_back(spent[0][0] / spent[1][0]);
            wall.push_back(spent[0][1] / spent[1][1]);
        }
    }
    state.counters["ratio"] = Median(cpu);
    state.counters["ratio_wall"] = Median(wall);
}

}  // namespace quillmere_bench
