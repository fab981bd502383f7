// GetLocationName and GetDLCIndexArray through the simulated host.
#include <optional>
#include <string>
#include <vector>

#include "import_test_support.h"

namespace quillmere_test {
namespace {

using LocationNativesTest = ImportTest;

struct LocationCase {
    const char* what;
    bool none;                        // pass None instead of a location
    std::optional<std::string> name;  // the location's own name string
    std::string expected;
};

TEST_F(LocationNativesTest, LocationNameOrTheFallback) {
    const std::vector<LocationCase> cases = {
        {"named", false, "Sanctuary Hills", "Sanctuary Hills"},
        {"empty name string", false, "", ""},
        {"no name string", false, std::nullopt, "Unknown Location"},
        {"None", true, std::nullopt, "Unknown Location"},
    };
    SetDebugLevel(1);
    uint32_t formId = 0x1000;
    for (const LocationCase& c : cases) {
        SCOPED_TRACE(c.what);
        korvane::Form* location = c.none ? nullptr : host.AddLocation(++formId, c.name);
        const LogWatch log;
        const ScriptValue result = Call("GetLocationName", {ScriptValue::FormValue(location)});
        EXPECT_EQ(result.type, ScriptType::String);
        EXPECT_EQ(result.s, c.expected);
        EXPECT_EQ(LinesStartingWith(log, "PapyrusQuillmere::"),
                  std::vector<std::string>{"PapyrusQuillmere::GetLocationName location_name:" +
                                           c.expected});
    }
}

TEST_F(LocationNativesTest, LocationNameWritesNothingAtLevelZero) {
    SetDebugLevel(0);
    korvane::Form* named = host.AddLocation(0x2001, std::string("Red Rocket"));
    const LogWatch log;
    Call("GetLocationName", {ScriptValue::FormValue(named)});
    Call("GetLocationName", {ScriptValue::FormValue(nullptr)});
    EXPECT_TRUE(LinesStartingWith(log, "PapyrusQuillmere::").empty());
}

struct LoadOrderCase {
    const char* what;
    std::vector<std::string> plugins;  // by load-order index; "" leaves the slot empty
    std::vector<int32_t> expected;
};

// Indices come in load order, whatever the order of the add-on list; names
// are compared exactly.
TEST_F(LocationNativesTest, AddOnIndicesFollowTheLoadOrder) {
    const std::vector<LoadOrderCase> cases = {
        {"add-ons after the master",
         {"Korvane.esm", "DLCRobot.esm", "DLCworkshop01.esm", "DLCCoast.esm"},
         {1, 2, 3}},
        {"a mod between them",
         {"Korvane.esm", "DLCRobot.esm", "Mod.esp", "DLCworkshop01.esm", "DLCCoast.esm"},
         {1, 3, 4}},
        {"all six, reversed, one slot empty",
         {"Korvane.esm", "DLCworkshop03.esm", "", "DLCworkshop02.esm", "DLCworkshop01.esm",
          "DLCBrightvale.esm", "DLCCoast.esm", "DLCRobot.esm"},
         {1, 3, 4, 5, 6, 7}},
        {"other case is another file",
         {"Korvane.esm", "dlccoast.esm", "DLCCoast.esp", "DLCCoast.esm"},
         {3}},
        {"no add-on", {"Korvane.esm", "Mod.esp"}, {}},
    };
    for (const LoadOrderCase& c : cases) {
        SCOPED_TRACE(c.what);
        host.SetLoadOrder(c.plugins);
        const ScriptValue result = Call("GetDLCIndexArray");
        EXPECT_EQ(result.type, ScriptType::IntArray);
        std::vector<int32_t> indices;
        for (const ScriptValue& element : result.elements) indices.push_back(element.i);
        EXPECT_EQ(indices, c.expected);
        // An array without elements reaches the script as None.
        EXPECT_EQ(result.isNone, c.expected.empty());
    }
}

}  // namespace
}  // namespace quillmere_test
