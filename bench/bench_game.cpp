#include "bench_game.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace quillmere_bench {
namespace {

namespace fs = std::filesystem;

constexpr char kSlotRoot[] = "Data/Plexor/Plugins/Quillmere/blueprints/";

// Base forms come from the game and four add-ons, most from the game.
constexpr int kBaseForms = 400;
constexpr uint32_t kFirstBaseId = 0x00010000;
constexpr uint32_t kFirstReferenceId = 0x00200000;

const char* const kNames[] = {
    "Wooden Chair",
    "Metal Shack Wall",
    "Generator - Large",
    "Water Purifier",
    "Floor Lamp",
    "Potted Plant",
    "Fence - Wood",
    "Power Conduit",
    "Turret - Heavy",
    "Bed",
    "Workbench",
    "Vegetable Garden",
    "Crate of Supplies",
    "Metal Stairs",
    "Caf\xE9 Sign",
    "Brahmin Trough",
    "Wall Light",
    "Shelf",
    "Radio Beacon",
    "Concrete Foundation",
    "Doorway - Warehouse",
    "Weapons Workbench",
    "Desk",
    "Rug",
    "Table - Dining",
    "Picture Frame",
    "Neon Letter \"Q\"",
    "Scavenging Station",
    "Guard Post",
    "Siren",
    "Junk Fence",
    "Barrel Fire",
};

// Every 17th placed object has no name of its own.
std::optional<std::string> ReferenceName(int i) {
    if (i % 17 == 16) return std::nullopt;
    return std::string(kNames[i % (sizeof kNames / sizeof kNames[0])]);
}

// Positions and rotations with all the digits a float has, as in a game.
float Coordinate(int i, int axis) {
    const int spread = (i * (37 + axis * 11) + axis * 977) % 60000;
    return static_cast<float>(spread - 30000) * 0.731f + 0.1f * static_cast<float>(axis);
}
float Rotation(int i, int axis) {
    return static_cast<float>((i * (13 + axis * 7)) % 360) + 0.25f * static_cast<float>(axis);
}

template <typename T, typename Make>
std::vector<T> Slice(int from, int to, Make make) {
    std::vector<T> values;
    values.reserve(static_cast<std::size_t>(to - from));
    for (int i = from; i < to; ++i) values.push_back(make(i));
    return values;
}

int SlotFor(int itemCount) {
    switch (itemCount) {
        case 1000:
            return 1;
        case 10000:
            return 2;
        case 100000:
            return 3;
        default:
            return 9;
    }
}

}  // namespace

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

BenchGame& BenchGame::Get() {
    // Never destroyed: the plug-in stays loaded until the process ends.
    static BenchGame* game = new BenchGame();
    return *game;
}

BenchGame::BenchGame() {
    char pattern[] = "/tmp/quillmere-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("cannot make a working folder");
    workDir_ = pattern;
    fs::current_path(workDir_);
    // The debug log goes into the working folder, not the user's documents.
    setenv("XDG_DOCUMENTS_DIR", (workDir_ + "/Documents").c_str(), 1);
    static std::string removeAtExit;
    removeAtExit = workDir_;
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(removeAtExit, ignored);
    });

    const korvane::LoadReport report = host_.LoadPlugin(korvane::DefaultPluginPath());
    if (!report.loaded) throw std::runtime_error("plug-in not loaded: " + report.error);
    host_.DeclareQuillmereStructs();
    if (!host_.Register()) throw std::runtime_error("natives not registered");

    host_.SetLoadOrder({"Korvane.esm", "DLCRobot.esm", "DLCworkshop01.esm", "DLCCoast.esm",
                        "DLCworkshop02.esm", "DLCworkshop03.esm"});
    player_ = host_.AddReference(0x00000014, "Settler");
    worldspace_ = host_.AddForm(0x00001A2B);
    location_ = host_.AddLocation(0x0001F000, "Sanctuary Hills");
    workshop_ = host_.AddReference(0x000249E3, std::nullopt);
    workshopBase_ = host_.AddForm(0x0001F4A2);
    for (int k = 0; k < kBaseForms; ++k) {
        const uint32_t plugin = k % 10 < 6 ? 0u : static_cast<uint32_t>(k % 10 - 4);
        baseForms_.push_back(host_.AddForm((plugin << 24) | (kFirstBaseId + k)));
    }

    otherBlueprint_ = "other/bp_other.json";
    fs::create_directories("other");
    std::ofstream(otherBlueprint_) << "{\"header\": {\"player_name\": \"Other\"}}\n";
}

void BenchGame::AddReferencesUpTo(int itemCount) {
    for (int i = static_cast<int>(references_.size()); i < itemCount; ++i) {
        references_.push_back(
            host_.AddReference(kFirstReferenceId + static_cast<uint32_t>(i), ReferenceName(i)));
    }
}

ExportScript BenchGame::MakeScript(int itemCount) {
    AddReferencesUpTo(itemCount);
    ExportScript s;
    s.itemCount = itemCount;
    s.slotFolder = kSlotRoot + std::to_string(SlotFor(itemCount));
    s.init = {ScriptValue::Reference(player_), ScriptValue::Float(1.5f), ScriptValue::Int(0)};
    s.header = {ScriptValue::Int(itemCount), ScriptValue::FormValue(worldspace_),
                ScriptValue::FormValue(location_)};
    s.workshop = {ScriptValue::Reference(workshop_), ScriptValue::FormValue(workshopBase_),
                  ScriptValue::Float(-80.5f),        ScriptValue::Float(1024.5f),
                  ScriptValue::Float(16.5f),         ScriptValue::Float(0.0f),
                  ScriptValue::Float(0.0f),          ScriptValue::Float(179.9f)};
    s.store = {ScriptValue::String(s.slotFolder)};
    for (int from = 0; from < itemCount; from += kBatch) {
        const int to = std::min(itemCount, from + kBatch);
        std::vector<ScriptValue> items;
        items.push_back(ScriptValue::FormArray(Slice<korvane::Form*>(from, to, [&](int i) {
            return baseForms_[static_cast<std::size_t>((i * 7919) % kBaseForms)];
        })));
        items.push_back(ScriptValue::ReferenceArray(Slice<korvane::ObjectReference*>(
            from, to, [&](int i) { return references_[static_cast<std::size_t>(i)]; })));
        for (int axis = 0; axis < 3; ++axis) {
            items.push_back(ScriptValue::FloatArray(
                Slice<float>(from, to, [&](int i) { return Coordinate(i, axis); })));
        }
        for (int axis = 0; axis < 3; ++axis) {
            items.push_back(ScriptValue::FloatArray(
                Slice<float>(from, to, [&](int i) { return Rotation(i, axis); })));
        }
        s.itemBatches.push_back(std::move(items));

        std::vector<ScriptValue> props;
        const int divisors[7] = {3, 50, 1, 200, 40, 300, 500};
        for (int flag = 0; flag < 7; ++flag) {
            props.push_back(ScriptValue::IntArray(Slice<int32_t>(
                from, to, [&](int i) { return (i % divisors[flag]) == 0 ? 1 : 0; })));
        }
        s.propBatches.push_back(std::move(props));
    }
    return s;
}

const ExportScript& BenchGame::ScriptFor(int itemCount) {
    std::unique_ptr<ExportScript>& script = scripts_[itemCount];
    if (!script) script = std::make_unique<ExportScript>(MakeScript(itemCount));
    return *script;
}

ScriptValue BenchGame::Call(const std::string& native, const std::vector<ScriptValue>& args) {
    return host_.Call("Quillmere", native, args);
}

korvane::ScriptArray BenchGame::CallForArray(const std::string& native,
                                             const std::vector<ScriptValue>& args) {
    return host_.CallKeepingArray("Quillmere", native, args);
}

uint32_t BenchGame::Count(korvane::ScriptArray array) const {
    return array.id == 0 ? 0 : host_.Storage(array).count;
}

void BenchGame::Drop(korvane::ScriptArray array) {
    host_.Drop(array);
}

bool BenchGame::Export(const ExportScript& s) {
    bool ok = Call("Init", s.init).i != 0;
    {
        // SaveHeader echoes the export date on standard output; the
        // benchmark's own report goes there too.
        std::fflush(stdout);
        const int saved = dup(STDOUT_FILENO);
        std::FILE* sink = std::fopen("/dev/null", "w");
        dup2(fileno(sink), STDOUT_FILENO);
        ok = Call("SaveHeader", s.header).i != 0 && ok;
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
        std::fclose(sink);
    }
    ok = Call("SaveWorkshopData", s.workshop).i != 0 && ok;
    for (std::size_t b = 0; b < s.itemBatches.size(); ++b) {
        ok = Call("Save128Items", s.itemBatches[b]).i != 0 && ok;
        ok = Call("Save128ExtraProps", s.propBatches[b]).i != 0 && ok;
    }
    return Call("StoreDataToBlueprint", s.store).i != 0 && ok;
}

const std::string& BenchGame::BlueprintOf(int itemCount) {
    auto found = blueprints_.find(itemCount);
    if (found != blueprints_.end()) return found->second;
    const ExportScript& script = ScriptFor(itemCount);
    if (!Export(script)) throw std::runtime_error("export failed");
    fs::path written;
    for (const auto& entry : fs::directory_iterator(script.slotFolder)) {
        if (entry.path().extension() == ".json") written = entry.path();
    }
    if (written.empty()) throw std::runtime_error("no blueprint in " + script.slotFolder);
    // Exports of the same size clear their slot again, so the blueprint that
    // imports read lives in a slot of its own.
    const std::string slot = kSlotRoot + std::to_string(SlotFor(itemCount) + 3);
    fs::create_directories(slot);
    const std::string path = slot + "/" + written.filename().string();
    fs::copy_file(written, path, fs::copy_options::overwrite_existing);
    return blueprints_[itemCount] = path;
}

void BenchGame::ReadOtherBlueprint() {
    Call("GetBlueprintHeader", {ScriptValue::String(otherBlueprint_)});
}

}  // namespace quillmere_bench
