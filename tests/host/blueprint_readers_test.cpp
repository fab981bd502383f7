// The five blueprint readers through the simulated host: failures, the
// conversion rules, large blueprints and byte-exact texts.
#include <string>
#include <vector>

#include "import_test_support.h"

namespace quillmere_test {
namespace {

const std::vector<std::string> kAllReaders = {"GetBlueprintHeader", "GetPluginsRequired",
                                              "GetWorkshopData", "GetItemsFromBlueprint",
                                              "GetExtraPropsFromBlueprint"};
const std::vector<std::string> kHeaderReaders = {"GetBlueprintHeader", "GetPluginsRequired"};
const std::vector<std::string> kItemReaders = {"GetItemsFromBlueprint",
                                               "GetExtraPropsFromBlueprint"};

// The members of a struct result, for comparisons by position.
std::vector<ScriptValue> Members(const ScriptValue& s) {
    return s.elements;
}

class BlueprintReadersTest : public ImportTest {
  protected:
    static constexpr char kPath[] = "slot/Home.json";

    ScriptValue Read(const std::string& reader, const std::string& path = kPath) {
        return Call(reader, {ScriptValue::String(path)});
    }
};

struct FailureCase {
    const char* what;
    std::string content;  // the file's bytes
    std::vector<std::string> readers;
    std::string line;  // the error line, before the path
};

// Every row: the readers named give None and exactly one error line with the
// path as the script passed it. No exception ever reaches the host: values
// that jsoncpp refuses to convert are reported like a parse error.
TEST_F(BlueprintReadersTest, FailuresGiveNoneAndOneErrorLine) {
    const std::string parseError = "JSON parser error: ";
    const std::vector<FailureCase> cases = {
        {"empty file", "", kAllReaders, parseError},
        {"only a comment", "// nothing here\n", kAllReaders, parseError},
        {"truncated", "{\"header\": {\"player_name\": \"A\"", kAllReaders, parseError},
        {"root is a number", "42", kAllReaders, parseError},
        {"root is an array", "[{\"header\": {\"a\": 1}}]", kAllReaders, parseError},
        {"root is a text", "\"header\"", kAllReaders, parseError},
        {"empty header", R"({"header": {}, "workshop": {"id": "1"}, "items": [{}]})",
         kHeaderReaders, "no header in blueprint: "},
        {"header is a number", R"({"header": 5})", kHeaderReaders, "no header in blueprint: "},
        {"header is an array", R"({"header": [1, 2]})", kHeaderReaders, parseError},
        {"object read as text",
         R"({"header": {"player_name": {"a": 1}}})",
         {"GetBlueprintHeader"},
         parseError},
        {"array read as text",
         R"({"header": {"plugins_required": [["Korvane.esm"]]}})",
         {"GetPluginsRequired"},
         parseError},
        {"text read as integer",
         R"({"header": {"item_count": "12"}})",
         {"GetBlueprintHeader"},
         parseError},
        {"integer beyond 32 bits",
         R"({"header": {"worldspace_id_dec": 4294967296}})",
         {"GetBlueprintHeader"},
         parseError},
        {"integer beyond signed 32 bits",
         R"({"header": {"item_count": 2147483648}})",
         {"GetBlueprintHeader"},
         parseError},
        {"text read as float",
         R"({"header": {"plugin_version": "1.5"}})",
         {"GetBlueprintHeader"},
         parseError},
        {"empty workshop",
         R"({"header": {"a": 1}, "workshop": {}})",
         {"GetWorkshopData"},
         "no workshop data in blueprint: "},
        {"workshop is an array", R"({"workshop": [1]})", {"GetWorkshopData"}, parseError},
        {"workshop float is a text",
         R"({"workshop": {"posX": "1"}})",
         {"GetWorkshopData"},
         parseError},
        {"items is an empty array", R"({"header": {"a": 1}, "items": []})", kItemReaders,
         "no items in blueprint: "},
        {"items missing", R"({"header": {"a": 1}})", kItemReaders, "no items in blueprint: "},
        {"items is an object", R"({"items": {"a": {"FormID_dec": 1}}})", kItemReaders, parseError},
        {"an item is a number", R"({"items": [{}, 5]})", kItemReaders, parseError},
        {"an item is a text", R"({"items": ["x"]})", kItemReaders, parseError},
        {"real beyond 32 bits", R"({"items": [{"FormID_dec": 1.5e10, "isActor": 1.5e10}]})",
         kItemReaders, parseError},
        {"a flag is a text",
         R"({"items": [{"isTurret": "yes"}]})",
         {"GetExtraPropsFromBlueprint"},
         parseError},
    };
    for (const FailureCase& c : cases) {
        WriteFile(kPath, c.content);
        for (const std::string& reader : c.readers) {
            SCOPED_TRACE(std::string(c.what) + ", " + reader);
            const LogWatch log;
            const ScriptValue result = Read(reader);
            EXPECT_TRUE(result.isNone) << korvane::Describe(result);
            EXPECT_EQ(CountOf(log, c.line + kPath), 1);
            EXPECT_EQ(LinesStartingWith(log, c.line).size(), 1u);
        }
    }
}

TEST_F(BlueprintReadersTest, FilesThatCannotBeOpenedGiveCannotFindFile) {
    fs::create_directories("slot/folder.json");
    for (const std::string path : {"slot/missing.json", "slot/folder.json", ""}) {
        for (const std::string& reader : kAllReaders) {
            SCOPED_TRACE(path + ", " + reader);
            const LogWatch log;
            EXPECT_TRUE(Read(reader, path).isNone);
            EXPECT_EQ(CountOf(log, "cannot find file: " + path), 1);
        }
    }
}

// A blueprint holds texts as the game had them, bytes 0x80-0xFF copied
// unchanged; every one must come back, 0xFF (which once ended the read
// early) included.
TEST_F(BlueprintReadersTest, EveryByteOfTheFileIsRead) {
    WriteFile(kPath,
              "{\n   \"header\" : {\n      \"player_name\" : \"J\xFFrg \xE9\",\n"
              "      \"plugins_required\" : [ \"Korvane.esm\", \"Caf\xE9\xFF.esp\" ],\n"
              "      \"settlement_name\" : \"\xFF\"\n   },\n"
              "   \"items\" : [ { \"name\" : \"\xFF\xFF\" } ]\n}\n");
    const ScriptValue header = Read("GetBlueprintHeader");
    ASSERT_FALSE(header.isNone);
    EXPECT_EQ(header.elements.at(2).s, "J\xFFrg \xE9");
    EXPECT_EQ(header.elements.at(4).s, "\xFF");
    EXPECT_EQ(Texts(Read("GetPluginsRequired")),
              (std::vector<std::string>{"Korvane.esm", "Caf\xE9\xFF.esp"}));
    EXPECT_EQ(Read("GetItemsFromBlueprint").elements.at(0).elements.at(3).s, "\xFF\xFF");
}

TEST_F(BlueprintReadersTest, HeaderValuesAreConverted) {
    WriteFile(kPath, R"({
        "header": {
            "export_date": "2024-05-06 07:08",
            "item_count": 12.9,
            "player_name": 42,
            "plugin_version": 1.5,
            "settlement_name": true,
            "worldspace_id": "00000A",
            "worldspace_id_dec": -1,
            "worldspace_name": null,
            "plugins_required": ["Korvane.esm", "DLCCoast.esm"]
        }
    })");
    const std::vector<ScriptValue> expected = {
        ScriptValue::String("2024-05-06 07:08"),
        ScriptValue::Int(12),  // truncated toward zero
        ScriptValue::String("42"),
        ScriptValue::Float(1.5f),
        ScriptValue::String("true"),
        ScriptValue::String("00000A"),
        ScriptValue::Int(-1),  // held as its 32 bits, signed again for the script
        ScriptValue::String(""),
        ScriptValue::String(""),  // missing
    };
    const ScriptValue header = Read("GetBlueprintHeader");
    ASSERT_FALSE(header.isNone);
    EXPECT_EQ(header.s, "Quillmere#BlueprintHeader");
    EXPECT_EQ(Members(header), expected);
    EXPECT_EQ(Texts(Read("GetPluginsRequired")),
              (std::vector<std::string>{"Korvane.esm", "DLCCoast.esm"}));
}

TEST_F(BlueprintReadersTest, HeaderHoldingOnlyThePluginListCountsAsPresent) {
    WriteFile(kPath, R"({"header": {"plugins_required": ["Korvane.esm"]}})");
    const LogWatch log;
    const ScriptValue header = Read("GetBlueprintHeader");
    ASSERT_FALSE(header.isNone);
    const std::vector<ScriptValue> empty = {
        ScriptValue::String(""), ScriptValue::Int(0),     ScriptValue::String(""),
        ScriptValue::Float(0),   ScriptValue::String(""), ScriptValue::String(""),
        ScriptValue::Int(0),     ScriptValue::String(""), ScriptValue::String("")};
    EXPECT_EQ(Members(header), empty);
    EXPECT_EQ(Texts(Read("GetPluginsRequired")), std::vector<std::string>{"Korvane.esm"});
    EXPECT_TRUE(LinesStartingWith(log, "no header").empty());
}

TEST_F(BlueprintReadersTest, WorkshopAndItemsAreConverted) {
    WriteFile(kPath, R"({
        "workshop": {"id": "0250FE", "id_dec": 151806, "baseid_dec": 1.9, "plugin": "Korvane.esm",
                     "posX": -1024.5, "posY": 2, "posZ": 0.25, "rotX": false, "rotY": true},
        "items": [
            {"idx": 7, "plugin_name": "DLCCoast.esm", "FormID": "00ABCD", "FormID_dec": 43981,
             "name": "Chair", "posX": 1.5, "posY": -2, "posZ": 3, "rotX": 0, "rotY": 90, "rotZ": 179.9,
             "isPowered": 1, "isGenerator": 0, "isCreated": 2, "isActor": true, "isTurret": -1,
             "isFarmAnimal": false, "isTamedCreature": 1},
            null,
            {"FormID": 42, "isPowered": 1}
        ]
    })");
    const std::vector<ScriptValue> workshop = {
        ScriptValue::String("0250FE"), ScriptValue::Int(151806),
        ScriptValue::Int(1),           ScriptValue::String("Korvane.esm"),
        ScriptValue::Float(-1024.5f),  ScriptValue::Float(2.0f),
        ScriptValue::Float(0.25f),     ScriptValue::Float(0.0f),
        ScriptValue::Float(1.0f),      ScriptValue::Float(0.0f)};
    const ScriptValue w = Read("GetWorkshopData");
    ASSERT_FALSE(w.isNone);
    EXPECT_EQ(w.s, "Quillmere#WorkshopData");
    EXPECT_EQ(Members(w), workshop);

    const auto item = [](std::string plugin, std::string id, int32_t idDec, std::string name,
                         std::vector<float> place) {
        std::vector<ScriptValue> m = {ScriptValue::String(plugin), ScriptValue::String(id),
                                      ScriptValue::Int(idDec), ScriptValue::String(name)};
        for (float f : place) m.push_back(ScriptValue::Float(f));
        return m;
    };
    const ScriptValue items = Read("GetItemsFromBlueprint");
    ASSERT_EQ(items.elements.size(), 3u);
    EXPECT_EQ(Members(items.elements[0]),
              item("DLCCoast.esm", "00ABCD", 43981, "Chair", {1.5f, -2, 3, 0, 90, 179.9f}));
    EXPECT_EQ(Members(items.elements[1]), item("", "", 0, "", {0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Members(items.elements[2]), item("", "42", 0, "", {0, 0, 0, 0, 0, 0}));

    const auto flags = [](std::vector<int32_t> values) {
        std::vector<ScriptValue> m;
        for (int32_t v : values) m.push_back(ScriptValue::Int(v));
        return m;
    };
    const ScriptValue props = Read("GetExtraPropsFromBlueprint");
    ASSERT_EQ(props.elements.size(), 3u);
    EXPECT_EQ(props.elements[0].s, "Quillmere#ExtraProperties");
    EXPECT_EQ(Members(props.elements[0]), flags({1, 0, 2, 1, -1, 0, 1}));
    EXPECT_EQ(Members(props.elements[1]), flags({0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Members(props.elements[2]), flags({1, 0, 0, 0, 0, 0, 0}));
}

// No limit of 128 on this side, and element k of every result comes from
// the same place in the file.
TEST_F(BlueprintReadersTest, ThreeHundredItemsAndPluginsComeBackInOrder) {
    std::string json = "{\"header\": {\"plugins_required\": [";
    for (int k = 0; k < 300; ++k) {
        json.append(k ? ",\"P" : "\"P").append(std::to_string(k)).append(".esp\"");
    }
    json += "]}, \"items\": [";
    for (int k = 0; k < 300; ++k) {
        json.append(k ? ",{\"FormID_dec\":" : "{\"FormID_dec\":").append(std::to_string(k));
        json.append(",\"isCreated\":").append(std::to_string(k)).append("}");
    }
    json += "]}";
    WriteFile(kPath, json);

    const std::vector<std::string> plugins = Texts(Read("GetPluginsRequired"));
    const ScriptValue items = Read("GetItemsFromBlueprint");
    const ScriptValue props = Read("GetExtraPropsFromBlueprint");
    ASSERT_EQ(plugins.size(), 300u);
    ASSERT_EQ(items.elements.size(), 300u);
    ASSERT_EQ(props.elements.size(), 300u);
    for (int k = 0; k < 300; ++k) {
        EXPECT_EQ(plugins[k], std::string("P").append(std::to_string(k)).append(".esp"));
        EXPECT_EQ(items.elements[k].elements.at(2).i, k);
        EXPECT_EQ(props.elements[k].elements.at(2).i, k);
    }
}

TEST_F(BlueprintReadersTest, ProgressLinesAtDebugLevelOne) {
    SetDebugLevel(1);
    WriteFile(kPath, R"({
        "header": {"export_date": "D", "item_count": 2, "player_name": "P", "plugin_version": 0.1,
                   "settlement_name": "S", "worldspace_id": "00000A", "worldspace_id_dec": -1,
                   "worldspace_name": "W", "worldspace_plugin": "Korvane.esm",
                   "plugins_required": ["Korvane.esm", "DLCCoast.esm"]},
        "workshop": {"id": "0250FE", "id_dec": 151806, "baseid_dec": 7, "plugin": "Korvane.esm",
                     "posX": 1000000, "posY": -12345.67, "posZ": 0.5, "rotX": 0, "rotY": 1e20,
                     "rotZ": 179.9},
        "items": [{"plugin_name": "A.esp", "FormID": "000001", "FormID_dec": 1, "name": "N",
                   "posX": 1024.5, "isPowered": 1, "isTurret": -1},
                  {}]
    })");
    const LogWatch log;
    for (const std::string& reader : kAllReaders) Read(reader);
    const std::vector<std::string> expected = {
        "PapyrusQuillmere::GetBlueprintHeader header.export_date:D;header.item_count:2;"
        "header.player_name:P;header.plugin_version:0.1;header.settlement_name:S;"
        "header.worldspace_id:00000A;header.worldspace_id_dec:-1;header.worldspace_name:W;"
        "header.worldspace_plugin:Korvane.esm",
        "PapyrusQuillmere::GetPluiginsRequired header.plugins_required:[Korvane.esm;DLCCoast.esm]",
        "PapyrusQuillmere::GetWorkshopData workshopdata.workshop_id:0250FE;"
        "workshopdata.workshop_id_dec:151806;workshopdata.workshop_baseid_dec:7;"
        "workshopdata.workshop_plugin:Korvane.esm;workshopdata.posX:1e+06;"
        "workshopdata.posY:-12345.7;workshopdata.posZ:0.5;workshopdata.rotX:0;"
        "workshopdata.rotY:1e+20;workshopdata.rotZ:179.9",
        "PapyrusQuillmere::GetItemsFromBlueprint #0 item.plugin_name:A.esp;item.FormID:000001;"
        "item.FormID_dec:1;item.name:N;item.posX:1024.5;item.posY:0;item.posZ:0;item.rotX:0;"
        "item.rotY:0;item.rotZ:0",
        "PapyrusQuillmere::GetItemsFromBlueprint #1 item.plugin_name:;item.FormID:;"
        "item.FormID_dec:0;item.name:;item.posX:0;item.posY:0;item.posZ:0;item.rotX:0;"
        "item.rotY:0;item.rotZ:0",
        "PapyrusQuillmere::GetExtraPropsFromBlueprint #0 item_prop.isPowered:1;"
        "item_prop.isGenerator:0;item_prop.isCreated:0;item_prop.isActor:0;"
        "item_prop.isTurret:-1;item_prop.isFarmAnimal:0;item_prop.isTamedCreature:0",
        "PapyrusQuillmere::GetExtraPropsFromBlueprint #1 item_prop.isPowered:0;"
        "item_prop.isGenerator:0;item_prop.isCreated:0;item_prop.isActor:0;"
        "item_prop.isTurret:0;item_prop.isFarmAnimal:0;item_prop.isTamedCreature:0",
    };
    EXPECT_EQ(LinesStartingWith(log, "PapyrusQuillmere::"), expected);
}

TEST_F(BlueprintReadersTest, EmptyPluginListLogsEmptyBrackets) {
    SetDebugLevel(1);
    WriteFile(kPath, R"({"header": {"player_name": "P", "plugins_required": []}})");
    const LogWatch log;
    const ScriptValue plugins = Read("GetPluginsRequired");
    EXPECT_TRUE(plugins.elements.empty());  // an array without elements reaches scripts as None
    EXPECT_EQ(LinesStartingWith(log, "PapyrusQuillmere::"),
              std::vector<std::string>{
                  "PapyrusQuillmere::GetPluiginsRequired header.plugins_required:[]"});
    EXPECT_TRUE(LinesStartingWith(log, "no header").empty());
}

// A failure half-way through the items leaves nothing behind in the host:
// the structs and strings made for the earlier items are given back.
TEST_F(BlueprintReadersTest, FailureHalfWayLeaksNothing) {
    WriteFile(kPath, R"({"items": [{"name": "first", "isPowered": 1}, {"name": "second"}, 7]})");
    for (const std::string& reader : kItemReaders) {
        SCOPED_TRACE(reader);
        const korvane::Counters before = host.GetCounters();
        EXPECT_TRUE(Read(reader).isNone);
        const korvane::Counters after = host.GetCounters();
        EXPECT_EQ(after.liveStructs, before.liveStructs);
        EXPECT_EQ(after.liveStringRefs, before.liveStringRefs);
        EXPECT_EQ(after.liveArrays, before.liveArrays);
    }
}

}  // namespace
}  // namespace quillmere_test
