// The whole catalogue: 36 natives of the script class "Quillmere", in order,
// with the shapes the scripts declare.
#include "plugin_fixture.h"

namespace quillmere_test {
namespace {

using NativeCatalogueTest = PluginTest;

TEST_F(NativeCatalogueTest, RegistersTheWholeTableInOrder) {
    const std::vector<std::pair<std::string, std::size_t>> expected = {
        {"GetOutData", 0},
        {"GetStructOutData", 0},
        {"Init", 3},
        {"GetBlueprintHeader", 1},
        {"GetPluginsRequired", 1},
        {"GetWorkshopData", 1},
        {"GetItemsFromBlueprint", 1},
        {"GetExtraPropsFromBlueprint", 1},
        {"SaveHeader", 3},
        {"SaveWorkshopData", 8},
        {"Save128Items", 8},
        {"Save128ExtraProps", 7},
        {"StoreDataToBlueprint", 1},
        {"LoadBlueprintList", 1},
        {"GetLocationName", 1},
        {"NewIntArray", 1},
        {"IntArrayPush", 2},
        {"IntArraySet", 3},
        {"IntArrayMerge", 2},
        {"NewFloatArray", 1},
        {"FloatArrayPush", 2},
        {"FloatArraySet", 3},
        {"FloatArrayMerge", 2},
        {"NewStringArray", 1},
        {"StringArrayPush", 2},
        {"StringArraySet", 3},
        {"StringArrayMerge", 2},
        {"NewFormArray", 1},
        {"FormArrayPush", 2},
        {"FormArraySet", 3},
        {"FormArrayMerge", 2},
        {"NewObjectReferenceArray", 1},
        {"ObjectReferenceArrayPush", 2},
        {"ObjectReferenceArraySet", 3},
        {"ObjectReferenceArrayMerge", 2},
        {"GetDLCIndexArray", 0},
    };
    const std::vector<korvane::RegisteredFunction>& functions = host.Functions();
    ASSERT_EQ(functions.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(functions[i].className, "Quillmere");
        EXPECT_EQ(functions[i].name, expected[i].first) << "row " << i + 1;
        EXPECT_EQ(functions[i].paramTypes.size(), expected[i].second) << expected[i].first;
    }

    // The two natives of one shape share one class: the same operations.
    const auto* plugins = host.FindFunction("Quillmere", "GetPluginsRequired");
    const auto* list = host.FindFunction("Quillmere", "LoadBlueprintList");
    ASSERT_TRUE(plugins && list);
    EXPECT_EQ(*static_cast<void**>(plugins->object), *static_cast<void**>(list->object));
    EXPECT_EQ(plugins->returnType, list->returnType);
    // Every other native has a class of its own: 35 tables in all.
    std::vector<void*> tables;
    for (const auto& f : functions) tables.push_back(*static_cast<void**>(f.object));
    std::sort(tables.begin(), tables.end());
    EXPECT_EQ(std::unique(tables.begin(), tables.end()) - tables.begin(), 35);
}

}  // namespace
}  // namespace quillmere_test
