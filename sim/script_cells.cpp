// Turning script values into host cells, as a script's variables would hold
// them, and reading cells back into script values. Cells made here own their
// references like any cell; the host's own creations are never declined.
#include <cstring>
#include <stdexcept>
#include <utility>

#include "sim_world.h"

namespace korvane::sim {

namespace {

uint32_t FloatBits(float f) {
    uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

float BitsFloat(uint64_t payload) {
    const auto bits = static_cast<uint32_t>(payload);
    float f = 0;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

TypeInfo* StructTypeOrThrow(const MachineState& machine, const std::string& name) {
    TypeInfo* info = StructTypeInfo(machine, name);
    if (!info) throw std::invalid_argument("no script struct type \"" + name + "\" is declared");
    return info;
}

// An identifier for the form as a script object of the type, with one hold
// for the cell, found or made as the game's machine does.
Identifier* IdentifierFor(Form* form, uint32_t formType) {
    if (FormById(form->FormId()) != form) {
        throw std::invalid_argument("a form argument that is not a form of this host");
    }
    const uint64_t handle = HandleFor(formType, form);
    if (handle == InvalidHandleValue()) {
        throw std::invalid_argument("a form passed as ObjectReference is not a reference");
    }
    TypeInfo* type = ObjectTypeInfo(formType);
    if (Identifier* id = IdentifierFind(handle, TypeName(type))) return id;
    Identifier* id = IdentifierCreate(type, false);
    IdentifierBind(id, handle);
    return id;
}

ScriptType ArrayTypeOfElement(const TypeInfo* element) {
    if (element->kind == abi::typeinfo::kKindStruct) return ScriptType::StructArray;
    return element->formType == 64 ? ScriptType::ObjectReferenceArray : ScriptType::FormArray;
}

}  // namespace

uint64_t TypeWordOf(const MachineState& machine, const ScriptValue& v) {
    switch (v.type) {
        case ScriptType::None:
            return abi::type::kNone;
        case ScriptType::Int:
            return abi::type::kInt;
        case ScriptType::Float:
            return abi::type::kFloat;
        case ScriptType::Bool:
            return abi::type::kBool;
        case ScriptType::String:
            return abi::type::kString;
        case ScriptType::Form:
            return reinterpret_cast<uint64_t>(ObjectTypeInfo(0));
        case ScriptType::ObjectReference:
            return reinterpret_cast<uint64_t>(ObjectTypeInfo(64));
        case ScriptType::Struct:
            return reinterpret_cast<uint64_t>(StructTypeOrThrow(machine, v.s));
        case ScriptType::IntArray:
            return abi::type::kIntArray;
        case ScriptType::FloatArray:
            return abi::type::kFloatArray;
        case ScriptType::StringArray:
            return abi::type::kStringArray;
        case ScriptType::FormArray:
            return reinterpret_cast<uint64_t>(ObjectTypeInfo(0)) | 1;
        case ScriptType::ObjectReferenceArray:
            return reinterpret_cast<uint64_t>(ObjectTypeInfo(64)) | 1;
        case ScriptType::StructArray:
            return reinterpret_cast<uint64_t>(StructTypeOrThrow(machine, v.s)) | 1;
    }
    return abi::type::kNone;
}

Cell MakeCell(const MachineState& machine, const ScriptValue& v, const KeptArrays& kept) {
    if (v.held.id) {
        auto it = kept.find(v.held.id);
        if (it == kept.end()) throw std::invalid_argument("a kept array that was dropped");
        ArrayRetain(it->second.second);
        return {it->second.first, reinterpret_cast<uint64_t>(it->second.second)};
    }
    const uint64_t word = TypeWordOf(machine, v);
    switch (v.type) {
        case ScriptType::None:
            return {abi::type::kNone, 0};
        case ScriptType::Int:
            return {word, static_cast<uint32_t>(v.i)};
        case ScriptType::Float:
            return {word, FloatBits(v.f)};
        case ScriptType::Bool:
            return {word, v.i ? 1u : 0u};
        case ScriptType::String:
            return {word, reinterpret_cast<uint64_t>(StringAcquire(v.s))};
        case ScriptType::Form:
        case ScriptType::ObjectReference: {
            if (v.isNone || !v.form) return {word, 0};
            const uint32_t formType = v.type == ScriptType::Form ? 0 : 64;
            return {word, reinterpret_cast<uint64_t>(IdentifierFor(v.form, formType))};
        }
        case ScriptType::Struct: {
            if (v.isNone) return {word, 0};
            auto* type = reinterpret_cast<TypeInfo*>(word);
            if (v.elements.size() != type->memberCount) {
                throw std::invalid_argument("struct \"" + v.s + "\" takes " +
                                            std::to_string(type->memberCount) + " members");
            }
            StructData* data = StructCreate(type);
            try {
                for (uint32_t i = 0; i < type->memberCount; ++i) {
                    data->Members()[i] = MakeCell(machine, v.elements[i], kept);
                }
            } catch (...) {
                StructRelease(data);
                throw;
            }
            return {word, reinterpret_cast<uint64_t>(data)};
        }
        default:
            break;
    }
    // Arrays.
    if (v.isNone) return {word, 0};
    ArrayData* data = ArrayCreate(word, static_cast<uint32_t>(v.elements.size()));
    try {
        for (uint32_t i = 0; i < data->count; ++i) {
            data->cells[i] = MakeCell(machine, v.elements[i], kept);
        }
    } catch (...) {
        ArrayRelease(data);
        throw;
    }
    return {word, reinterpret_cast<uint64_t>(data)};
}

ScriptValue ReadCell(const Cell& cell) {
    ScriptValue v;
    v.rawTypeWord = cell.type;
    v.isNone = false;
    const uint64_t word = cell.type;
    // Moves the elements out rather than copying them: a large array read
    // back would otherwise be copied whole once more.
    auto readArray = [&](ScriptType type) -> ScriptValue {
        v.type = type;
        v.isNone = cell.payload == 0;
        if (v.isNone) return std::move(v);
        auto* data = reinterpret_cast<ArrayData*>(cell.payload);
        CheckArray(data, "reading an array");
        v.hostObject = cell.payload;
        v.elements.reserve(data->count);
        for (uint32_t i = 0; i < data->count; ++i) v.elements.push_back(ReadCell(data->cells[i]));
        return std::move(v);
    };
    switch (word) {
        case abi::type::kNone:
            return ScriptValue::None();
        case abi::type::kString:
            v.type = ScriptType::String;
            v.s = StringText(reinterpret_cast<const StringEntry*>(cell.payload));
            v.hostObject = cell.payload;
            return v;
        case abi::type::kInt:
            v.type = ScriptType::Int;
            v.i = static_cast<int32_t>(static_cast<uint32_t>(cell.payload));
            return v;
        case abi::type::kFloat:
            v.type = ScriptType::Float;
            v.f = BitsFloat(cell.payload);
            return v;
        case abi::type::kBool:
            v.type = ScriptType::Bool;
            v.i = (cell.payload & 0xFF) ? 1 : 0;
            return v;
        case abi::type::kStringArray:
            return readArray(ScriptType::StringArray);
        case abi::type::kIntArray:
            return readArray(ScriptType::IntArray);
        case abi::type::kFloatArray:
            return readArray(ScriptType::FloatArray);
        default:
            break;
    }
    if (word <= abi::type::kLastSimple) {
        throw std::runtime_error("a cell of simple type " + std::to_string(word) +
                                 ", which scripts of this host do not use");
    }
    TypeInfo* info = TypeInfoOfWord(word, "reading a value");
    if (word & 1) {
        v.s = info->kind == abi::typeinfo::kKindStruct ? TypeName(info) : std::string();
        return readArray(ArrayTypeOfElement(info));
    }
    if (info->kind == abi::typeinfo::kKindStruct) {
        v.type = ScriptType::Struct;
        v.s = TypeName(info);
        v.isNone = cell.payload == 0;
        if (v.isNone) return v;
        auto* data = reinterpret_cast<StructData*>(cell.payload);
        CheckStruct(data, "reading a struct");
        v.hostObject = cell.payload;
        v.elements.reserve(data->memberCount);
        for (uint32_t i = 0; i < data->memberCount; ++i)
            v.elements.push_back(ReadCell(data->Members()[i]));
        return v;
    }
    v.type = info->formType == 64 ? ScriptType::ObjectReference : ScriptType::Form;
    v.isNone = cell.payload == 0;
    if (v.isNone) return v;
    auto* id = reinterpret_cast<Identifier*>(cell.payload);
    CheckIdentifier(id, "reading an object value");
    v.hostObject = cell.payload;
    v.form = ObjectOfHandle(0, id->handle);
    return v;
}

}  // namespace korvane::sim
