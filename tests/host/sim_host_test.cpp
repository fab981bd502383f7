// Self-tests of the simulated host: its image answers at the documented
// offsets, its string cache, value cells and fault plans keep their books,
// and its extender and script calls work, checked with a probe plug-in of
// its own (fixtures/sim_probe_plugin.cpp) rather than the real library.
#include <gtest/gtest.h>

#include <cstring>

#include "korvane_sim.h"

namespace korvane {
namespace {

// The numbers below are typed from the host interface notes on purpose, not
// taken from the sim's own header, so a slip in either shows.
template <class Sig>
Sig* At(uintptr_t offset) {
    return reinterpret_cast<Sig*>(Host::ImageBase() + offset);
}
void* HeapObject() {
    return reinterpret_cast<void*>(Host::ImageBase() + 0x3857C00);
}
template <class Sig>
Sig* VmSlot(void* vm, int slot) {
    return reinterpret_cast<Sig*>((*static_cast<void***>(vm))[slot]);
}

struct Cell {
    uint64_t type;
    uint64_t payload;
};

void* FromText(const char* text) {
    void* handle = nullptr;
    At<void**(void**, const char*)>(0x1B19A50)(&handle, text);
    return handle;
}
void Release(void* handle) {
    At<void(void**)>(0x1B1ACE0)(&handle);
}

std::string ProbePath() {
    std::string path = DefaultPluginPath();
#ifdef _WIN32
    return path.substr(0, path.find_last_of("\\/")) + "\\sim_probe_plugin.dll";
#else
    return path.substr(0, path.find_last_of('/')) + "/libsim_probe_plugin.so";
#endif
}

class SimHost : public ::testing::Test {
  protected:
    Host host;
};

TEST_F(SimHost, ImageStubsAndObjectsSitAtTheDocumentedOffsets) {
    // Heap through its two stubs.
    const Counters before = host.GetCounters();
    void* block = At<void*(void*, uint64_t, uint32_t, bool)>(0x1AF13D0)(HeapObject(), 40, 0, false);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(host.GetCounters().liveHeapBlocks, before.liveHeapBlocks + 1);
    At<void(void*, void*, bool)>(0x1AF16E0)(HeapObject(), block, false);
    EXPECT_EQ(host.GetCounters().liveHeapBlocks, before.liveHeapBlocks);

    // The holder's field at 176 is the machine; the policy pointer is the
    // machine's policy (slot 51); the plugin table answers the load order.
    auto* holder = *At<unsigned char*>(0x585ED58);
    void* vm = nullptr;
    std::memcpy(&vm, holder + 176, sizeof vm);
    EXPECT_EQ(vm, host.VirtualMachine());
    EXPECT_EQ(*At<void*>(0x679C210), VmSlot<void*(void*)>(vm, 51)(vm));

    host.SetLoadOrder({"Korvane.esm", "", "DLCRobot.esm"});
    auto* table = *At<unsigned char*>(0x585A300);
    uint32_t count = 0;
    std::memcpy(&count, table, sizeof count);
    EXPECT_EQ(count, 3u);
    unsigned char* plugins[3];
    std::memcpy(plugins, table + 8, sizeof plugins);
    ASSERT_NE(plugins[0], nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(plugins[0] + 0x58), "Korvane.esm");
    EXPECT_EQ(plugins[1], nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(plugins[2] + 0x58), "DLCRobot.esm");

    // Forms as the plug-in reads them, and the display-name routine.
    ObjectReference* named = host.AddReference(0x0100ABCD, "Workbench");
    ObjectReference* unnamed = host.AddReference(0x00000801, std::nullopt);
    uint32_t id = 0;
    std::memcpy(&id, named->raw + 0x14, sizeof id);
    EXPECT_EQ(id, 0x0100ABCDu);
    EXPECT_EQ(named->raw[0x1A], 64);
    EXPECT_STREQ(At<const char*(const void*)>(0x4095A0)(named), "Workbench");
    EXPECT_EQ(At<const char*(const void*)>(0x4095A0)(unnamed), nullptr);
    Form* location = host.AddLocation(0x0001F4, "Sanctuary");
    void* fullName = nullptr;
    std::memcpy(&fullName, location->raw + 0x28, sizeof fullName);
    EXPECT_EQ(TextOf(fullName), "Sanctuary");
}

TEST_F(SimHost, StringCacheSharesCountsAndIndirects) {
    host.SetIndirection(IndirectionRule::Never);
    const uint64_t base = host.GetCounters().liveStringRefs;
    void* a = FromText("Korvane.esm");
    void* b = FromText("Korvane.esm");
    EXPECT_EQ(a, b) << "one entry per text: handles compare equal";
    EXPECT_EQ(host.GetCounters().liveStringRefs, base + 2);
    uint32_t flags = 0;
    std::memcpy(&flags, static_cast<char*>(a) + 8, sizeof flags);
    EXPECT_EQ(flags & 0x4000u, 0u);
    EXPECT_STREQ(static_cast<char*>(a) + 24, "Korvane.esm");
    Release(a);
    Release(b);
    EXPECT_EQ(host.GetCounters().liveStringRefs, base);

    host.SetIndirection(IndirectionRule::Always);
    void* indirect = FromText("Sanctuary Hills");
    std::memcpy(&flags, static_cast<char*>(indirect) + 8, sizeof flags);
    EXPECT_NE(flags & 0x4000u, 0u);
    EXPECT_STRNE(static_cast<char*>(indirect) + 24, "Sanctuary Hills") << "decoy text";
    char* target = nullptr;
    std::memcpy(&target, static_cast<char*>(indirect) + 16, sizeof target);
    EXPECT_STREQ(target + 24, "Sanctuary Hills");
    EXPECT_EQ(TextOf(indirect), "Sanctuary Hills");
    Release(indirect);

    // The default rule picks by text alone, and picks some but not all.
    int indirectTexts = 0;
    for (int i = 0; i < 30; ++i) indirectTexts += Host::IsIndirectText("name" + std::to_string(i));
    EXPECT_GT(indirectTexts, 0);
    EXPECT_LT(indirectTexts, 30);
}

TEST_F(SimHost, ValueAssignAndCleanUpKeepReferenceCounts) {
    auto assign = At<Cell*(Cell*, const Cell*)>(0x26A2920);
    auto cleanUp = At<void(Cell*)>(0x26A22D0);
    const uint64_t base = host.GetCounters().liveStringRefs;
    Cell source{2, reinterpret_cast<uint64_t>(FromText("posX"))};
    Cell copy{3, 99};
    EXPECT_EQ(assign(&copy, &source), &copy);
    EXPECT_EQ(copy.type, 2u);
    EXPECT_EQ(copy.payload, source.payload);
    EXPECT_EQ(host.GetCounters().liveStringRefs, base + 2);
    // Assigning over a string gives the old reference back.
    Cell number{3, 7};
    assign(&copy, &number);
    EXPECT_EQ(host.GetCounters().liveStringRefs, base + 1);
    cleanUp(&source);
    EXPECT_EQ(source.type, 2u) << "clean-up leaves the words as they were";
    EXPECT_EQ(host.GetCounters().liveStringRefs, base);
}

TEST_F(SimHost, FaultPlansDeclineTheNthRequest) {
    void* vm = host.VirtualMachine();
    auto newArray = VmSlot<bool(void*, const Cell*, uint32_t, void**)>(vm, 25);
    auto cleanUp = At<void(Cell*)>(0x26A22D0);
    const Counters base = host.GetCounters();
    host.SetFaults({.declineArrayAt = 2});
    Cell cells[3] = {{13, 0}, {13, 0}, {13, 0}};
    bool created[3];
    for (int i = 0; i < 3; ++i) {
        void* data = nullptr;
        created[i] = newArray(vm, &cells[i], 4, &data);
        cells[i].payload = reinterpret_cast<uint64_t>(data);
    }
    EXPECT_TRUE(created[0]);
    EXPECT_FALSE(created[1]);
    EXPECT_EQ(cells[1].payload, 0u);
    EXPECT_TRUE(created[2]);
    uint32_t count = 0, capacity = 0;
    std::memcpy(&count, reinterpret_cast<char*>(cells[0].payload) + 40, sizeof count);
    std::memcpy(&capacity, reinterpret_cast<char*>(cells[0].payload) + 32, sizeof capacity);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(capacity, 4u);
    EXPECT_EQ(host.GetCounters().liveArrays, base.liveArrays + 2);
    for (Cell& c : cells) cleanUp(&c);
    EXPECT_EQ(host.GetCounters().liveArrays, base.liveArrays);

    host.SetFaults({.declineHeapAt = 1});
    auto allocate = At<void*(void*, uint64_t, uint32_t, bool)>(0x1AF13D0);
    EXPECT_EQ(allocate(HeapObject(), 16, 0, false), nullptr);
    void* second = allocate(HeapObject(), 16, 0, false);
    EXPECT_NE(second, nullptr);
    At<void(void*, void*, bool)>(0x1AF16E0)(HeapObject(), second, false);
    EXPECT_EQ(host.GetCounters().heapDeclined, base.heapDeclined + 1);
}

TEST(SimHostLifetime, OneHostAtATime) {
    Host first;
    EXPECT_THROW(Host second, std::logic_error);
}

#ifndef _WIN32
TEST(SimHostDeathTest, ReleasingAStringTwiceIsAViolation) {
    EXPECT_DEATH(
        {
            Host host;
            void* entry = FromText("twice");
            void* copy = entry;
            Release(entry);
            Release(copy);
        },
        "host contract violated: string reference .* released");
}
#endif

// ---- the extender and script calls, with the probe plug-in --------------------

class SimProbe : public SimHost {
  protected:
    void SetUp() override {
        LoadReport report = host.LoadPlugin(ProbePath());
        ASSERT_TRUE(report.loaded) << report.error;
        ASSERT_TRUE(host.Register());
        host.SetLoadOrder({"Korvane.esm", "DLCRobot.esm"});
    }
};

TEST_F(SimHost, ExtenderRunsQueryAndLoadWithItsRecords) {
    struct Case {
        LoadOptions options;
        bool accepted;
    };
    const Case cases[] = {
        {{.runtimeVersion = 0x01090040, .pluginHandle = 42}, true},
        {{.runtimeVersion = 0x0109003F, .refuseRegistrationCallback = true}, false},
        {{.nullScriptInterface = true}, false},
    };
    for (const Case& c : cases) {
        LoadReport report = host.LoadPlugin(ProbePath(), c.options);
        ASSERT_TRUE(report.loaded) << report.error;
        EXPECT_TRUE(report.queryReturned);
        EXPECT_EQ(report.descriptionVersion, 1u);
        EXPECT_EQ(report.descriptionName, "SimProbe");
        EXPECT_EQ(report.descriptionVersionNumber, c.options.runtimeVersion)
            << "the probe echoes it";
        EXPECT_TRUE(report.pluginHandleAsked);
        EXPECT_EQ(report.interfacesQueried, std::vector<uint32_t>{3});
        EXPECT_EQ(report.callbackOffered, !c.options.nullScriptInterface);
        EXPECT_EQ(report.callbackAccepted, c.accepted);
        EXPECT_EQ(report.loadReturned, c.accepted);
    }
    LoadReport missing = host.LoadPlugin(ProbePath() + ".missing");
    EXPECT_FALSE(missing.loaded);
    EXPECT_FALSE(missing.error.empty());
}

TEST_F(SimProbe, RegistrationReadsTheFunctionsThroughTheirSlots) {
    ASSERT_EQ(host.Functions().size(), 4u);
    const RegisteredFunction* append = host.FindFunction("SimProbe", "AppendInt");
    ASSERT_NE(append, nullptr);
    EXPECT_EQ(append->paramTypes.size(), 2u);
    EXPECT_EQ(host.FindFunction("SimProbe", "Nothing"), nullptr);
    EXPECT_THROW(host.Call("SimProbe", "Echo", {}), std::invalid_argument);
}

TEST_F(SimProbe, ValuesRoundTripThroughCallsWithoutLeaks) {
    host.DeclareQuillmereStructs();
    Form* base = host.AddForm(0x0100ABCD);
    ObjectReference* ref = host.AddReference(0x0000F00D, "Turret");
    const ScriptValue values[] = {
        ScriptValue::None(),
        ScriptValue::Int(-5),
        ScriptValue::Float(3.99f),
        ScriptValue::Bool(true),
        ScriptValue::String("Sanctuary"),
        ScriptValue::String(""),
        ScriptValue::FormValue(base),
        ScriptValue::FormValue(nullptr),
        ScriptValue::Reference(ref),
        ScriptValue::IntArray({1, 2, 3}),
        ScriptValue::FloatArray({0.5f}),
        ScriptValue::StringArray({"a", "b", "a"}),
        ScriptValue::FormArray({base, nullptr}),
        ScriptValue::ReferenceArray({ref, ref}),
        ScriptValue::NoneArray(ScriptType::StringArray),
        ScriptValue::Struct("Quillmere#MyStruct",
                            {ScriptValue::String("x"), ScriptValue::String("y"),
                             ScriptValue::Int(2017), ScriptValue::Int(42)}),
        ScriptValue::NoneStruct("Quillmere#ExtraProperties"),
    };
    const Counters before = host.GetCounters();
    for (const ScriptValue& v : values) {
        EXPECT_EQ(host.Call("SimProbe", "Echo", {v}), v) << Describe(v);
        EXPECT_EQ(host.LastCall().argumentOffsetQueries, 1u);
        EXPECT_EQ(host.LastCall().argumentIndices, std::vector<uint32_t>{0});
        EXPECT_TRUE(host.LastCall().runResult);
    }
    const Counters after = host.GetCounters();
    EXPECT_EQ(after.liveStringRefs, before.liveStringRefs);
    EXPECT_EQ(after.liveArrays, before.liveArrays);
    EXPECT_EQ(after.liveStructs, before.liveStructs);
    EXPECT_EQ(after.liveIdentifiers, before.liveIdentifiers);
    EXPECT_EQ(after.liveHeapBlocks, before.liveHeapBlocks);
    EXPECT_EQ(after.persistedHandles, 0u);
}

TEST_F(SimProbe, KeptArraysSeeWriteThroughAndGrowth) {
    ScriptArray kept = host.KeepArray(ScriptValue::IntArray({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(host.Storage(kept).capacity, 10u);
    host.Call("SimProbe", "AppendInt", {ScriptValue::Held(kept), ScriptValue::Int(10)});
    const ArrayStorage storage = host.Storage(kept);
    EXPECT_EQ(storage.count, 11u);
    EXPECT_EQ(storage.capacity, 20u);
    const ScriptValue read = host.Read(kept);
    ASSERT_EQ(read.elements.size(), 11u);
    EXPECT_EQ(read.elements[10], ScriptValue::Int(10));
    EXPECT_EQ(read.hostObject, storage.data);
    const Counters before = host.GetCounters();
    host.Drop(kept);
    EXPECT_EQ(host.GetCounters().liveArrays, before.liveArrays - 1);
}

TEST_F(SimProbe, StructsAreMadeByDeclarationAndCanBeDeclined) {
    host.DeclareStruct("Probe#Pair", {ScriptType::Int, ScriptType::String, ScriptType::Int});
    const std::vector<ScriptValue> args = {ScriptValue::String("Probe#Pair"), ScriptValue::Int(7)};
    EXPECT_EQ(host.Call("SimProbe", "MakeStruct", args),
              ScriptValue::Struct("Probe#Pair", {ScriptValue::Int(7), ScriptValue::String(""),
                                                 ScriptValue::Int(9)}));
    host.SetFaults({.declineStructAt = 1});
    EXPECT_EQ(host.Call("SimProbe", "MakeStruct", args), ScriptValue::NoneStruct("Probe#Pair"));
    EXPECT_EQ(host.Call("SimProbe", "MakeStruct",
                        {ScriptValue::String("Probe#Unknown"), ScriptValue::Int(0)}),
              ScriptValue::None());
    EXPECT_EQ(host.GetCounters().typeInfoRefs, 0u);
}

TEST_F(SimProbe, ObjectResultsComeBackThroughIdentifiers) {
    ObjectReference* ref = host.AddReference(0x0100F00D, "Generator");
    const Counters before = host.GetCounters();
    const ScriptValue result = host.Call("SimProbe", "Resolve", {ScriptValue::FormValue(ref)});
    EXPECT_EQ(result, ScriptValue::Reference(ref));
    EXPECT_NE(result.hostObject, 0u);
    const Counters after = host.GetCounters();
    EXPECT_EQ(after.liveIdentifiers, before.liveIdentifiers);
    EXPECT_EQ(after.liveHeapBlocks, before.liveHeapBlocks);
}

TEST(SimHostTeardown, DestroysEveryFunctionThroughSlotZero) {
    uint64_t destroyedBefore = 0, heapBefore = 0, stringsBefore = 0;
    {
        Host host;
        destroyedBefore = host.GetCounters().functionsDestroyed;
        heapBefore = host.GetCounters().liveHeapBlocks;
        stringsBefore = host.GetCounters().liveStringRefs;
        ASSERT_TRUE(host.LoadPlugin(ProbePath()).loaded);
        ASSERT_TRUE(host.Register());
        EXPECT_GT(host.GetCounters().liveHeapBlocks, heapBefore);
    }
    Host after;
    const Counters c = after.GetCounters();
    EXPECT_EQ(c.functionsDestroyed, destroyedBefore + 4);
    EXPECT_EQ(c.liveHeapBlocks, heapBefore);
    EXPECT_EQ(c.liveStringRefs, stringsBefore);
}

}  // namespace
}  // namespace korvane
