// One conversion point per native type: ScriptTraits<T> says which type word
// a T carries, how to read a T out of a value cell and how to write one into a
// cell. Function objects, arrays and structs all go through it. A type without
// a specialisation is a compile error, not a surprise at run time.
#pragma once

#include <cstdint>
#include <type_traits>

#include "vm/bs_fixed_string.h"
#include "vm/host_interface.h"
#include "vm/vm_value.h"

namespace quillmere {

template <typename T>
struct ScriptTraits;  // deliberately undefined

// Objects (forms and references) travel as identifiers; these do the work
// for both pointer types.
TESForm* ReadObject(const VMValue& cell, uint32_t formType);
void WriteObject(VMValue& cell, const TESForm* object, uint32_t formType, VirtualMachine* vm);
// Type information of an object type (form type 0 or 64), or null.
TypeInfo* ObjectTypeInfo(VirtualMachine* vm, uint32_t formType);
// Identifier lock word: raise and lower the hold count (bit 31 = busy).
void RaiseIdentifierLock(Identifier* identifier);
uint32_t LowerIdentifierLock(Identifier* identifier);

template <>
struct ScriptTraits<bool> {
    static uint64_t TypeWord(VirtualMachine*) { return kTypeBool; }
    static void To(VMValue& cell, bool value, VirtualMachine*) {
        cell.SetNone();
        cell.type = kTypeBool;
        cell.payload = value ? 1 : 0;
    }
};

template <>
struct ScriptTraits<uint32_t> {
    static uint64_t TypeWord(VirtualMachine*) { return kTypeInt; }
    static uint64_t ArrayTypeWord(VirtualMachine*) { return kTypeIntArray; }
    static void From(const VMValue& cell, uint32_t& out) {
        switch (cell.type) {
            case kTypeInt:
                out = static_cast<uint32_t>(cell.AsInt());
                break;
            // Truncated toward zero as a 64-bit integer, whose low half is
            // kept: -1.5 gives 4294967295. A float beyond the 64-bit range
            // saturates instead of invoking undefined behaviour.
            case kTypeFloat:
                out = static_cast<uint32_t>(TruncateToInt64(cell.AsFloat()));
                break;
            case kTypeBool:
                out = cell.AsBool() ? 1 : 0;
                break;
            default:
                out = 0;
                break;
        }
    }
    static void To(VMValue& cell, uint32_t value, VirtualMachine*) {
        cell.SetNone();
        cell.type = kTypeInt;
        cell.payload = value;
    }
    static int64_t TruncateToInt64(float f) {
        if (f != f) return 0;
        if (f >= 9.2233720368547758e18f) return INT64_MAX;
        if (f <= -9.2233720368547758e18f) return INT64_MIN;
        return static_cast<int64_t>(f);
    }
};

template <>
struct ScriptTraits<float> {
    static uint64_t TypeWord(VirtualMachine*) { return kTypeFloat; }
    static uint64_t ArrayTypeWord(VirtualMachine*) { return kTypeFloatArray; }
    static void From(const VMValue& cell, float& out) {
        switch (cell.type) {
            case kTypeInt:
                out = static_cast<float>(cell.AsInt());
                break;
            case kTypeFloat:
                out = cell.AsFloat();
                break;
            case kTypeBool:
                out = cell.AsBool() ? 1.0f : 0.0f;
                break;
            default:
                out = 0.0f;
                break;
        }
    }
    static void To(VMValue& cell, float value, VirtualMachine*) {
        cell.SetNone();
        cell.type = kTypeFloat;
        cell.payload = 0;
        host::Write<float>(&cell.payload, 0, value);
    }
};

template <>
struct ScriptTraits<BSFixedString> {
    static uint64_t TypeWord(VirtualMachine*) { return kTypeString; }
    static uint64_t ArrayTypeWord(VirtualMachine*) { return kTypeStringArray; }
    static void From(const VMValue& cell, BSFixedString& out) {
        const auto* entry = cell.type == kTypeString
                                ? reinterpret_cast<const StringCacheEntry*>(cell.payload)
                                : nullptr;
        out = BSFixedString(host::StringText(entry));
    }
    static void To(VMValue& cell, const BSFixedString& value, VirtualMachine*) {
        cell.SetNone();
        cell.type = kTypeString;
        StringCacheEntry* entry = nullptr;
        host::StringFromText(&entry, value.c_str());
        cell.payload = reinterpret_cast<uint64_t>(entry);
    }
};

template <>
struct ScriptTraits<TESForm*> {
    static constexpr uint32_t kFormType = host::FormTypeForm;
    static uint64_t TypeWord(VirtualMachine* vm) {
        return reinterpret_cast<uint64_t>(ObjectTypeInfo(vm, kFormType));
    }
    static uint64_t ArrayTypeWord(VirtualMachine* vm) {
        const uint64_t word = TypeWord(vm);
        return word == 0 ? 0 : (word | kArrayOfTypeBit);
    }
    static void From(const VMValue& cell, TESForm*& out) { out = ReadObject(cell, kFormType); }
    static void To(VMValue& cell, TESForm* value, VirtualMachine* vm) {
        WriteObject(cell, value, kFormType, vm);
    }
};

template <>
struct ScriptTraits<TESObjectREFR*> {
    static constexpr uint32_t kFormType = host::FormTypeReference;
    static uint64_t TypeWord(VirtualMachine* vm) {
        return reinterpret_cast<uint64_t>(ObjectTypeInfo(vm, kFormType));
    }
    static uint64_t ArrayTypeWord(VirtualMachine* vm) {
        const uint64_t word = TypeWord(vm);
        return word == 0 ? 0 : (word | kArrayOfTypeBit);
    }
    static void From(const VMValue& cell, TESObjectREFR*& out) {
        out = static_cast<TESObjectREFR*>(ReadObject(cell, kFormType));
    }
    static void To(VMValue& cell, TESObjectREFR* value, VirtualMachine* vm) {
        WriteObject(cell, value, kFormType, vm);
    }
};

template <typename T>
void FromScriptValue(const VMValue* cell, T& out) {
    ScriptTraits<T>::From(*cell, out);
}

template <typename T>
void ToScriptValue(VMValue* cell, T&& value, VirtualMachine* vm) {
    ScriptTraits<std::remove_cvref_t<T>>::To(*cell, value, vm);
}

}  // namespace quillmere
