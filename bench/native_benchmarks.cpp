// Export and import through the simulated host and the real plug-in, as the
// mod's scripts drive them.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>

#include "bench_counters.h"
#include "bench_game.h"
#include "benchmarks.h"

namespace quillmere_bench {
namespace {}  // namespace

// Init, SaveHeader, SaveWorkshopData, Save128Items and Save128ExtraProps per
// batch of 128, StoreDataToBlueprint.
void ExportBenchmark(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    BenchGame& game = BenchGame::Get();
    const ExportScript& script = game.ScriptFor(n);
    static std::map<int64_t, int64_t> peaks;
    const int64_t peak = PeakOnce(peaks, n, [&] { game.Export(script); });
    for (auto _ : state) {
        if (!game.Export(script)) {
            state.SkipWithError("an export native reported failure");
            return;
        }
    }
    int64_t fileBytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(script.slotFolder)) {
        fileBytes = static_cast<int64_t>(entry.file_size());
    }
    SetCounters(state, n, fileBytes, peak);
}

// The five readers in the order a script calls them. Each import starts by
// reading another (small) blueprint, as a script's earlier calls would, so
// nothing of the previous import's blueprint is left to help this one. The
// script keeps the results in its variables until the settlement is built:
// the two structs are read back, the three arrays stay in the host (as the
// game keeps script arrays) and are let go at the end.
void ImportBenchmark(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    BenchGame& game = BenchGame::Get();
    const std::vector<ScriptValue> path = {ScriptValue::String(game.BlueprintOf(n))};

    struct Results {
        ScriptValue header, workshop;
        korvane::ScriptArray plugins, items, props;
    };
    const auto import = [&] {
        game.ReadOtherBlueprint();
        Results r;
        r.header = game.Call("GetBlueprintHeader", path);
        r.plugins = game.CallForArray("GetPluginsRequired", path);
        r.workshop = game.Call("GetWorkshopData", path);
        r.items = game.CallForArray("GetItemsFromBlueprint", path);
        r.props = game.CallForArray("GetExtraPropsFromBlueprint", path);
        return r;
    };
    const auto release = [&](const Results& r) {
        game.Drop(r.plugins);
        game.Drop(r.items);
        game.Drop(r.props);
    };
    {
        const Results check = import();
        const bool whole = !check.header.isNone && !check.workshop.isNone &&
                           game.Count(check.plugins) > 0 &&
                           game.Count(check.items) == static_cast<uint32_t>(n) &&
                           game.Count(check.props) == static_cast<uint32_t>(n);
        release(check);
        if (!whole) {
            state.SkipWithError("the readers did not return the whole blueprint");
            return;
        }
    }
    // Measured from a state where nothing of this blueprint is kept.
    game.ReadOtherBlueprint();
    static std::map<int64_t, int64_t> peaks;
    const int64_t peak = PeakOnce(peaks, n, [&] { release(import()); });
    for (auto _ : state) release(import());
    SetCounters(state, n, static_cast<int64_t>(std::filesystem::file_size(path[0].s)), peak);
}

}  // namespace quillmere_bench
