// The game the benchmarks run in: one simulated host with the real plug-in
// loaded, a working folder of its own, and settlements of any size, with the
// argument values a script holds while it exports one.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "korvane_sim.h"

namespace quillmere_bench {

using korvane::ScriptValue;

// The calls of one export, argument values made in advance as a script's
// variables hold them.
struct ExportScript {
    int itemCount = 0;
    std::string slotFolder;
    std::vector<ScriptValue> init, header, workshop, store;
    std::vector<std::vector<ScriptValue>> itemBatches, propBatches;  // 128 items each
};

class BenchGame {
  public:
    static constexpr int kBatch = 128;

    // The process's one game, made on first use.
    static BenchGame& Get();

    // Runs one export from Init to StoreDataToBlueprint; false if any call
    // reported failure.
    bool Export(const ExportScript& script);
    // The script of an export of `itemCount` items into its own slot folder,
    // made on first use and kept.
    const ExportScript& ScriptFor(int itemCount);
    // The blueprint written by an export of `itemCount` items (exported on
    // first use), as LoadBlueprintList names it: slot folder + "/" + file.
    const std::string& BlueprintOf(int itemCount);

    // The result of one native, called as a script calls it.
    ScriptValue Call(const std::string& native, const std::vector<ScriptValue>& args);
    // The array result of one native, held in the host as a script variable
    // holds it; Drop lets it go.
    korvane::ScriptArray CallForArray(const std::string& native,
                                      const std::vector<ScriptValue>& args);
    uint32_t Count(korvane::ScriptArray array) const;
    void Drop(korvane::ScriptArray array);
    // Reads a small blueprint of its own, as scripts do between imports, so
    // that whatever the library keeps from the previous one is let go.
    void ReadOtherBlueprint();

  private:
    BenchGame();
    void AddReferencesUpTo(int itemCount);
    ExportScript MakeScript(int itemCount);

    korvane::Host host_;
    std::string workDir_;
    korvane::ObjectReference* player_ = nullptr;
    korvane::Form* worldspace_ = nullptr;
    korvane::Form* location_ = nullptr;
    korvane::ObjectReference* workshop_ = nullptr;
    korvane::Form* workshopBase_ = nullptr;
    std::vector<korvane::Form*> baseForms_;
    std::vector<korvane::ObjectReference*> references_;
    std::map<int, std::unique_ptr<ExportScript>> scripts_;
    std::map<int, std::string> blueprints_;
    std::string otherBlueprint_;
};

// Every byte of a file ("" when it cannot be read).
std::string FileBytes(const std::string& path);

}  // namespace quillmere_bench
