// Any player name and settlement name: the blueprint is written inside the
// slot folder the script names and nowhere else.
//
// The export goes through the natives (Init, SaveHeader, StoreDataToBlueprint)
// and the whole game folder is searched afterwards: the one new file lies in
// the slot folder. An export may fail only when the name is too long for the
// file system (255 bytes on Linux); it then leaves the slot as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>

#include "fuzz_host.h"

namespace quillmere_fuzz {
namespace {

constexpr char kSlot[] = "Data/Plexor/Plugins/Quillmere/blueprints/7";
constexpr std::size_t kLongestFileName = 255;
constexpr uint64_t kInputsPerSession = 20000;

uint64_t inputs = 0;

bool Below(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

}  // namespace
}  // namespace quillmere_fuzz

using namespace quillmere_fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzGame::Get();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzGame& game = FuzzGame::Get();
    if (++inputs % kInputsPerSession == 0) game.Restart();
    FuzzedDataProvider in(data, size);
    const std::string player = in.ConsumeRandomLengthString(300);
    const std::string settlement = in.ConsumeRemainingBytesAsString();
    korvane::Host& host = game.Host();

    game.Call("Init", {ScriptValue::Reference(host.AddReference(0xFF000000u, player)),
                       ScriptValue::Float(1.0f), ScriptValue::Int(0)});
    game.Call("SaveHeader", {ScriptValue::Int(0), ScriptValue::FormValue(nullptr),
                             ScriptValue::FormValue(host.AddLocation(0xFE000001u, settlement))});
    const std::vector<std::string> previous = FilesBelow(kSlot);
    const ScriptValue stored = game.Call("StoreDataToBlueprint", {ScriptValue::String(kSlot)});

    std::vector<std::string> inSlot;
    for (const std::string& file : FilesBelow(".")) {
        if (Below(file, "Documents")) continue;  // the debug log
        FUZZ_CHECK(Below(file, kSlot), "a file outside the slot folder: %s", file.c_str());
        inSlot.push_back(file);
    }
    if (stored.i != 0) {
        FUZZ_CHECK(inSlot.size() == 1, "%zu files in the slot folder", inSlot.size());
        const std::string name = inSlot[0].substr(sizeof kSlot);
        FUZZ_CHECK(name.rfind("bp_", 0) == 0 && name.size() > 8 &&
                       name.compare(name.size() - 5, 5, ".json") == 0,
                   "file name %s", name.c_str());
    } else {
        // The longest name these texts can give: "bp_" + player + "_" +
        // settlement + "_" + 12 digits + ".json" (the short name of a
        // settlement is never longer than its name).
        const std::size_t longest = 3 + std::string(player.c_str()).size() + 1 +
                                    std::string(settlement.c_str()).size() + 1 + 12 + 5;
        FUZZ_CHECK(longest > kLongestFileName, "the export failed for a name of at most %zu bytes",
                   longest);
        FUZZ_CHECK(inSlot == previous, "a failed export changed the slot");
    }
    return 0;
}
