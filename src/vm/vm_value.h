// The host's 16-byte value cell, through which every script argument and
// result passes. The host owns the meaning of the payload; the library keeps
// references right only through the host's clean-up and assignment.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vm/host_interface.h"

namespace quillmere {

// Simple type codes of a cell's type word. A word above LastSimpleType is a
// type-information pointer; bit 0 set marks an array of that type.
enum TypeCode : uint64_t {
    kTypeNone = 0,
    kTypeString = 2,
    kTypeInt = 3,
    kTypeFloat = 4,
    kTypeBool = 5,
    kTypeStringArray = 12,
    kTypeIntArray = 13,
    kTypeFloatArray = 14,
};
inline constexpr uint64_t kLastSimpleType = 17;
inline constexpr uint64_t kArrayOfTypeBit = 1;

struct VMValue {
    uint64_t type = kTypeNone;
    uint64_t payload = 0;

    VMValue() = default;
    VMValue(const VMValue& other) { host::ValueAssign(this, &other); }
    // Moving hands the payload's reference over without asking the host.
    VMValue(VMValue&& other) noexcept : type(other.type), payload(other.payload) {
        other.type = kTypeNone;
        other.payload = 0;
    }
    VMValue& operator=(VMValue&& other) noexcept {
        if (this != &other) {
            host::ValueCleanUp(this);
            type = other.type;
            payload = other.payload;
            other.type = kTypeNone;
            other.payload = 0;
        }
        return *this;
    }
    VMValue& operator=(const VMValue& other) {
        if (this != &other) host::ValueAssign(this, &other);
        return *this;
    }
    ~VMValue() { host::ValueCleanUp(this); }

    // Releases what the payload names and makes the cell a plain None.
    void SetNone() {
        host::ValueCleanUp(this);
        type = kTypeNone;
        payload = 0;
    }

    bool IsTypeInfoWord() const { return type > kLastSimpleType; }
    TypeInfo* TypeInfoOf() const { return reinterpret_cast<TypeInfo*>(type & ~kArrayOfTypeBit); }
    int32_t AsInt() const { return static_cast<int32_t>(static_cast<uint32_t>(payload)); }
    float AsFloat() const { return host::Read<float>(&payload, 0); }
    bool AsBool() const { return (payload & 0xFF) != 0; }
};
static_assert(sizeof(VMValue) == 16, "a host value cell is 16 bytes");
static_assert(offsetof(VMValue, type) == 0 && offsetof(VMValue, payload) == 8);

}  // namespace quillmere
