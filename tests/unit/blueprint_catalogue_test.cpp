// The catalogue's pure rules: slot folder names and which directory entries
// count as a slot's blueprint.
#include "blueprint/blueprint_catalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmere {
namespace {

TEST(BlueprintCatalogue, SlotFoldersAreNumberedOneToTenBelowTheBlueprintsFolder) {
    EXPECT_EQ(BlueprintsDir(), "Data/Plexor/Plugins/Quillmere/blueprints/");
    EXPECT_EQ(BlueprintSlotDir(1), "Data/Plexor/Plugins/Quillmere/blueprints/1");
    EXPECT_EQ(BlueprintSlotDir(10), "Data/Plexor/Plugins/Quillmere/blueprints/10");
}

TEST(BlueprintCatalogue, OnlyTheExactExtensionJsonCounts) {
    struct Case {
        const char* name;
        const char* extension;
        bool blueprint;
    };
    const Case cases[] = {
        {"Home.json", "json", true},
        {"json", "json", true},  // no dot: the name is its own extension
        {".json", "json", true},
        {"a.b.json", "json", true},
        {"HOME.JSON", "JSON", false},
        {"Home.Json", "Json", false},
        {"Home.json.bak", "bak", false},
        {"Home.jso", "jso", false},  // an 8.3 name
        {"Home.json ", "json ", false},
        {"Home.", "", false},
        {".", "", false},
        {"..", "", false},
        {"?", "?", false},  // a name with no narrow form
        {"", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FileExtension(c.name), c.extension);
        EXPECT_EQ(IsBlueprintEntry(c.name), c.blueprint);
    }
}

}  // namespace
}  // namespace quillmere
