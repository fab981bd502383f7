// Arbitrary bytes as a blueprint file, read by the five reader natives and
// listed by LoadBlueprintList, through the simulated host.
//
// Properties: nothing crashes, leaks (LeakSanitizer for the library's own
// memory, the host's live figures for what crosses the boundary) or throws
// into the host; every result is either None or complete and right. "Right"
// is judged by an independent reading of the same bytes with jsoncpp under
// the readers' documented rules: a document that does not parse, a section
// that is absent or empty, or a value that cannot be converted (jsoncpp
// throws) makes the whole result None; otherwise every member comes back,
// texts cut at their first zero byte as host strings are, floats bit for bit.
#include <json/reader.h>
#include <json/value.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "fuzz_host.h"

namespace quillmere_fuzz {
namespace {

constexpr char kBlueprints[] = "Data/Plexor/Plugins/Quillmere/blueprints/";

// The readers' rule for the number the blueprint layout writes for an
// infinite real: outside texts, a whole number token 1e+9999 reads as the
// largest double of its sign (a float reader then sees infinity).
std::string WithInfinitiesAsLargest(const std::string& text) {
    const std::string token = "1e+9999";
    std::string out;
    bool inText = false;
    bool escaped = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inText) {
            inText = escaped || c != '"';
            escaped = !escaped && c == '\\';
            out += c;
            continue;
        }
        const auto numeric = [](char d) { return (d >= '0' && d <= '9') || d == '.'; };
        if (text.compare(i, token.size(), token) == 0 && (i == 0 || !numeric(text[i - 1])) &&
            (i + token.size() == text.size() ||
             !(text[i + token.size()] >= '0' && text[i + token.size()] <= '9'))) {
            out += "1.7976931348623157e+308";
            i += token.size() - 1;
            continue;
        }
        inText = c == '"';
        out += c;
    }
    return out;
}

ScriptValue Text(const Json::Value& v) {
    return ScriptValue::String(std::string(v.asString().c_str()));
}
ScriptValue Int(const Json::Value& v) {
    return ScriptValue::Int(v.asInt());
}
ScriptValue Real(const Json::Value& v) {
    return ScriptValue::Float(v.asFloat());
}

ScriptValue StructArray(const char* name, std::vector<ScriptValue> elements) {
    ScriptValue v;
    v.type = ScriptType::StructArray;
    v.s = name;
    v.isNone = elements.empty();  // an array without elements reaches scripts as None
    v.elements = std::move(elements);
    return v;
}

ScriptValue NoneOr(std::optional<ScriptValue> v, ScriptValue none) {
    return v ? *v : none;
}

// Each Expected* mirrors one reader; nullopt means None. Non-const access, as
// the readers use it: naming a member of something that is not an object
// throws, like reading a text as a number.
template <typename Read>
std::optional<ScriptValue> Guarded(Read&& read) {
    try {
        return read();
    } catch (const Json::Exception&) {
        return std::nullopt;
    }
}

std::optional<ScriptValue> ExpectedHeader(Json::Value& root) {
    return Guarded([&]() -> std::optional<ScriptValue> {
        Json::Value& h = root["header"];
        if (h.size() == 0) return std::nullopt;
        return ScriptValue::Struct(
            "Quillmere#BlueprintHeader",
            {Text(h["export_date"]), Int(h["item_count"]), Text(h["player_name"]),
             Real(h["plugin_version"]), Text(h["settlement_name"]), Text(h["worldspace_id"]),
             Int(h["worldspace_id_dec"]), Text(h["worldspace_name"]),
             Text(h["worldspace_plugin"])});
    });
}

std::optional<ScriptValue> ExpectedPlugins(Json::Value& root) {
    return Guarded([&]() -> std::optional<ScriptValue> {
        Json::Value& h = root["header"];
        if (h.size() == 0) return std::nullopt;
        Json::Value& plugins = h["plugins_required"];
        std::vector<std::string> names;
        for (Json::ArrayIndex i = 0; i < plugins.size(); ++i) {
            names.push_back(std::string(plugins[i].asString().c_str()));
        }
        if (names.empty()) return ScriptValue::NoneArray(ScriptType::StringArray);
        return ScriptValue::StringArray(names);
    });
}

std::optional<ScriptValue> ExpectedWorkshop(Json::Value& root) {
    return Guarded([&]() -> std::optional<ScriptValue> {
        Json::Value& w = root["workshop"];
        if (w.size() == 0) return std::nullopt;
        return ScriptValue::Struct(
            "Quillmere#WorkshopData",
            {Text(w["id"]), Int(w["id_dec"]), Int(w["baseid_dec"]), Text(w["plugin"]),
             Real(w["posX"]), Real(w["posY"]), Real(w["posZ"]), Real(w["rotX"]), Real(w["rotY"]),
             Real(w["rotZ"])});
    });
}

template <typename Convert>
std::optional<ScriptValue> ExpectedItems(Json::Value& root, const char* structName,
                                         Convert&& convert) {
    return Guarded([&]() -> std::optional<ScriptValue> {
        Json::Value& items = root["items"];
        if (items.size() == 0) return std::nullopt;
        std::vector<ScriptValue> elements;
        for (Json::ArrayIndex i = 0; i < items.size(); ++i) {
            elements.push_back(ScriptValue::Struct(structName, convert(items[i])));
        }
        return StructArray(structName, std::move(elements));
    });
}

std::vector<ScriptValue> ItemMembers(Json::Value& item) {
    return {Text(item["plugin_name"]), Text(item["FormID"]), Int(item["FormID_dec"]),
            Text(item["name"]),        Real(item["posX"]),   Real(item["posY"]),
            Real(item["posZ"]),        Real(item["rotX"]),   Real(item["rotY"]),
            Real(item["rotZ"])};
}

std::vector<ScriptValue> PropMembers(Json::Value& item) {
    return {Int(item["isPowered"]),      Int(item["isGenerator"]), Int(item["isCreated"]),
            Int(item["isActor"]),        Int(item["isTurret"]),    Int(item["isFarmAnimal"]),
            Int(item["isTamedCreature"])};
}

void Expect(const char* reader, const ScriptValue& got, const ScriptValue& expected) {
    if (!SameValue(got, expected)) {
        Fail("%s gave\n  %s\nexpected\n  %s", reader, Show(got).c_str(), Show(expected).c_str());
    }
}

int32_t currentLevel = -1;

}  // namespace
}  // namespace quillmere_fuzz

using namespace quillmere_fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzGame::Get();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzGame& game = FuzzGame::Get();
    // Half the inputs with progress lines, which format every value read.
    const int32_t level = static_cast<int32_t>(size % 2);
    if (level != currentLevel) {
        game.Call("Init", {ScriptValue::Reference(nullptr), ScriptValue::Float(1.0f),
                           ScriptValue::Int(level)});
        currentLevel = level;
    }
    const korvane::Counters before = game.Live();

    // The file sits in one slot folder, the one LoadBlueprintList must find.
    const uint32_t slot = 1 + static_cast<uint32_t>(size % 10);
    const std::string folder = kBlueprints + std::to_string(slot);
    const std::string path = folder + "/fuzz.json";
    for (uint32_t s = 1; s <= 10; ++s) {
        if (s != slot) std::filesystem::remove_all(kBlueprints + std::to_string(s));
    }
    WriteBytes(path, data, size);

    Json::Value root;
    Json::Reader reader;
    const std::string text(reinterpret_cast<const char*>(data), size);
    // jsoncpp throws for some documents (nesting deeper than it allows);
    // the readers report those like any document that does not parse.
    bool parsed = false;
    try {
        parsed = reader.parse(text, root, true) ||
                 (text.find("1e+9999") != std::string::npos &&
                  reader.parse(WithInfinitiesAsLargest(text), root, true));
    } catch (const std::exception&) {
        parsed = false;
    }

    const ScriptValue pathArg = ScriptValue::String(path);
    // Each oracle gets its own copy: naming a member adds it.
    const auto expected = [&](auto&& oracle) -> std::optional<ScriptValue> {
        if (!parsed) return std::nullopt;
        Json::Value copy = root;
        return oracle(copy);
    };
    Expect("GetBlueprintHeader", game.Call("GetBlueprintHeader", {pathArg}),
           NoneOr(expected(ExpectedHeader), ScriptValue::NoneStruct("Quillmere#BlueprintHeader")));
    Expect("GetPluginsRequired", game.Call("GetPluginsRequired", {pathArg}),
           NoneOr(expected(ExpectedPlugins), ScriptValue::NoneArray(ScriptType::StringArray)));
    Expect("GetWorkshopData", game.Call("GetWorkshopData", {pathArg}),
           NoneOr(expected(ExpectedWorkshop), ScriptValue::NoneStruct("Quillmere#WorkshopData")));
    Expect("GetItemsFromBlueprint", game.Call("GetItemsFromBlueprint", {pathArg}),
           NoneOr(expected([](Json::Value& r) {
                      return ExpectedItems(r, "Quillmere#SettlementItem", ItemMembers);
                  }),
                  StructArray("Quillmere#SettlementItem", {})));
    Expect("GetExtraPropsFromBlueprint", game.Call("GetExtraPropsFromBlueprint", {pathArg}),
           NoneOr(expected([](Json::Value& r) {
                      return ExpectedItems(r, "Quillmere#ExtraProperties", PropMembers);
                  }),
                  StructArray("Quillmere#ExtraProperties", {})));

    std::vector<std::string> list(10, "none");
    list[slot - 1] = "fuzz.json";
    Expect("LoadBlueprintList", game.Call("LoadBlueprintList", {ScriptValue::String("")}),
           ScriptValue::StringArray(list));

    game.CheckNothingLeaked(before, "reading a blueprint");
    return 0;
}
