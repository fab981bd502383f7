// Scripts on several threads calling natives at once: one exporting
// settlements, one reading a blueprint that never changes, one reading the
// blueprint the exporter keeps replacing, one working with arrays. Run under
// ThreadSanitizer by the linux-tsan preset; on every build it checks that no
// result is torn and that every log line is whole.
#include <atomic>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <thread>

#include "settlement_fixture.h"

namespace quillmere_test {
namespace {

constexpr int kIterations = 25;
constexpr char kBlueprints[] = "Data/Plexor/Plugins/Quillmere/blueprints/";

ScriptValue Floats(std::vector<float> v) {
    return ScriptValue::FloatArray(std::move(v));
}
ScriptValue Ints(std::vector<int32_t> v) {
    return ScriptValue::IntArray(std::move(v));
}

// A log line with the parts that change from run to run (the export date,
// the file name made from it, what slot 1 holds at the moment) blanked out.
std::string Normalised(const std::string& line) {
    static const std::regex date("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}");
    static const std::regex slotOne("^(PapyrusQuillmere::LoadBlueprintList #0 blueprint_file:).*");
    return std::regex_replace(std::regex_replace(line, date, "<date>"), slotOne, "$1<any>");
}

class ConcurrentNativesTest : public SettlementTest {
  protected:
    bool Export(const std::string& slot) {
        PrepareExport();
        return Store(kBlueprints + slot);
    }

    std::string BlueprintIn(const std::string& slot) {
        for (const auto& entry : fs::directory_iterator(kBlueprints + slot)) {
            return entry.path().generic_string();
        }
        return {};
    }

    std::vector<ScriptValue> ReadAll(const std::string& path) {
        std::vector<ScriptValue> results;
        for (const char* reader : {"GetBlueprintHeader", "GetPluginsRequired", "GetWorkshopData",
                                   "GetItemsFromBlueprint", "GetExtraPropsFromBlueprint"}) {
            results.push_back(Call(reader, {ScriptValue::String(path)}));
        }
        return results;
    }
};

TEST_F(ConcurrentNativesTest, ExportsReadsAndArraysOnFourThreads) {
    // What every step gives and logs when it runs alone.
    const LogWatch aloneLog;
    ASSERT_TRUE(Export("2"));
    const std::string stable = BlueprintIn("2");
    const std::vector<ScriptValue> expected = ReadAll(stable);
    for (const ScriptValue& result : expected) ASSERT_FALSE(result.isNone);
    const ScriptValue list = Call("LoadBlueprintList", {ScriptValue::String("")});
    ASSERT_TRUE(Export("1"));
    ASSERT_TRUE(ReadAll(BlueprintIn("1")) == expected);
    std::set<std::string> knownLines;
    for (const std::string& line : aloneLog.Lines()) knownLines.insert(Normalised(line));

    const LogWatch log;
    std::atomic<int> failedStores{0}, badResults{0}, slotOneReads{0};
    std::vector<std::function<void()>> work;
    work.emplace_back([&] {
        for (int i = 0; i < kIterations; ++i) {
            if (!Export("1")) ++failedStores;
        }
    });
    work.emplace_back([&] {
        for (int i = 0; i < kIterations; ++i) {
            if (!(ReadAll(stable) == expected)) ++badResults;
            const ScriptValue now = Call("LoadBlueprintList", {ScriptValue::String("")});
            for (std::size_t slot = 1; slot < 10; ++slot) {
                if (!(now.elements.at(slot) == list.elements.at(slot))) ++badResults;
            }
        }
    });
    work.emplace_back([&] {
        // The blueprint in slot 1 is replaced all the time: each reading is
        // the whole blueprint or None, never a part of one.
        for (int i = 0; i < kIterations; ++i) {
            const std::string path =
                std::string(kBlueprints) + "1/" +
                Call("LoadBlueprintList", {ScriptValue::String("")}).elements.at(0).s;
            const ScriptValue items = Call("GetItemsFromBlueprint", {ScriptValue::String(path)});
            if (items.isNone) continue;
            ++slotOneReads;
            if (!(items == expected[3])) ++badResults;
        }
    });
    work.emplace_back([&] {
        for (int i = 0; i < 4 * kIterations; ++i) {
            const ScriptValue ints = Call("IntArrayPush", {Ints({1, 2}), ScriptValue::Int(i)});
            const ScriptValue texts =
                Call("StringArrayMerge", {ScriptValue::StringArray({"a", "b"}),
                                          ScriptValue::StringArray({std::to_string(i)})});
            const ScriptValue forms =
                Call("FormArraySet", {ScriptValue::FormArray({chair, chair}),
                                      ScriptValue::FormValue(generator), ScriptValue::Int(1)});
            const ScriptValue fresh = Call("NewFloatArray", {ScriptValue::Int(3)});
            if (!(ints == Ints({1, 2, i})) ||
                !(texts == ScriptValue::StringArray({"a", "b", std::to_string(i)})) ||
                !(forms == ScriptValue::FormArray({chair, generator})) ||
                !(fresh == Floats({0, 0, 0}))) {
                ++badResults;
            }
        }
    });
    // Started from a list of the work rather than by emplacing threads: g++ 12
    // warns falsely inside vector<thread>'s reallocation.
    std::vector<std::thread> threads(work.size());
    for (std::size_t i = 0; i < work.size(); ++i) threads[i] = std::thread(work[i]);
    for (std::thread& t : threads) t.join();

    EXPECT_EQ(badResults.load(), 0);
#if defined(_WIN32)
    // A reader holding the old blueprint open makes Windows refuse to delete
    // or replace it, and that store reports failure; a later one succeeds.
    EXPECT_LT(failedStores.load(), kIterations);
#else
    EXPECT_EQ(failedStores.load(), 0);
#endif
    // Once the scripts are done, a store works and leaves one blueprint.
    ASSERT_TRUE(Export("1"));
    std::size_t inSlotOne = 0;
    for ([[maybe_unused]] const auto& entry :
         fs::directory_iterator(std::string(kBlueprints) + "1")) {
        ++inSlotOne;
    }
    EXPECT_EQ(inSlotOne, 1u);

    // Every line is one that a step alone writes, whole.
    std::map<std::string, int> perNative;
    const std::vector<std::string> lines = log.Lines();
    for (const std::string& line : lines) {
        const std::string shape = Normalised(line);
        if (shape.rfind("cannot find file: ", 0) == 0 || shape.rfind("failed to ", 0) == 0) {
            continue;  // slot 1 between clearing and the move, or held open (Windows)
        }
        EXPECT_TRUE(knownLines.count(shape)) << line;
        const std::size_t space = shape.find_first_of(" ");
        ++perNative[shape.substr(0, space)];
    }
    EXPECT_EQ(perNative["PapyrusQuillmere::Init"], kIterations + 1);
    EXPECT_EQ(perNative["PapyrusQuillmere::Save128Items"], 2 * (kIterations + 1));
    EXPECT_EQ(perNative["PapyrusQuillmere::StoreDataToBlueprint"], 6 * (kIterations + 1));
    EXPECT_EQ(perNative["PapyrusQuillmere::GetBlueprintHeader"], kIterations);
    EXPECT_EQ(perNative["PapyrusQuillmere::LoadBlueprintList"], 10 * 2 * kIterations);
    EXPECT_EQ(perNative["PapyrusQuillmere::GetItemsFromBlueprint"],
              2 * (kIterations + slotOneReads.load()));
}

}  // namespace
}  // namespace quillmere_test
