// Export and import through the simulated host and the real plug-in, as the
// mod's scripts drive them.
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_game.h"
#include "benchmarks.h"

namespace quillmere_bench {

// Init, SaveHeader, SaveWorkshopData, Save128Items and Save128ExtraProps per
// batch of 128, StoreDataToBlueprint.
Work ExportWork(int items) {
    BenchGame& game = BenchGame::Get();
    const ExportScript& script = game.ScriptFor(items);
    if (!game.Export(script)) throw std::runtime_error("an export native reported failure");
    return [&game, &script] { game.Export(script); };
}

// The five readers in the order a script calls them. Each import starts by
// reading another (small) blueprint, as a script's earlier calls would, so
// nothing of the previous import's blueprint is left to help this one. The
// script keeps the results in its variables until the settlement is built:
// the two structs are read back, the three arrays stay in the host (as the
// game keeps script arrays) and are let go at the end.
Work ImportWork(int items) {
    BenchGame& game = BenchGame::Get();
    const std::vector<ScriptValue> path = {ScriptValue::String(game.BlueprintOf(items))};
    // One import; the number of items it returned in full, else 0.
    const auto import = [&game, path] {
        game.ReadOtherBlueprint();
        const ScriptValue header = game.Call("GetBlueprintHeader", path);
        const korvane::ScriptArray plugins = game.CallForArray("GetPluginsRequired", path);
        const ScriptValue workshop = game.Call("GetWorkshopData", path);
        const korvane::ScriptArray list = game.CallForArray("GetItemsFromBlueprint", path);
        const korvane::ScriptArray props = game.CallForArray("GetExtraPropsFromBlueprint", path);
        const bool complete = !header.isNone && !workshop.isNone && game.Count(plugins) > 0 &&
                              game.Count(list) == game.Count(props);
        const uint32_t count = complete ? game.Count(list) : 0u;
        game.Drop(plugins);
        game.Drop(list);
        game.Drop(props);
        return count;
    };
    if (import() != static_cast<uint32_t>(items)) {
        throw std::runtime_error("the readers did not return the whole blueprint");
    }
    return [import] { import(); };
}

}  // namespace quillmere_bench
