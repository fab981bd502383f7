// The twenty array natives through the simulated host: every case runs for
// each of the five element types, including the write-through of Set and
// Merge to the script's own array.
#include <climits>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "import_test_support.h"

namespace quillmere_test {
namespace {

enum class Kind { Int, Float, String, Form, ObjectReference };

// One element type as scripts see it: four sample values v0..v3, the value
// its New native fills in, and how to make an argument array of elements.
struct Family {
    std::string word;
    ScriptType arrayType;
    std::vector<ScriptValue> v;
    ScriptValue fill;
    std::function<ScriptValue(const std::vector<ScriptValue>&)> array;
};

Family MakeFamily(Kind kind, korvane::Host& host) {
    switch (kind) {
        case Kind::Int:
            return {"Int",
                    ScriptType::IntArray,
                    {ScriptValue::Int(1), ScriptValue::Int(2), ScriptValue::Int(-3),
                     ScriptValue::Int(9)},
                    ScriptValue::Int(0),
                    [](const std::vector<ScriptValue>& e) {
                        std::vector<int32_t> values;
                        for (const ScriptValue& x : e) values.push_back(x.i);
                        return ScriptValue::IntArray(values);
                    }};
        case Kind::Float:
            return {"Float",
                    ScriptType::FloatArray,
                    {ScriptValue::Float(1.5f), ScriptValue::Float(-2.25f), ScriptValue::Float(3e9f),
                     ScriptValue::Float(0.1f)},
                    ScriptValue::Float(0.0f),
                    [](const std::vector<ScriptValue>& e) {
                        std::vector<float> values;
                        for (const ScriptValue& x : e) values.push_back(x.f);
                        return ScriptValue::FloatArray(values);
                    }};
        case Kind::String:
            return {"String",
                    ScriptType::StringArray,
                    {ScriptValue::String("a"), ScriptValue::String("Bb"),
                     ScriptValue::String("c c"), ScriptValue::String("nine")},
                    ScriptValue::String(""),
                    [](const std::vector<ScriptValue>& e) {
                        std::vector<std::string> values;
                        for (const ScriptValue& x : e) values.push_back(x.s);
                        return ScriptValue::StringArray(values);
                    }};
        case Kind::Form: {
            std::vector<ScriptValue> v;
            for (uint32_t id : {0x1001u, 0x1002u, 0x1003u, 0x1009u}) {
                v.push_back(ScriptValue::FormValue(host.AddForm(id)));
            }
            return {"Form", ScriptType::FormArray, v, ScriptValue::FormValue(nullptr),
                    [](const std::vector<ScriptValue>& e) {
                        std::vector<korvane::Form*> values;
                        for (const ScriptValue& x : e) values.push_back(x.form);
                        return ScriptValue::FormArray(values);
                    }};
        }
        case Kind::ObjectReference: {
            std::vector<ScriptValue> v;
            for (uint32_t id : {0x2001u, 0x2002u, 0x2003u, 0x2009u}) {
                v.push_back(ScriptValue::Reference(host.AddReference(id, "Thing")));
            }
            return {"ObjectReference", ScriptType::ObjectReferenceArray, v,
                    ScriptValue::Reference(nullptr), [](const std::vector<ScriptValue>& e) {
                        std::vector<korvane::ObjectReference*> values;
                        for (const ScriptValue& x : e) {
                            values.push_back(static_cast<korvane::ObjectReference*>(x.form));
                        }
                        return ScriptValue::ReferenceArray(values);
                    }};
        }
    }
    return {};
}

// An element as comparable text: its value, or "None" for a None object.
// (Built by appending: g++ 12 warns falsely on "literal" + std::string.)
std::string Key(const ScriptValue& x) {
    std::string key;
    switch (x.type) {
        case ScriptType::Int:
            return key.append("i").append(std::to_string(x.i));
        case ScriptType::Float:
            return key.append("f").append(std::to_string(x.f));
        case ScriptType::String:
            return key.append("s").append(x.s);
        case ScriptType::Form:
        case ScriptType::ObjectReference: {
            if (x.isNone || x.form == nullptr) return "None";
            char id[16];
            std::snprintf(id, sizeof id, "%08X", static_cast<unsigned>(x.form->FormId()));
            return key.append("form").append(id);
        }
        default:
            return "None";
    }
}

// An array's elements as keys; a None array is {"None array"}.
std::vector<std::string> Keys(const ScriptValue& array) {
    if (array.isNone) return {"None array"};
    std::vector<std::string> keys;
    for (const ScriptValue& e : array.elements) keys.push_back(Key(e));
    return keys;
}
// The keys an array of these elements has; no elements is a None array.
std::vector<std::string> Expected(const std::vector<ScriptValue>& elements) {
    if (elements.empty()) return {"None array"};
    std::vector<std::string> keys;
    for (const ScriptValue& e : elements) keys.push_back(Key(e));
    return keys;
}

class ArrayNativesTest : public ImportTest, public testing::WithParamInterface<Kind> {
  protected:
    void SetUp() override {
        ImportTest::SetUp();
        if (HasFatalFailure()) return;
        f_ = MakeFamily(GetParam(), host);
    }

    ScriptValue New(int32_t count) {
        return Checked(Call("New" + f_.word + "Array", {ScriptValue::Int(count)}));
    }
    ScriptValue Push(const ScriptValue& array, const ScriptValue& value) {
        return Checked(Call(f_.word + "ArrayPush", {array, value}));
    }
    ScriptValue Set(const ScriptValue& array, const ScriptValue& value, int32_t index) {
        return Checked(Call(f_.word + "ArraySet", {array, value, ScriptValue::Int(index)}));
    }
    ScriptValue Merge(const ScriptValue& first, const ScriptValue& second) {
        return Checked(Call(f_.word + "ArrayMerge", {first, second}));
    }

    // A script variable holding an array of these elements, for natives that
    // write through to it.
    korvane::ScriptArray Keep(const std::vector<ScriptValue>& elements) {
        return host.KeepArray(f_.array(elements));
    }
    ScriptValue None() { return ScriptValue::NoneArray(f_.arrayType); }

    // Every result is an array of the family's type, None or not.
    ScriptValue Checked(const ScriptValue& result) {
        EXPECT_EQ(result.type, f_.arrayType) << korvane::Describe(result);
        return result;
    }

    Family f_;
};

TEST_P(ArrayNativesTest, NewFillsTheEmptyValue) {
    EXPECT_EQ(Keys(New(3)), Expected({f_.fill, f_.fill, f_.fill}));
    EXPECT_EQ(Keys(New(1)), Expected({f_.fill}));
    // 0, and counts a script can only mean as negative numbers (2^31 and
    // more): None, without trying to make billions of elements.
    for (int32_t count : {0, -1, INT_MIN}) {
        SCOPED_TRACE(count);
        EXPECT_TRUE(New(count).isNone);
    }
}

TEST_P(ArrayNativesTest, PushMakesANewArrayAndLeavesTheArgument) {
    const auto& v = f_.v;
    EXPECT_EQ(Keys(Push(None(), v[0])), Expected({v[0]}));

    const korvane::ScriptArray held = Keep({v[0], v[1]});
    EXPECT_EQ(Keys(Push(ScriptValue::Held(held), v[2])), Expected({v[0], v[1], v[2]}));
    EXPECT_EQ(Keys(host.Read(held)), Expected({v[0], v[1]}));

    // Nothing caps the length.
    std::vector<ScriptValue> many;
    for (int i = 0; i < 200; ++i) many.push_back(v[i % 4]);
    const ScriptValue longer = Push(f_.array(many), v[3]);
    ASSERT_EQ(longer.elements.size(), 201u);
    EXPECT_EQ(Key(longer.elements[200]), Key(v[3]));
}

TEST_P(ArrayNativesTest, SetWritesThroughToTheScriptsArray) {
    const auto& v = f_.v;
    const korvane::ScriptArray held = Keep({v[0], v[1], v[2]});
    EXPECT_EQ(Keys(Set(ScriptValue::Held(held), v[3], 1)), Expected({v[0], v[3], v[2]}));
    EXPECT_EQ(Keys(host.Read(held)), Expected({v[0], v[3], v[2]}));
}

// An index at or beyond the length (a negative Int included) writes nothing
// anywhere: the array comes back as it was.
TEST_P(ArrayNativesTest, SetOutsideTheArrayChangesNothing) {
    const auto& v = f_.v;
    const korvane::ScriptArray held = Keep({v[0], v[1], v[2]});
    const korvane::ArrayStorage storage = host.Storage(held);
    for (int32_t index : {3, 4, 1000, -1, INT_MIN}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(Keys(Set(ScriptValue::Held(held), v[3], index)), Expected({v[0], v[1], v[2]}));
        EXPECT_EQ(Keys(host.Read(held)), Expected({v[0], v[1], v[2]}));
        EXPECT_EQ(host.Storage(held).count, storage.count);
        EXPECT_EQ(host.Storage(held).capacity, storage.capacity);
    }
    EXPECT_TRUE(Set(None(), v[3], 0).isNone);
}

TEST_P(ArrayNativesTest, MergeAppendsToTheScriptsFirstArray) {
    const auto& v = f_.v;
    const korvane::ScriptArray first = Keep({v[0], v[1]});
    EXPECT_EQ(Keys(Merge(ScriptValue::Held(first), f_.array({v[2]}))),
              Expected({v[0], v[1], v[2]}));
    EXPECT_EQ(Keys(host.Read(first)), Expected({v[0], v[1], v[2]}));

    EXPECT_EQ(Keys(Merge(None(), f_.array({v[2]}))), Expected({v[2]}));

    const korvane::ScriptArray alone = Keep({v[0]});
    EXPECT_EQ(Keys(Merge(ScriptValue::Held(alone), None())), Expected({v[0]}));
    EXPECT_EQ(Keys(host.Read(alone)), Expected({v[0]}));

    EXPECT_TRUE(Merge(None(), None()).isNone);
}

// The script's array grows in place past its storage, by steps of ten cells.
TEST_P(ArrayNativesTest, MergeGrowsTheScriptsArrayPastItsStorage) {
    const auto& v = f_.v;
    std::vector<ScriptValue> ten;
    for (int i = 0; i < 10; ++i) ten.push_back(v[i % 3]);
    const korvane::ScriptArray first = Keep(ten);
    const korvane::ArrayStorage before = host.Storage(first);

    std::vector<ScriptValue> expected = ten;
    std::vector<ScriptValue> added;
    for (uint32_t i = 0; i + ten.size() <= before.capacity; ++i) added.push_back(v[3]);
    expected.insert(expected.end(), added.begin(), added.end());
    EXPECT_EQ(Keys(Merge(ScriptValue::Held(first), f_.array(added))), Expected(expected));
    EXPECT_EQ(Keys(host.Read(first)), Expected(expected));
    EXPECT_EQ(host.Storage(first).count, before.capacity + 1);
    EXPECT_EQ(host.Storage(first).capacity, before.capacity + 10);
}

std::string KindName(const testing::TestParamInfo<Kind>& info) {
    static const char* const names[] = {"Int", "Float", "String", "Form", "ObjectReference"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EveryElementType, ArrayNativesTest,
                         testing::Values(Kind::Int, Kind::Float, Kind::String, Kind::Form,
                                         Kind::ObjectReference),
                         KindName);

}  // namespace
}  // namespace quillmere_test
