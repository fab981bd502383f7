// Readers called one after another on the same blueprint, as an import does:
// each call sees the file as it is at that moment, whatever an earlier call
// read from it.
#include <string>
#include <vector>

#include "import_test_support.h"

namespace quillmere_test {
namespace {

constexpr char kPath[] = "slot/Home.json";

std::string Blueprint(const std::string& player, int items) {
    std::string json = "{\"header\": {\"player_name\": \"" + player + "\"}, \"items\": [";
    for (int k = 0; k < items; ++k) {
        json.append(k ? ",{\"FormID_dec\":" : "{\"FormID_dec\":").append(std::to_string(k));
        json += "}";
    }
    return json + "]}";
}

class BlueprintRereadTest : public ImportTest {
  protected:
    ScriptValue Read(const std::string& reader) {
        return Call(reader, {ScriptValue::String(kPath)});
    }
    std::string PlayerName() {
        const ScriptValue header = Read("GetBlueprintHeader");
        return header.isNone ? "<none>" : header.elements.at(2).s;
    }
};

TEST_F(BlueprintRereadTest, AChangedFileIsReadInItsNewState) {
    WriteFile(kPath, Blueprint("Alpha", 3));
    ASSERT_EQ(PlayerName(), "Alpha");
    ASSERT_EQ(Read("GetItemsFromBlueprint").elements.size(), 3u);

    // Same length, one name changed: only the bytes tell the files apart.
    WriteFile(kPath, Blueprint("Omega", 3));
    EXPECT_EQ(PlayerName(), "Omega");

    // Longer, then shorter than the file read before.
    WriteFile(kPath, Blueprint("Omega", 4));
    EXPECT_EQ(Read("GetItemsFromBlueprint").elements.size(), 4u);
    EXPECT_EQ(Read("GetExtraPropsFromBlueprint").elements.size(), 4u);
    WriteFile(kPath, Blueprint("Omega", 2));
    EXPECT_EQ(Read("GetItemsFromBlueprint").elements.size(), 2u);

    // And back to bytes read earlier.
    WriteFile(kPath, Blueprint("Alpha", 3));
    EXPECT_EQ(PlayerName(), "Alpha");
    EXPECT_EQ(Read("GetItemsFromBlueprint").elements.size(), 3u);
}

TEST_F(BlueprintRereadTest, AFileThatStopsBeingABlueprintFailsAsBefore) {
    WriteFile(kPath, Blueprint("Alpha", 3));
    ASSERT_EQ(PlayerName(), "Alpha");

    WriteFile(kPath, Blueprint("Alpha", 3).substr(0, 20));
    const LogWatch broken;
    EXPECT_TRUE(Read("GetItemsFromBlueprint").isNone);
    EXPECT_EQ(CountOf(broken, std::string("JSON parser error: ") + kPath), 1);

    WriteFile(kPath, R"({"header": {"player_name": "Alpha"}})");
    const LogWatch noItems;
    EXPECT_EQ(PlayerName(), "Alpha");
    EXPECT_TRUE(Read("GetItemsFromBlueprint").isNone);
    EXPECT_EQ(CountOf(noItems, std::string("no items in blueprint: ") + kPath), 1);
}

TEST_F(BlueprintRereadTest, AFileRemovedBetweenCallsCannotBeFound) {
    WriteFile(kPath, Blueprint("Alpha", 3));
    ASSERT_EQ(PlayerName(), "Alpha");
    ASSERT_EQ(Read("GetItemsFromBlueprint").elements.size(), 3u);

    fs::remove(kPath);
    const std::vector<std::string> readers = {"GetBlueprintHeader", "GetPluginsRequired",
                                              "GetWorkshopData", "GetItemsFromBlueprint",
                                              "GetExtraPropsFromBlueprint"};
    for (const std::string& reader : readers) {
        SCOPED_TRACE(reader);
        const LogWatch log;
        EXPECT_TRUE(Read(reader).isNone);
        EXPECT_EQ(log.Lines(), std::vector<std::string>{std::string("cannot find file: ") + kPath});
    }

    // Written again with the very same bytes, it is found again.
    WriteFile(kPath, Blueprint("Alpha", 3));
    EXPECT_EQ(PlayerName(), "Alpha");
}

// Reading a blueprint never changes what the next reader gets: members that
// one reader finds missing stay missing for the next.
TEST_F(BlueprintRereadTest, EveryReaderGetsTheSameResultsAgain) {
    WriteFile(kPath, R"({"header": {"player_name": "P", "plugins_required": ["Korvane.esm"]},
                         "workshop": {"id": "0250FE"},
                         "items": [{"name": "Chair", "isPowered": 1}, null, {}]})");
    const std::vector<std::string> readers = {"GetBlueprintHeader", "GetPluginsRequired",
                                              "GetWorkshopData", "GetItemsFromBlueprint",
                                              "GetExtraPropsFromBlueprint"};
    std::vector<ScriptValue> first;
    for (const std::string& reader : readers) first.push_back(Read(reader));
    for (const std::string& reader : readers) first.push_back(Read(reader));
    for (std::size_t k = 0; k < readers.size(); ++k) {
        SCOPED_TRACE(readers[k]);
        EXPECT_FALSE(first[k].isNone);
        EXPECT_EQ(first[k], first[k + readers.size()]);
    }
}

}  // namespace
}  // namespace quillmere_test
