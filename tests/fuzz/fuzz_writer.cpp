// An arbitrary pending export, handed over through the export natives as the
// mod's scripts do it, stored with StoreDataToBlueprint and read back with
// the five readers.
//
// Properties: the export either reports false and leaves the slot's previous
// blueprint as it was, or reports true and the slot holds one blueprint from
// which every text comes back byte for byte (as the host hands texts over,
// up to a first zero byte), every float bit for bit and every integer
// exactly. Floats are any 32-bit pattern. The one documented exception: a
// NaN is written as null, which reads back as 0.0.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "fuzz_host.h"

namespace quillmere_fuzz {
namespace {

using korvane::Form;
using korvane::ObjectReference;

constexpr char kSlot[] = "Data/Plexor/Plugins/Quillmere/blueprints/1";
constexpr char kBaseMaster[] = "Korvane.esm";
// Inputs between two restarts of the session, so game forms do not pile up.
constexpr uint64_t kInputsPerSession = 2000;

std::vector<std::string> loadOrder = {"Korvane.esm",
                                      "DLCRobot.esm",
                                      "DLCworkshop02.esm",
                                      "DLCCoast.esm",
                                      "DLCBrightvale.esm",
                                      "DLCworkshop01.esm",
                                      "",
                                      "DLCworkshop03.esm"};

std::string HostText(const std::string& text) {
    return std::string(text.c_str());
}

std::string LocalIdText(uint32_t formId) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", formId & 0xFFFFFFu);
    return text;
}

std::string PluginOf(uint32_t formId) {
    const uint32_t index = formId >> 24;
    if (index >= loadOrder.size() || loadOrder[index].empty()) return kBaseMaster;
    return loadOrder[index];
}

// Base forms come from the load order's plugins (and one index past it);
// references and locations use ids no base form has, so no id is used with
// two form types in one input.
uint32_t BaseFormId(FuzzedDataProvider& in) {
    const auto index = in.ConsumeIntegralInRange<uint32_t>(0, 8);
    return (index << 24) | (in.ConsumeIntegral<uint32_t>() & 0xFFFFFFu);
}

float AnyFloat(FuzzedDataProvider& in) {
    const uint32_t bits = in.ConsumeIntegral<uint32_t>();
    float f = 0;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// What a float reads back as.
ScriptValue Stored(float f) {
    return ScriptValue::Float(std::isnan(f) ? 0.0f : f);
}

struct Item {
    uint32_t formId = 0;
    bool hasRef = false;
    std::optional<std::string> name;
    float pos[6] = {};
    int32_t flags[7] = {};
};

struct SlotContent {
    std::vector<std::string> files;
    std::vector<std::string> bytes;
    bool operator==(const SlotContent&) const = default;
};

SlotContent ContentOf(const std::string& folder) {
    SlotContent content;
    content.files = FilesBelow(folder);
    std::sort(content.files.begin(), content.files.end());
    for (const std::string& f : content.files) content.bytes.push_back(ReadBytes(f));
    return content;
}

void Expect(const char* what, const ScriptValue& got, const ScriptValue& expected) {
    if (!SameValue(got, expected)) {
        Fail("%s gave\n  %s\nexpected\n  %s", what, Show(got).c_str(), Show(expected).c_str());
    }
}

uint64_t inputs = 0;

}  // namespace
}  // namespace quillmere_fuzz

using namespace quillmere_fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The first Init gives the pending export its base master for good.
    FuzzGame::Get().Call(
        "Init", {ScriptValue::Reference(nullptr), ScriptValue::Float(1.0f), ScriptValue::Int(0)});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzGame& game = FuzzGame::Get();
    if (++inputs % kInputsPerSession == 0) game.Restart();
    korvane::Host& host = game.Host();
    FuzzedDataProvider in(data, size);

    // ---- the game: load order, player, places, workshop, items
    std::string mod = in.ConsumeRandomLengthString(40);
    // A file name of the load order: no zero byte, and Windows refuses "|" in it.
    std::erase_if(mod, [](char c) { return c == '\0' || c == '|'; });
    loadOrder[6] = mod;
    host.SetLoadOrder(loadOrder);

    const int32_t level = in.ConsumeBool() ? 1 : 0;
    const float version = AnyFloat(in);
    const std::string player = in.ConsumeRandomLengthString(60);
    ObjectReference* playerRef = host.AddReference(0xFF000000u, player);

    const int32_t itemCount = in.ConsumeIntegral<int32_t>();
    const bool hasWorldspace = in.ConsumeBool();
    const uint32_t worldspaceId = BaseFormId(in);
    Form* worldspace = hasWorldspace ? host.AddForm(worldspaceId) : nullptr;
    const bool hasLocation = in.ConsumeBool();
    const bool locationNamed = in.ConsumeBool();
    const std::string locationName = in.ConsumeRandomLengthString(60);
    Form* location = hasLocation
                         ? host.AddLocation(0xFE000001u, locationNamed ? std::optional(locationName)
                                                                       : std::nullopt)
                         : nullptr;

    const bool hasWorkshop = in.ConsumeBool();
    const uint32_t workshopId = BaseFormId(in);
    const bool hasBase = in.ConsumeBool();
    const uint32_t baseId = BaseFormId(in);
    float workshopPos[6];
    for (float& f : workshopPos) f = AnyFloat(in);

    const std::size_t batch = in.ConsumeIntegralInRange<std::size_t>(1, 16);
    // A few items in batches of up to 16: the lists and batches behave alike at
    // any size, and small documents keep the runs fast.
    std::vector<Item> items(in.ConsumeIntegralInRange<std::size_t>(0, 40));
    for (Item& item : items) {
        item.formId = BaseFormId(in);
        item.hasRef = in.ConsumeBool();
        if (in.ConsumeBool()) item.name = in.ConsumeRandomLengthString(40);
        for (float& f : item.pos) f = AnyFloat(in);
        for (int32_t& flag : item.flags) flag = in.ConsumeIntegral<int32_t>();
    }

    const SlotContent previous = ContentOf(kSlot);
    const korvane::Counters before = game.Live();

    // ---- the export, as the scripts drive it
    game.Call("Init", {ScriptValue::Reference(playerRef), ScriptValue::Float(version),
                       ScriptValue::Int(level)});
    game.Call("SaveHeader", {ScriptValue::Int(itemCount), ScriptValue::FormValue(worldspace),
                             ScriptValue::FormValue(location)});
    // The base first: should it share the workshop's id, it is the workshop.
    Form* base = hasBase ? host.AddForm(baseId) : nullptr;
    ObjectReference* workshop = hasWorkshop ? host.AddReference(workshopId, std::nullopt) : nullptr;
    std::vector<ScriptValue> workshopArgs = {ScriptValue::Reference(workshop),
                                             ScriptValue::FormValue(base)};
    for (float f : workshopPos) workshopArgs.push_back(ScriptValue::Float(f));
    game.Call("SaveWorkshopData", workshopArgs);

    for (std::size_t first = 0; first < items.size(); first += batch) {
        const std::size_t end = std::min(items.size(), first + batch);
        std::vector<Form*> forms;
        std::vector<ObjectReference*> refs;
        std::vector<std::vector<float>> pos(6);
        std::vector<std::vector<int32_t>> flags(7);
        for (std::size_t i = first; i < end; ++i) {
            const Item& item = items[i];
            forms.push_back(host.AddForm(item.formId));
            refs.push_back(
                item.hasRef ? host.AddReference(0xFF000001u + static_cast<uint32_t>(i), item.name)
                            : nullptr);
            for (int k = 0; k < 6; ++k) pos[k].push_back(item.pos[k]);
            for (int k = 0; k < 7; ++k) flags[k].push_back(item.flags[k]);
        }
        std::vector<ScriptValue> itemArgs = {ScriptValue::FormArray(forms),
                                             ScriptValue::ReferenceArray(refs)};
        for (auto& p : pos) itemArgs.push_back(ScriptValue::FloatArray(p));
        game.Call("Save128Items", itemArgs);
        std::vector<ScriptValue> flagArgs;
        for (auto& f : flags) flagArgs.push_back(ScriptValue::IntArray(f));
        game.Call("Save128ExtraProps", flagArgs);
    }

    const ScriptValue stored = game.Call("StoreDataToBlueprint", {ScriptValue::String(kSlot)});
    FUZZ_CHECK(stored.type == ScriptType::Bool, "%s", Show(stored).c_str());
    FUZZ_CHECK(FilesBelow(std::string(kSlot) + ".saving").empty(), "a staged file was left");

    if (stored.i == 0) {
        FUZZ_CHECK(ContentOf(kSlot) == previous, "a failed export changed the slot");
    } else {
        const std::vector<std::string> files = FilesBelow(kSlot);
        FUZZ_CHECK(files.size() == 1, "%zu files in the slot", files.size());
        const ScriptValue path = ScriptValue::String(files[0]);

        const ScriptValue header = game.Call("GetBlueprintHeader", {path});
        FUZZ_CHECK(!header.isNone && header.elements.size() == 9, "%s", Show(header).c_str());
        FUZZ_CHECK(header.elements[0].s.size() == 19, "export date %s",
                   header.elements[0].s.c_str());
        const std::vector<std::pair<int, ScriptValue>> headerMembers = {
            {1, ScriptValue::Int(itemCount)},
            {2, ScriptValue::String(HostText(player))},
            {3, Stored(version)},
            {4, ScriptValue::String(hasLocation && locationNamed ? HostText(locationName)
                                                                 : "Unknown Settlement")},
            {5, ScriptValue::String(hasWorldspace ? LocalIdText(worldspaceId) : "")},
            {6,
             ScriptValue::Int(hasWorldspace ? static_cast<int32_t>(worldspaceId & 0xFFFFFF) : 0)},
            {8, ScriptValue::String(hasWorldspace ? PluginOf(worldspaceId) : kBaseMaster)},
        };
        for (const auto& [index, value] : headerMembers) {
            Expect(("header member " + std::to_string(index)).c_str(),
                   header.elements[static_cast<std::size_t>(index)], value);
        }

        std::vector<ScriptValue> workshopMembers = {
            ScriptValue::String(hasWorkshop ? LocalIdText(workshopId) : ""),
            ScriptValue::Int(hasWorkshop ? static_cast<int32_t>(workshopId & 0xFFFFFF) : 0),
            ScriptValue::Int(hasBase ? static_cast<int32_t>(baseId & 0xFFFFFF) : 0),
            ScriptValue::String(hasWorkshop ? PluginOf(workshopId) : kBaseMaster)};
        for (float f : workshopPos) workshopMembers.push_back(Stored(f));
        Expect("GetWorkshopData", game.Call("GetWorkshopData", {path}),
               ScriptValue::Struct("Quillmere#WorkshopData", workshopMembers));

        const ScriptValue plugins = game.Call("GetPluginsRequired", {path});
        FUZZ_CHECK(!plugins.isNone && plugins.elements[0].s == kBaseMaster, "%s",
                   Show(plugins).c_str());

        ScriptValue expectedItems, expectedProps;
        expectedItems.type = expectedProps.type = ScriptType::StructArray;
        expectedItems.s = "Quillmere#SettlementItem";
        expectedProps.s = "Quillmere#ExtraProperties";
        expectedItems.isNone = expectedProps.isNone = items.empty();
        for (const Item& item : items) {
            const std::string plugin = PluginOf(item.formId);
            bool listed = false;
            for (const ScriptValue& p : plugins.elements) listed = listed || p.s == plugin;
            FUZZ_CHECK(listed, "plugin %s not required", plugin.c_str());
            std::vector<ScriptValue> members = {
                ScriptValue::String(plugin), ScriptValue::String(LocalIdText(item.formId)),
                ScriptValue::Int(static_cast<int32_t>(item.formId)),
                ScriptValue::String(item.hasRef && item.name ? HostText(*item.name)
                                                             : "unknown item")};
            for (float f : item.pos) members.push_back(Stored(f));
            expectedItems.elements.push_back(
                ScriptValue::Struct("Quillmere#SettlementItem", members));
            std::vector<ScriptValue> flags;
            for (int32_t flag : item.flags) flags.push_back(ScriptValue::Int(flag));
            expectedProps.elements.push_back(
                ScriptValue::Struct("Quillmere#ExtraProperties", flags));
        }
        Expect("GetItemsFromBlueprint", game.Call("GetItemsFromBlueprint", {path}), expectedItems);
        Expect("GetExtraPropsFromBlueprint", game.Call("GetExtraPropsFromBlueprint", {path}),
               expectedProps);
    }

    // A new export releases everything the last one kept.
    game.Call("Init",
              {ScriptValue::Reference(nullptr), ScriptValue::Float(1.0f), ScriptValue::Int(0)});
    game.CheckNothingLeaked(before, "an export and its reading");
    return 0;
}
