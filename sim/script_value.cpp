// Script values as tests write and read them.
#include <cstdio>
#include <cstring>
#include <ostream>

#include "korvane_sim.h"

namespace korvane {

namespace {

ScriptValue Of(ScriptType type, bool isNone) {
    ScriptValue v;
    v.type = type;
    v.isNone = isNone;
    return v;
}

template <class T, class Make>
ScriptValue ArrayOf(ScriptType type, const std::vector<T>& items, Make make) {
    ScriptValue v = Of(type, false);
    for (const T& item : items) v.elements.push_back(make(item));
    return v;
}

const char* TypeLabel(ScriptType type) {
    switch (type) {
        case ScriptType::None:
            return "None";
        case ScriptType::Int:
            return "Int";
        case ScriptType::Float:
            return "Float";
        case ScriptType::Bool:
            return "Bool";
        case ScriptType::String:
            return "String";
        case ScriptType::Form:
            return "Form";
        case ScriptType::ObjectReference:
            return "ObjectReference";
        case ScriptType::Struct:
            return "Struct";
        case ScriptType::IntArray:
            return "Int[]";
        case ScriptType::FloatArray:
            return "Float[]";
        case ScriptType::StringArray:
            return "String[]";
        case ScriptType::FormArray:
            return "Form[]";
        case ScriptType::ObjectReferenceArray:
            return "ObjectReference[]";
        case ScriptType::StructArray:
            return "Struct[]";
    }
    return "?";
}

}  // namespace

ScriptValue ScriptValue::None() {
    return Of(ScriptType::None, true);
}

ScriptValue ScriptValue::Int(int32_t v) {
    ScriptValue s = Of(ScriptType::Int, false);
    s.i = v;
    return s;
}

ScriptValue ScriptValue::Float(float v) {
    ScriptValue s = Of(ScriptType::Float, false);
    s.f = v;
    return s;
}

ScriptValue ScriptValue::Bool(bool v) {
    ScriptValue s = Of(ScriptType::Bool, false);
    s.i = v ? 1 : 0;
    return s;
}

ScriptValue ScriptValue::String(std::string v) {
    ScriptValue s = Of(ScriptType::String, false);
    s.s = std::move(v);
    return s;
}

ScriptValue ScriptValue::FormValue(Form* f) {
    ScriptValue s = Of(ScriptType::Form, f == nullptr);
    s.form = f;
    return s;
}

ScriptValue ScriptValue::Reference(ObjectReference* r) {
    ScriptValue s = Of(ScriptType::ObjectReference, r == nullptr);
    s.form = r;
    return s;
}

ScriptValue ScriptValue::IntArray(std::vector<int32_t> v) {
    return ArrayOf(ScriptType::IntArray, v, [](int32_t x) { return Int(x); });
}

ScriptValue ScriptValue::FloatArray(std::vector<float> v) {
    return ArrayOf(ScriptType::FloatArray, v, [](float x) { return Float(x); });
}

ScriptValue ScriptValue::StringArray(std::vector<std::string> v) {
    return ArrayOf(ScriptType::StringArray, v, [](const std::string& x) { return String(x); });
}

ScriptValue ScriptValue::FormArray(std::vector<Form*> v) {
    return ArrayOf(ScriptType::FormArray, v, [](Form* x) { return FormValue(x); });
}

ScriptValue ScriptValue::ReferenceArray(std::vector<ObjectReference*> v) {
    return ArrayOf(ScriptType::ObjectReferenceArray, v,
                   [](ObjectReference* x) { return Reference(x); });
}

ScriptValue ScriptValue::NoneArray(ScriptType arrayType) {
    return Of(arrayType, true);
}

ScriptValue ScriptValue::Struct(std::string scriptName, std::vector<ScriptValue> members) {
    ScriptValue s = Of(ScriptType::Struct, false);
    s.s = std::move(scriptName);
    s.elements = std::move(members);
    return s;
}

ScriptValue ScriptValue::NoneStruct(std::string scriptName) {
    ScriptValue s = Of(ScriptType::Struct, true);
    s.s = std::move(scriptName);
    return s;
}

ScriptValue ScriptValue::Held(ScriptArray array) {
    ScriptValue s = Of(ScriptType::None, false);
    s.held = array;
    return s;
}

bool ScriptValue::IsArray() const {
    switch (type) {
        case ScriptType::IntArray:
        case ScriptType::FloatArray:
        case ScriptType::StringArray:
        case ScriptType::FormArray:
        case ScriptType::ObjectReferenceArray:
        case ScriptType::StructArray:
            return true;
        default:
            return false;
    }
}

bool operator==(const ScriptValue& a, const ScriptValue& b) {
    // Floats compare by bits, so NaN equals itself and -0 differs from 0.
    return a.type == b.type && a.isNone == b.isNone && a.i == b.i &&
           std::memcmp(&a.f, &b.f, sizeof a.f) == 0 && a.s == b.s && a.form == b.form &&
           a.elements == b.elements;
}

std::string Describe(const ScriptValue& v) {
    std::string out = TypeLabel(v.type);
    if (v.type == ScriptType::Struct || v.type == ScriptType::StructArray) out += " " + v.s;
    if (v.held.id) return "kept array #" + std::to_string(v.held.id);
    if (v.isNone && v.type != ScriptType::None) return out + " None";
    char number[64];
    switch (v.type) {
        case ScriptType::None:
            return out;
        case ScriptType::Int:
            return out + " " + std::to_string(v.i);
        case ScriptType::Bool:
            return out + (v.i ? " true" : " false");
        case ScriptType::Float:
            std::snprintf(number, sizeof number, " %.9g", static_cast<double>(v.f));
            return out + number;
        case ScriptType::String:
            return out + " \"" + v.s + "\"";
        case ScriptType::Form:
        case ScriptType::ObjectReference:
            if (!v.form) return out + " (no form)";
            std::snprintf(number, sizeof number, " %08X", v.form->FormId());
            return out + number;
        default:
            break;
    }
    out += v.type == ScriptType::Struct ? " {" : " [";
    for (std::size_t k = 0; k < v.elements.size(); ++k) {
        out += (k ? ", " : "") + Describe(v.elements[k]);
    }
    return out + (v.type == ScriptType::Struct ? "}" : "]");
}

void PrintTo(const ScriptValue& v, std::ostream* os) {
    *os << Describe(v);
}

}  // namespace korvane
