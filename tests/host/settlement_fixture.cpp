#include "settlement_fixture.h"

namespace quillmere_test {

using korvane::ScriptType;

void SettlementTest::SetUp() {
    PluginTest::SetUp();
    host.SetLoadOrder({"Korvane.esm", "DLCRobot.esm", "DLCworkshop02.esm", "DLCCoast.esm",
                       "DLCBrightvale.esm", "DLCworkshop01.esm"});
    player = host.AddReference(0x14, "Settler");
    worldspace = host.AddForm(0x1A2B);
    location = host.AddLocation(0x1F000, "Sanctuary Hills");
    workshop = host.AddReference(0x249E3, std::nullopt);
    chair = host.AddForm(0x1A2B3);
    generator = host.AddForm(0x05000ABC);
    chairRef = host.AddReference(0xFF000801, "Chair");
}

void SettlementTest::TearDown() {
    Reset();
    PluginTest::TearDown();
}

void SettlementTest::Reset() {
    Call("Init", {ScriptValue::Reference(nullptr), ScriptValue::Float(1), ScriptValue::Int(0)});
}

void SettlementTest::PrepareExport(korvane::ObjectReference* who) {
    const auto floats = [](std::vector<float> v) { return ScriptValue::FloatArray(std::move(v)); };
    const auto ints = [](std::vector<int32_t> v) { return ScriptValue::IntArray(std::move(v)); };
    Call("Init",
         {ScriptValue::Reference(who ? who : player), ScriptValue::Float(1), ScriptValue::Int(1)});
    Call("SaveHeader", {ScriptValue::Int(2), ScriptValue::FormValue(worldspace),
                        ScriptValue::FormValue(location)});
    Call("SaveWorkshopData", {ScriptValue::Reference(workshop), ScriptValue::FormValue(chair),
                              ScriptValue::Float(1), ScriptValue::Float(2), ScriptValue::Float(3),
                              ScriptValue::Float(4), ScriptValue::Float(5), ScriptValue::Float(6)});
    Call("Save128Items",
         {ScriptValue::FormArray({chair, generator}),
          ScriptValue::ReferenceArray({chairRef, nullptr}), floats({1.5f, -2.5f}), floats({3, 4}),
          floats({5, 6}), floats({0, 0}), floats({0, 0}), floats({90, 270})});
    Call("Save128ExtraProps", {ints({1, 0}), ints({0, 1}), ints({1, 1}), ints({0, 0}), ints({0, 0}),
                               ints({0, 0}), ints({0, 7})});
}

bool SettlementTest::Store(const std::string& slotFolder) {
    const ScriptValue result = Call("StoreDataToBlueprint", {ScriptValue::String(slotFolder)});
    EXPECT_EQ(result.type, ScriptType::Bool);
    return result.i != 0;
}

}  // namespace quillmere_test
