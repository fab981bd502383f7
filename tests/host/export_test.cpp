// Exporting a settlement through the natives, as the mod's scripts do it.
#include <regex>

#include "fixtures/example_blueprint.h"
#include "plugin_fixture.h"

namespace quillmere_test {
namespace {

using korvane::Form;
using korvane::ObjectReference;

constexpr char kSlot3[] = "Data/Plexor/Plugins/Quillmere/blueprints/3";

ScriptValue Floats(std::vector<float> v) {
    return ScriptValue::FloatArray(std::move(v));
}
ScriptValue Ints(std::vector<int32_t> v) {
    return ScriptValue::IntArray(std::move(v));
}

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class ExportTest : public PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        host.SetLoadOrder({"Korvane.esm", "DLCRobot.esm", "DLCworkshop02.esm", "DLCCoast.esm",
                           "DLCBrightvale.esm", "DLCworkshop01.esm"});
        player = host.AddReference(0x00000014, "Settler");
    }

    // Init, SaveHeader and SaveWorkshopData of the example settlement.
    void StartExample(uint32_t debugLevel = 0) {
        Call("Init", {ScriptValue::Reference(player), ScriptValue::Float(1.0f),
                      ScriptValue::Int(static_cast<int32_t>(debugLevel))});
        Form* worldspace = host.AddForm(0x00001A2B);
        Form* location = host.AddLocation(0x0001F000, "Sanctuary Hills");
        Call("SaveHeader", {ScriptValue::Int(2), ScriptValue::FormValue(worldspace),
                            ScriptValue::FormValue(location)});
        ObjectReference* workshop = host.AddReference(0x000249E3, std::nullopt);
        Form* workshopBase = host.AddForm(0x0001F4A2);
        Call("SaveWorkshopData",
             {ScriptValue::Reference(workshop), ScriptValue::FormValue(workshopBase),
              ScriptValue::Float(-80.5f), ScriptValue::Float(1024.5f), ScriptValue::Float(16.5f),
              ScriptValue::Float(0.0f), ScriptValue::Float(0.0f), ScriptValue::Float(179.9f)});
    }

    void SaveExampleItems() {
        Form* chair = host.AddForm(0x0001A2B3);
        Form* generator = host.AddForm(0x05000ABC);
        ObjectReference* chairRef = host.AddReference(0xFF000801, "Chair");
        ObjectReference* generatorRef = host.AddReference(0xFF000802, std::nullopt);
        Call("Save128Items",
             {ScriptValue::FormArray({chair, generator}),
              ScriptValue::ReferenceArray({chairRef, generatorRef}), Floats({1024.5f, -12.75f}),
              Floats({-2048.25f, 0.1f}), Floats({45.5f, 3.0f}), Floats({0, 0}), Floats({0, 0}),
              Floats({90.0f, 270.0f})});
        Call("Save128ExtraProps", {Ints({1, 0}), Ints({0, 1}), Ints({1, 1}), Ints({0, 0}),
                                   Ints({0, 0}), Ints({0, 0}), Ints({0, 0})});
    }

    bool Store(const std::string& slot = kSlot3) {
        const ScriptValue result = Call("StoreDataToBlueprint", {ScriptValue::String(slot)});
        EXPECT_EQ(result.type, korvane::ScriptType::Bool);
        return result.i != 0;
    }

    // The one blueprint in a slot folder.
    fs::path SlotBlueprint(const std::string& slot = kSlot3) {
        std::vector<fs::path> files = FilesIn(slot);
        EXPECT_EQ(files.size(), 1u);
        return files.empty() ? fs::path() : files.front();
    }

    ObjectReference* player = nullptr;
};

std::string ExportDateOf(const std::string& blueprint) {
    std::smatch match;
    const std::regex date("\"export_date\" : \"([0-9: -]{19})\"");
    return std::regex_search(blueprint, match, date) ? match[1].str() : std::string();
}

TEST_F(ExportTest, ExampleSettlementGivesTheDocumentedBytes) {
    StartExample();
    SaveExampleItems();
    ASSERT_TRUE(Store());

    const fs::path file = SlotBlueprint();
    const std::string written = ReadFile(file);
    const std::string date = ExportDateOf(written);
    ASSERT_EQ(date.size(), 19u);
    std::string expected = kExampleBlueprint;
    expected.replace(expected.find("2017-10-22 14:05:09"), 19, date);
    EXPECT_EQ(written, expected);

    // The file is named after the player, the settlement and the run's date.
    std::string stamp = date.substr(2);
    stamp.erase(std::remove_if(stamp.begin(), stamp.end(),
                               [](char c) { return c == ' ' || c == '-' || c == ':'; }),
                stamp.end());
    EXPECT_EQ(file.filename().string(), "bp_settler_sanctuary_" + stamp + ".json");
    EXPECT_FALSE(fs::exists(std::string(kSlot3) + ".saving"));
}

TEST_F(ExportTest, StoringTwiceWritesTheSameDocument) {
    StartExample();
    SaveExampleItems();
    ASSERT_TRUE(Store());
    const std::string first = ReadFile(SlotBlueprint());
    ASSERT_TRUE(Store());
    EXPECT_EQ(ReadFile(SlotBlueprint()), first);
}

TEST_F(ExportTest, ClearingTheSlotKeepsOnlyTheNewBlueprintAndDotFiles) {
    const fs::path slot = kSlot3;
    WriteFile(slot / "bp_old_blueprint.json", "{}");
    WriteFile(slot / "notes.txt", "notes");
    WriteFile(slot / "old" / "inner.json", "{}");
    WriteFile(slot / ".keep", "");
    WriteFile(fs::path("Data/Plexor/Plugins/Quillmere/blueprints/4") / "other.json", "{}");

    StartExample();
    ASSERT_TRUE(Store());

    std::vector<fs::path> files = FilesIn(slot);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].filename(), ".keep");
    EXPECT_EQ(files[1].filename().string().rfind("bp_settler_sanctuary_", 0), 0u);
    // Other slots are never touched.
    EXPECT_TRUE(fs::exists("Data/Plexor/Plugins/Quillmere/blueprints/4/other.json"));
}

TEST_F(ExportTest, MissingSlotFolderIsCreated) {
    StartExample();
    ASSERT_TRUE(Store("Data/Plexor/Plugins/Quillmere/blueprints/10"));
    EXPECT_EQ(FilesIn("Data/Plexor/Plugins/Quillmere/blueprints/10").size(), 1u);
}

TEST_F(ExportTest, NoItemsMeansNoItemsMember) {
    StartExample();
    ASSERT_TRUE(Store());
    const std::string written = ReadFile(SlotBlueprint());
    EXPECT_EQ(written.find("\"items\""), std::string::npos);
    EXPECT_NE(written.find("\"workshop\" : {"), std::string::npos);
}

TEST_F(ExportTest, AFailedCreationKeepsThePreviousBlueprint) {
    StartExample();
    ASSERT_TRUE(Store());
    const fs::path previous = SlotBlueprint();
    const std::string previousBytes = ReadFile(previous);

    // A player name no file system takes as a file name: too long.
    Call("Init", {ScriptValue::Reference(host.AddReference(0x16, std::string(300, 'x'))),
                  ScriptValue::Float(1.0f), ScriptValue::Int(0)});
    LogWatch log;
    EXPECT_FALSE(Store());

    EXPECT_EQ(FilesIn(kSlot3), std::vector<fs::path>{previous});
    EXPECT_EQ(ReadFile(previous), previousBytes);
    EXPECT_FALSE(fs::exists(std::string(kSlot3) + ".saving"));
    const std::vector<std::string> lines = log.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind(std::string("failed to create file: ") + kSlot3 + "/bp_xxx", 0),
              0u)
        << lines.back();
}

#if !defined(_WIN32)
// Windows' narrow calls limit the whole path, so only Linux can show this.
TEST_F(ExportTest, AFileNameAsLongAsTheFileSystemAllowsIsWritten) {
    // "bp_" + 223 bytes + "_settlement_" + 12 digits + ".json": 255 bytes.
    Call("Init", {ScriptValue::Reference(host.AddReference(0x16, std::string(223, 'x'))),
                  ScriptValue::Float(1.0f), ScriptValue::Int(0)});
    Call("SaveHeader",
         {ScriptValue::Int(0), ScriptValue::FormValue(nullptr), ScriptValue::FormValue(nullptr)});
    ASSERT_TRUE(Store());
    EXPECT_EQ(SlotBlueprint().filename().string().size(), 255u);
}
#endif

TEST_F(ExportTest, APathThroughAFileFailsAndDeletesNothing) {
    WriteFile("Data/Plexor/Plugins/Quillmere/blueprints", "a file, not a folder");
    StartExample();
    EXPECT_FALSE(Store());
    EXPECT_EQ(ReadFile("Data/Plexor/Plugins/Quillmere/blueprints"), "a file, not a folder");
}

TEST_F(ExportTest, SlotFoldersThatWouldClearTooMuchAreRefused) {
    WriteFile("keepme.txt", "game file");
    StartExample();
    for (const char* slot : {"", "/", ".", "..", "Data/..", "\\"}) {
        LogWatch log;
        EXPECT_FALSE(Store(slot)) << '"' << slot << '"';
        EXPECT_FALSE(log.Lines().empty()) << '"' << slot << '"';
    }
    EXPECT_EQ(ReadFile("keepme.txt"), "game file");
}

TEST_F(ExportTest, PlayerNamesCannotLeaveTheSlotFolder) {
    struct Case {
        const char* player;
        const char* prefix;
    };
    for (const Case& c :
         {Case{"../../x", "bp_.._.._x_sanctuary_"}, Case{"a\\b:c", "bp_a_b_c_sanctuary_"},
          Case{"Red Fox", "bp_red fox_sanctuary_"},
          Case{"\xC9lise*?\"<>|\t", "bp_\xC9lise________sanctuary_"}}) {
        Call("Init", {ScriptValue::Reference(host.AddReference(0x20, std::string(c.player))),
                      ScriptValue::Float(1.0f), ScriptValue::Int(0)});
        Call("SaveHeader", {ScriptValue::Int(0), ScriptValue::FormValue(host.AddForm(0x1A2B)),
                            ScriptValue::FormValue(host.AddLocation(0x1F000, "Sanctuary Hills"))});
        ASSERT_TRUE(Store()) << c.player;
        const fs::path file = SlotBlueprint();
        EXPECT_EQ(NarrowName(file).rfind(c.prefix, 0), 0u) << file;
    }
    EXPECT_FALSE(fs::exists(gameDir / "x"));
}

#if !defined(_WIN32)
TEST_F(ExportTest, ClearingRemovesLinksWithoutEnteringThem) {
    WriteFile("elsewhere/precious.txt", "keep me");
    fs::create_directories(kSlot3);
    fs::create_directory_symlink(gameDir / "elsewhere", fs::path(kSlot3) / "link");
    StartExample();
    ASSERT_TRUE(Store());
    EXPECT_EQ(ReadFile("elsewhere/precious.txt"), "keep me");
    EXPECT_EQ(FilesIn(kSlot3).size(), 1u);
}
#endif

TEST_F(ExportTest, ScriptsThatBreakTheCallingOrderDoNotBreakTheExport) {
    // Before any SaveHeader of this process the export date may be empty;
    // Init with a None player keeps the name; batches with None elements and
    // arrays of other lengths keep the lists parallel.
    Call("Init", {ScriptValue::Reference(player), ScriptValue::Float(2.0f), ScriptValue::Int(0)});
    Call("Init", {ScriptValue::Reference(nullptr), ScriptValue::Float(2.0f), ScriptValue::Int(0)});
    Call("SaveHeader",
         {ScriptValue::Int(3), ScriptValue::FormValue(nullptr), ScriptValue::FormValue(nullptr)});
    Call("SaveWorkshopData", {ScriptValue::Reference(nullptr), ScriptValue::FormValue(nullptr),
                              ScriptValue::Float(1), ScriptValue::Float(2), ScriptValue::Float(3),
                              ScriptValue::Float(4), ScriptValue::Float(5), ScriptValue::Float(6)});
    Form* chair = host.AddForm(0x0001A2B3);
    Call("Save128Items",
         {ScriptValue::FormArray({chair, nullptr, chair}), ScriptValue::ReferenceArray({nullptr}),
          Floats({1.5f}), Floats({}), ScriptValue::NoneArray(korvane::ScriptType::FloatArray),
          Floats({}), Floats({}), Floats({1, 2, 3, 4})});
    Call("Save128ExtraProps",
         {Ints({1}), Ints({}), Ints({1, 1, 1, 1}), Ints({}), Ints({}), Ints({}), Ints({})});
    ASSERT_TRUE(Store());

    const std::string written = ReadFile(SlotBlueprint());
    EXPECT_NE(written.find("\"player_name\" : \"Settler\""), std::string::npos)
        << "the name of an earlier Init stays";
    EXPECT_NE(written.find("\"settlement_name\" : \"Unknown Settlement\""), std::string::npos);
    EXPECT_NE(written.find("\"worldspace_name\" : \"Unknown Worldspace\""), std::string::npos);
    EXPECT_NE(written.find("\"idx\" : 2"), std::string::npos);
    EXPECT_EQ(written.find("\"idx\" : 3"), std::string::npos);
    // The None form: base master, local id 000000, full id 0.
    EXPECT_NE(written.find("\"FormID\" : \"000000\",\n         \"FormID_dec\" : 0,"),
              std::string::npos);
    EXPECT_NE(written.find("\"name\" : \"unknown item\""), std::string::npos);
}

TEST_F(ExportTest, PluginsRequiredGathering) {
    struct Case {
        uint32_t worldspace;
        uint32_t workshop;
        std::vector<uint32_t> items;
        int headerCalls;
        const char* expected;
    };
    // Load order: 0 Korvane.esm, 1 DLCRobot.esm, 2 DLCworkshop02.esm,
    // 3 DLCCoast.esm, 4 DLCBrightvale.esm, 5 DLCworkshop01.esm, 6 mod.esp,
    // 7 DLCworkshop03.esm.
    const std::vector<Case> cases = {
        {0x00001A2B, 0x000249E3, {0x1, 0x2}, 1, "[ \"Korvane.esm\" ]"},
        {0x00001A2B,
         0x070249E3,
         {0x1, 0x05000001, 0x2, 0x05000002},
         1,
         "[ \"Korvane.esm\", \"DLCworkshop03.esm\", \"DLCworkshop01.esm\" ]"},
        {0x03004EA4, 0x03000001, {0x03000002}, 1, "[ \"Korvane.esm\", \"DLCCoast.esm\" ]"},
        {0x06000001, 0x06000002, {0x1}, 1, "[ \"Korvane.esm\" ]"},
        {0x06000001, 0x06000002, {0x06000003}, 1, "[ \"Korvane.esm\", \"mod.esp\" ]"},
        {0x03004EA4, 0x000249E3, {}, 2, "[ \"Korvane.esm\", \"DLCCoast.esm\", \"DLCCoast.esm\" ]"},
        {0x00001A2B, 0x000249E3, {0x40000001}, 1, "[ \"Korvane.esm\" ]"},
    };
    host.SetLoadOrder({"Korvane.esm", "DLCRobot.esm", "DLCworkshop02.esm", "DLCCoast.esm",
                       "DLCBrightvale.esm", "DLCworkshop01.esm", "mod.esp", "DLCworkshop03.esm"});
    for (const Case& c : cases) {
        Call("Init", {ScriptValue::Reference(player), ScriptValue::Float(1), ScriptValue::Int(0)});
        for (int i = 0; i < c.headerCalls; ++i) {
            Call("SaveHeader",
                 {ScriptValue::Int(0), ScriptValue::FormValue(host.AddForm(c.worldspace)),
                  ScriptValue::FormValue(nullptr)});
        }
        Call("SaveWorkshopData",
             {ScriptValue::Reference(host.AddReference(c.workshop, std::nullopt)),
              ScriptValue::FormValue(nullptr), ScriptValue::Float(0), ScriptValue::Float(0),
              ScriptValue::Float(0), ScriptValue::Float(0), ScriptValue::Float(0),
              ScriptValue::Float(0)});
        std::vector<Form*> forms;
        for (uint32_t id : c.items) forms.push_back(host.AddForm(id));
        const std::vector<float> zeros(forms.size(), 0.0f);
        Call("Save128Items",
             {ScriptValue::FormArray(forms), ScriptValue::ReferenceArray({}), Floats(zeros),
              Floats(zeros), Floats(zeros), Floats(zeros), Floats(zeros), Floats(zeros)});
        ASSERT_TRUE(Store());
        const std::string written = ReadFile(SlotBlueprint());
        EXPECT_NE(written.find(std::string("\"plugins_required\" : ") + c.expected),
                  std::string::npos)
            << written.substr(0, 600);
    }
}

TEST_F(ExportTest, ProgressLinesAtDebugLevelOneAndNoneAtZero) {
    {
        LogWatch log;
        StartExample(0);
        SaveExampleItems();
        ASSERT_TRUE(Store());
        for (const std::string& line : log.Lines()) {
            EXPECT_EQ(line.find("PapyrusQuillmere::"), std::string::npos) << line;
        }
    }
    LogWatch log;
    Call("Init", {ScriptValue::Reference(player), ScriptValue::Float(1.5f), ScriptValue::Int(1)});
    EXPECT_TRUE(
        log.Contains("PapyrusQuillmere::Init DebugLevel:1;PlayerName:Settler;pluginVersion:1"));
    Call("SaveWorkshopData",
         {ScriptValue::Reference(host.AddReference(0x000249E3, std::nullopt)),
          ScriptValue::FormValue(host.AddForm(0x0001F4A2)), ScriptValue::Float(-80.5f),
          ScriptValue::Float(1024.5f), ScriptValue::Float(16.5f), ScriptValue::Float(0),
          ScriptValue::Float(1e20f), ScriptValue::Float(179.9f)});
    EXPECT_TRUE(
        log.Contains("PapyrusQuillmere::SaveWorkshopData workshopdata.workshop_id:0249E3;"
                     "workshopdata.workshop_id_dec:149987;workshopdata.workshop_baseid_dec:128162;"
                     "workshopdata.workshop_plugin:Korvane.esm;workshopdata.posX:-80.5;"
                     "workshopdata.posY:1024.5;workshopdata.posZ:16.5;workshopdata.rotX:0;"
                     "workshopdata.rotY:1e+20;workshopdata.rotZ:179.9"));
    SaveExampleItems();
    EXPECT_TRUE(log.Contains(
        "PapyrusQuillmere::Save128Items #1 item.plugin_name:DLCworkshop01.esm;"
        "item.FormID:000ABC;item.FormID_dec:83888828;item.name:unknown item;item.posX:-12.75;"
        "item.posY:0.1;item.posZ:3;item.rotX:0;item.rotY:0;item.rotZ:270"));
    EXPECT_TRUE(log.Contains(
        "PapyrusQuillmere::Save128ExtraProps #0 item_prop.isPowered:1;item_prop.isGenerator:0;"
        "item_prop.isCreated:1;item_prop.isActor:0;item_prop.isTurret:0;"
        "item_prop.isFarmAnimal:0;item_prop.isTamedCreature:0"));
    ASSERT_TRUE(Store());
    const std::vector<std::string> lines = log.Lines();
    // The writer logs the workshop, then each item (two lines), then the header.
    std::vector<std::string> writerLines;
    for (const std::string& line : lines) {
        if (line.rfind("PapyrusQuillmere::StoreDataToBlueprint ", 0) == 0) {
            writerLines.push_back(line.substr(39, 14));
        }
    }
    EXPECT_EQ(writerLines,
              (std::vector<std::string>{"workshopdata.w", "#0 item.plugin", "#0 item_prop.i",
                                        "#1 item.plugin", "#1 item_prop.i", "header.export_"}));
    EXPECT_NE(lines.back().find(";header.plugin_version:1.5;header.plugins_required:"
                                "[Korvane.esm;DLCworkshop01.esm];"),
              std::string::npos)
        << lines.back();
}

TEST_F(ExportTest, AThousandItemsInEightBatchesStayParallel) {
    StartExample();
    int next = 0;
    for (int batch = 0; batch < 8; ++batch) {
        const int size = batch < 7 ? 128 : 1000 - 7 * 128;
        std::vector<Form*> forms;
        std::vector<float> posX;
        std::vector<int32_t> flags;
        for (int i = 0; i < size; ++i, ++next) {
            forms.push_back(host.AddForm(0x00010000u + static_cast<uint32_t>(next)));
            posX.push_back(static_cast<float>(next));
            flags.push_back(next);
        }
        Call("Save128Items",
             {ScriptValue::FormArray(forms), ScriptValue::ReferenceArray({}), Floats(posX),
              Floats(posX), Floats(posX), Floats(posX), Floats(posX), Floats(posX)});
        Call("Save128ExtraProps", {Ints(flags), Ints(flags), Ints(flags), Ints(flags), Ints(flags),
                                   Ints(flags), Ints(flags)});
    }
    ASSERT_TRUE(Store());
    const std::string written = ReadFile(SlotBlueprint());
    std::size_t at = 0;
    for (int i = 0; i < 1000; ++i) {
        char id[8];
        std::snprintf(id, sizeof id, "%06X", 0x10000 + i);
        const std::string item = std::string("\"FormID\" : \"") + id + "\"";
        at = written.find(item, at);
        ASSERT_NE(at, std::string::npos) << i;
        const std::string idx = "\"idx\" : " + std::to_string(i) + ",";
        const std::string flag = "\"isPowered\" : " + std::to_string(i) + ",";
        const std::string pos = "\"posX\" : " + std::to_string(i) + ".0,";
        const std::size_t end = written.find('}', at);
        for (const std::string& member : {idx, flag, pos}) {
            EXPECT_NE(written.substr(at, end - at).find(member), std::string::npos) << member;
        }
    }
}

}  // namespace
}  // namespace quillmere_test
