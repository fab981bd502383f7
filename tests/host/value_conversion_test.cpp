// How script values become native values and back, seen through natives that
// take one argument of each native type and hand it back in an array.
#include <cmath>

#include "plugin_fixture.h"

namespace quillmere_test {
namespace {

using korvane::ScriptType;

using ValueConversionTest = PluginTest;

// The single element of a one-element array result.
ScriptValue Only(const ScriptValue& array) {
    EXPECT_EQ(array.elements.size(), 1u) << Describe(array);
    return array.elements.empty() ? ScriptValue::None() : array.elements[0];
}

TEST_F(ValueConversionTest, ScalarConversionTable) {
    struct Case {
        const char* native;  // pushes its second argument onto a None array
        ScriptValue given;
        ScriptValue expected;
    };
    const ScriptValue none = ScriptValue::None();
    const Case cases[] = {
        // Int from Float: truncated toward zero, the low 32 bits kept.
        {"IntArrayPush", ScriptValue::Float(3.99f), ScriptValue::Int(3)},
        {"IntArrayPush", ScriptValue::Float(-2.0f), ScriptValue::Int(-2)},  // 4294967294
        {"IntArrayPush", ScriptValue::Float(-1.5f), ScriptValue::Int(-1)},  // 4294967295
        {"IntArrayPush", ScriptValue::Float(1e30f), ScriptValue::Int(-1)},  // saturated, low half
        {"IntArrayPush", ScriptValue::Float(NAN), ScriptValue::Int(0)},
        {"IntArrayPush", ScriptValue::Bool(true), ScriptValue::Int(1)},
        {"IntArrayPush", ScriptValue::String("12"), ScriptValue::Int(0)},
        {"IntArrayPush", none, ScriptValue::Int(0)},
        {"FloatArrayPush", ScriptValue::Int(-7), ScriptValue::Float(-7.0f)},
        {"FloatArrayPush", ScriptValue::Bool(true), ScriptValue::Float(1.0f)},
        {"FloatArrayPush", ScriptValue::String("1.5"), ScriptValue::Float(0.0f)},
        {"StringArrayPush", none, ScriptValue::String("")},
        {"StringArrayPush", ScriptValue::Int(5), ScriptValue::String("")},
        {"StringArrayPush", ScriptValue::String("\xC9l\xFF"), ScriptValue::String("\xC9l\xFF")},
    };
    for (const Case& c : cases) {
        const ScriptValue result = Call(c.native, {none, c.given});
        EXPECT_EQ(Only(result), c.expected) << c.native << " " << Describe(c.given);
    }
}

TEST_F(ValueConversionTest, ArraysOfAnotherElementTypeReadAsNone) {
    // An Int array where a Float array is expected is not converted.
    const ScriptValue pushed =
        Call("FloatArrayPush", {ScriptValue::IntArray({1, 2}), ScriptValue::Float(5.0f)});
    EXPECT_EQ(pushed, ScriptValue::FloatArray({5.0f}));
    // A Form array is not an ObjectReference array, though one is a kind of the other.
    korvane::ObjectReference* ref = host.AddReference(0x00000801, "Chair");
    const ScriptValue refs = Call("ObjectReferenceArrayPush",
                                  {ScriptValue::FormArray({ref}), ScriptValue::Reference(ref)});
    EXPECT_EQ(refs.elements.size(), 1u);
}

TEST_F(ValueConversionTest, ObjectsTravelAsIdentifiers) {
    host.SetLoadOrder({"Korvane.esm"});
    korvane::Form* form = host.AddForm(0x0001A2B3);
    korvane::ObjectReference* ref = host.AddReference(0x00000802, "Chair");

    // A form comes back as the same form, through a fresh identifier.
    EXPECT_EQ(Only(Call("FormArrayPush", {ScriptValue::None(), ScriptValue::FormValue(form)})).form,
              form);
    // A reference is a form too; a form that is no reference is not a reference.
    EXPECT_EQ(Only(Call("FormArrayPush", {ScriptValue::None(), ScriptValue::Reference(ref)})).form,
              ref);
    const ScriptValue notARef =
        Only(Call("ObjectReferenceArrayPush", {ScriptValue::None(), ScriptValue::FormValue(form)}));
    EXPECT_TRUE(notARef.isNone);
    // A null object is written as a plain None, not as an object-typed None.
    const ScriptValue fresh = Call("NewObjectReferenceArray", {ScriptValue::Int(2)});
    ASSERT_EQ(fresh.elements.size(), 2u);
    EXPECT_EQ(fresh.elements[0].type, ScriptType::None);
    EXPECT_EQ(fresh.elements[0].rawTypeWord, 0u);

    // Every hold the library took on an identifier is given back.
    const korvane::Counters counters = host.GetCounters();
    EXPECT_EQ(counters.persistedHandles, 0u);
}

TEST_F(ValueConversionTest, EmptyResultsReachScriptsAsNoneOfTheirType) {
    for (const char* native : {"NewIntArray", "NewFloatArray", "NewStringArray", "NewFormArray",
                               "NewObjectReferenceArray"}) {
        const ScriptValue result = Call(native, {ScriptValue::Int(0)});
        EXPECT_TRUE(result.isNone) << native;
        EXPECT_TRUE(result.IsArray()) << native << " gives a None array, not a plain None";
    }
}

}  // namespace
}  // namespace quillmere_test
