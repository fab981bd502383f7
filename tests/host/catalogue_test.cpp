// Registration and the function objects the machine calls.
#include "plugin_fixture.h"

namespace quillmere_test {
namespace {

using korvane::ScriptType;

// The host's view of a function object's operations, by slot.
using GetReturnTypeFn = uint64_t* (*)(void*, uint64_t*);
using QueryIndexedFn = bool (*)(void*, uint32_t, uint32_t*);
using HasCallbackFn = bool (*)(void*);
void* Slot(void* object, int slot) {
    return (*static_cast<void***>(object))[slot];
}

ScriptValue TestStruct() {
    return ScriptValue::Struct(
        "Quillmere#MyStruct",
        {ScriptValue::String("Plexor Struct I/O test"), ScriptValue::String("bla bla bla"),
         ScriptValue::Int(2017), ScriptValue::Int(42)});
}

using CatalogueTest = PluginTest;

TEST_F(CatalogueTest, TestNativesReturnAStructAndAnArrayOfOne) {
    EXPECT_EQ(Call("GetOutData"), TestStruct());
    const ScriptValue array = Call("GetStructOutData");
    EXPECT_EQ(array.type, ScriptType::StructArray);
    ASSERT_EQ(array.elements.size(), 1u);
    EXPECT_EQ(array.elements[0], TestStruct());
}

TEST_F(CatalogueTest, FunctionObjectsAnswerTheHostsQueries) {
    for (const korvane::RegisteredFunction& f : host.Functions()) {
        EXPECT_EQ(f.className, "Quillmere");
        uint64_t slot = 0xDEADBEEF;
        EXPECT_EQ(reinterpret_cast<GetReturnTypeFn>(Slot(f.object, 4))(f.object, &slot), &slot);
        EXPECT_EQ(slot, f.returnType) << f.name;
        EXPECT_NE(slot, 0u) << f.name;
        uint32_t out = 7;
        EXPECT_FALSE(reinterpret_cast<QueryIndexedFn>(Slot(f.object, 17))(f.object, 1, &out));
        EXPECT_EQ(out, 0u);
        EXPECT_TRUE(reinterpret_cast<HasCallbackFn>(Slot(f.object, 21))(f.object)) << f.name;
    }
}

TEST_F(CatalogueTest, ArgumentsAreFetchedOnceEachInOrderFromOnePosition) {
    Call("GetOutData");
    EXPECT_EQ(host.LastCall().argumentOffsetQueries, 1u);
    EXPECT_TRUE(host.LastCall().argumentIndices.empty());
    EXPECT_TRUE(host.LastCall().runResult);

    Call("SaveWorkshopData", {ScriptValue::Reference(nullptr), ScriptValue::FormValue(nullptr),
                              ScriptValue::Float(1), ScriptValue::Float(2), ScriptValue::Float(3),
                              ScriptValue::Float(4), ScriptValue::Float(5), ScriptValue::Float(6)});
    EXPECT_EQ(host.LastCall().argumentOffsetQueries, 1u);
    EXPECT_EQ(host.LastCall().argumentIndices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(CatalogueTest, StructResultsFollowTheScriptsDeclarations) {
    // A script type with more members than the native's shape: None.
    korvane::Host other;
    ASSERT_TRUE(other.LoadPlugin(korvane::DefaultPluginPath()).loaded);
    other.DeclareStruct("Quillmere#MyStruct", {ScriptType::String, ScriptType::String,
                                               ScriptType::Int, ScriptType::Int, ScriptType::Int});
    ASSERT_TRUE(other.Register());
    const ScriptValue wide = other.Call("Quillmere", "GetOutData");
    EXPECT_EQ(wide.type, ScriptType::None);
    const ScriptValue wideArray = other.Call("Quillmere", "GetStructOutData");
    ASSERT_EQ(wideArray.elements.size(), 1u);
    EXPECT_EQ(wideArray.elements[0].type, ScriptType::None);

    // A script that never declared the struct: a plain None, and no array.
    korvane::Host undeclared;
    ASSERT_TRUE(undeclared.LoadPlugin(korvane::DefaultPluginPath()).loaded);
    ASSERT_TRUE(undeclared.Register());
    EXPECT_EQ(undeclared.Call("Quillmere", "GetOutData").type, ScriptType::None);
    EXPECT_TRUE(undeclared.Call("Quillmere", "GetStructOutData").isNone);
}

TEST_F(CatalogueTest, DecliningHostLeavesNoneResultsAndNoNullRegistrations) {
    host.SetFaults({.declineStructAt = 1});
    const ScriptValue declined = Call("GetOutData");
    EXPECT_TRUE(declined.isNone);
    EXPECT_EQ(declined.type, ScriptType::Struct) << "a None of the struct's own type";

    host.SetFaults({.declineArrayAt = 1});
    EXPECT_TRUE(Call("GetStructOutData").isNone);

    korvane::Host starved;
    ASSERT_TRUE(starved.LoadPlugin(korvane::DefaultPluginPath()).loaded);
    starved.DeclareQuillmereStructs();
    starved.SetFaults({.declineHeapAt = 2});
    ASSERT_TRUE(starved.Register());
    EXPECT_EQ(starved.Functions().size(), host.Functions().size() - 1);
    for (const korvane::RegisteredFunction& f : starved.Functions()) EXPECT_NE(f.object, nullptr);
}

TEST(CatalogueLifetime, TearingTheMachineDownLeavesNoLibraryBlocks) {
    const korvane::Counters before = korvane::Host().GetCounters();
    {
        korvane::Host host;
        ASSERT_TRUE(host.LoadPlugin(korvane::DefaultPluginPath()).loaded);
        host.DeclareQuillmereStructs();
        ASSERT_TRUE(host.Register());
        host.Call("Quillmere", "GetOutData");
        host.Call("Quillmere", "GetStructOutData");
    }
    const korvane::Counters after = korvane::Host().GetCounters();
    EXPECT_EQ(after.liveHeapBlocks, before.liveHeapBlocks);
    EXPECT_EQ(after.liveIdentifiers, before.liveIdentifiers);
    EXPECT_EQ(after.liveArrays, before.liveArrays);
    EXPECT_EQ(after.liveStructs, before.liveStructs);
    EXPECT_GT(after.functionsDestroyed, before.functionsDestroyed);
}

}  // namespace
}  // namespace quillmere_test
