// LoadBlueprintList through the simulated host, against real folders below
// the test's own working folder.
#include <string>
#include <vector>

#include "import_test_support.h"

namespace quillmere_test {
namespace {

const std::string kBlueprints = "Data/Plexor/Plugins/Quillmere/blueprints/";

class BlueprintCatalogueTest : public ImportTest {
  protected:
    ScriptValue List() { return Call("LoadBlueprintList", {ScriptValue::String("ignored")}); }
    static void Touch(const std::string& relative) { WriteFile(kBlueprints + relative, "{}"); }
    static void Folder(const std::string& relative) {
        fs::create_directories(kBlueprints + relative);
    }
};

TEST_F(BlueprintCatalogueTest, MissingBlueprintsFolderGivesNoneAndTheFoldersPath) {
    const LogWatch log;
    const ScriptValue result = List();
    EXPECT_TRUE(result.isNone);
    EXPECT_TRUE(result.elements.empty());
    EXPECT_EQ(CountOf(log, "could not open directory: " + kBlueprints), 1);
}

TEST_F(BlueprintCatalogueTest, BlueprintsFolderWithoutSlotsGivesTenNone) {
    Folder("");
    const ScriptValue result = List();
    EXPECT_FALSE(result.isNone);
    EXPECT_EQ(Texts(result), std::vector<std::string>(10, "none"));
}

// One layout that shows every rule: slots are 1..10 by exact name, only an
// extension of exactly "json" counts (files and folders alike), and the
// entry's name comes back as the directory reports it.
TEST_F(BlueprintCatalogueTest, EachSlotReportsItsFirstBlueprintEntry) {
    Folder("0/a.json");   // never a slot
    Folder("01/a.json");  // not slot 1
    Folder("11/a.json");  // beyond slot 10
    Folder("2");
    Touch("3/notes.txt");
    Touch("3/Home.json");
    Touch("4/HOME.JSON");
    Touch("5/json");
    Touch("6/.json");
    Folder("7/old.json");
    Touch("8/Home.json.bak");
    Touch("10/Ten.json");

    const std::vector<std::string> expected = {
        "none",       // 1: only 01 exists
        "empty",      // 2: an empty folder
        "Home.json",  // 3
        "empty",      // 4: the test is case-sensitive
        "json",       // 5: a name without a dot is its own extension
        ".json",      // 6
        "old.json",   // 7: a folder counts like a file
        "empty",      // 8: extension bak
        "none",       // 9
        "Ten.json",   // 10
    };
    EXPECT_EQ(Texts(List()), expected);
}

TEST_F(BlueprintCatalogueTest, FilesAddedBetweenCallsShowInTheNextCall) {
    Folder("1");
    EXPECT_EQ(Texts(List())[0], "empty");
    Touch("1/Later.json");
    EXPECT_EQ(Texts(List())[0], "Later.json");
}

TEST_F(BlueprintCatalogueTest, DebugLevelOneLogsEverySlotInOrder) {
    SetDebugLevel(1);
    Touch("2/Home.json");
    Folder("3");
    {
        const LogWatch log;
        List();
        std::vector<std::string> expected;
        for (int j = 0; j < 10; ++j) {
            const char* entry = j == 1 ? "Home.json" : j == 2 ? "empty" : "none";
            expected.push_back("PapyrusQuillmere::LoadBlueprintList #" + std::to_string(j) +
                               " blueprint_file:" + entry);
        }
        EXPECT_EQ(LinesStartingWith(log, "PapyrusQuillmere::LoadBlueprintList"), expected);
    }
    fs::remove_all("Data");
    const LogWatch log;
    List();
    EXPECT_TRUE(LinesStartingWith(log, "PapyrusQuillmere::LoadBlueprintList").empty());
}

}  // namespace
}  // namespace quillmere_test
