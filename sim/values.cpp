// Value cells and what they own: strings, arrays, structs and object
// identifiers. A cell owns one reference to its payload; ValueCleanUp gives it
// back and ValueAssign takes a new one, exactly the two operations the
// plug-in relies on. Arrays and structs go away with their last reference.
#include <cstring>
#include <new>

#include "sim_world.h"

namespace korvane::sim {

namespace {

constexpr uint64_t kArrayMagic = 0x4152524159'444154ULL;
constexpr uint64_t kStructMagic = 0x5354525543'544441ULL;

struct ValueState {
    std::mutex mutex;
    std::set<const ArrayData*> arrays;
    std::set<const StructData*> structs;
};

ValueState& State() {
    static auto* state = new ValueState;
    return *state;
}

enum class PayloadKind { Nothing, String, Array, Object, Struct };

PayloadKind KindOf(const Cell& cell, const char* what) {
    const uint64_t word = cell.type;
    if (word == abi::type::kString) return PayloadKind::String;
    if (word >= abi::type::kStringArray && word <= abi::type::kBoolArray) return PayloadKind::Array;
    if (word <= abi::type::kLastSimple) return PayloadKind::Nothing;
    TypeInfo* info = TypeInfoOfWord(word, what);
    if (word & 1) return PayloadKind::Array;
    return info->kind == abi::typeinfo::kKindStruct ? PayloadKind::Struct : PayloadKind::Object;
}

void ValueCleanUp(Cell* cell) {
    if (!cell) Violation("ValueCleanUp with a null cell");
    CellCleanUp(cell);
}

Cell* ValueAssign(Cell* dst, const Cell* src) {
    if (!dst || !src) Violation("ValueAssign with a null cell");
    return CellAssign(dst, src);
}

}  // namespace

void CellRetainPayload(const Cell& cell) {
    if (!cell.payload) return;
    switch (KindOf(cell, "copying a value")) {
        case PayloadKind::Nothing:
            break;
        case PayloadKind::String:
            StringAddRef(reinterpret_cast<StringEntry*>(cell.payload));
            break;
        case PayloadKind::Array:
            ArrayRetain(reinterpret_cast<ArrayData*>(cell.payload));
            break;
        case PayloadKind::Object:
            IdentifierRaise(reinterpret_cast<Identifier*>(cell.payload));
            break;
        case PayloadKind::Struct:
            StructRetain(reinterpret_cast<StructData*>(cell.payload));
            break;
    }
}

void CellCleanUp(Cell* cell) {
    if (!cell->payload) return;
    switch (KindOf(*cell, "cleaning up a value")) {
        case PayloadKind::Nothing:
            break;
        case PayloadKind::String:
            StringReleaseEntry(reinterpret_cast<StringEntry*>(cell->payload));
            break;
        case PayloadKind::Array:
            ArrayRelease(reinterpret_cast<ArrayData*>(cell->payload));
            break;
        case PayloadKind::Object:
            IdentifierLower(reinterpret_cast<Identifier*>(cell->payload));
            break;
        case PayloadKind::Struct:
            StructRelease(reinterpret_cast<StructData*>(cell->payload));
            break;
    }
}

Cell* CellAssign(Cell* dst, const Cell* src) {
    if (dst == src) return dst;
    const Cell copy = *src;
    CellRetainPayload(copy);
    CellCleanUp(dst);
    *dst = copy;
    return dst;
}

uint64_t ElementTypeOf(uint64_t arrayTypeWord) {
    switch (arrayTypeWord) {
        case abi::type::kStringArray:
            return abi::type::kString;
        case abi::type::kIntArray:
            return abi::type::kInt;
        case abi::type::kFloatArray:
            return abi::type::kFloat;
        case abi::type::kBoolArray:
            return abi::type::kBool;
        default:
            break;
    }
    if (arrayTypeWord > abi::type::kLastSimple && (arrayTypeWord & 1) &&
        IsTypeInfo(arrayTypeWord)) {
        return arrayTypeWord & ~uint64_t{1};
    }
    return 0;
}

Cell DefaultCell(uint64_t typeWord) {
    if (typeWord == abi::type::kString || typeWord == abi::type::kInt ||
        typeWord == abi::type::kFloat || typeWord == abi::type::kBool) {
        return {typeWord, 0};
    }
    if (typeWord > abi::type::kLastSimple && IsTypeInfo(typeWord)) return {typeWord, 0};
    return {abi::type::kNone, 0};
}

ArrayData* ArrayCreate(uint64_t arrayTypeWord, uint32_t count) {
    const uint64_t elementType = ElementTypeOf(arrayTypeWord);
    if (!elementType) {
        Violation("creating an array for type word 0x%llx, which is no array type",
                  static_cast<unsigned long long>(arrayTypeWord));
    }
    auto* data = new ArrayData{};
    data->refs = 1;
    data->magic = kArrayMagic;
    data->elementType = elementType;
    if (count) {
        data->cells = static_cast<Cell*>(HeapAllocateInternal(sizeof(Cell) * count));
        for (uint32_t i = 0; i < count; ++i) data->cells[i] = DefaultCell(elementType);
    }
    data->capacity = count;
    data->count = count;
    ValueState& state = State();
    std::lock_guard lock(state.mutex);
    state.arrays.insert(data);
    return data;
}

void CheckArray(const ArrayData* data, const char* what) {
    ValueState& state = State();
    std::lock_guard lock(state.mutex);
    if (!state.arrays.count(data)) {
        Violation("%s: %p is not live array data", what, static_cast<const void*>(data));
    }
    if (data->count > data->capacity) {
        Violation("%s: array %p has count %u above its capacity %u", what,
                  static_cast<const void*>(data), data->count, data->capacity);
    }
    if (data->capacity && !HeapIsLive(data->cells)) {
        Violation("%s: array %p stores its cells in %p, which is no live heap block", what,
                  static_cast<const void*>(data), static_cast<void*>(data->cells));
    }
    if (data->capacity && HeapBlockSize(data->cells) < sizeof(Cell) * data->capacity) {
        Violation("%s: array %p has capacity %u but a block of %zu bytes", what,
                  static_cast<const void*>(data), data->capacity, HeapBlockSize(data->cells));
    }
}

void ArrayRetain(ArrayData* data) {
    CheckArray(data, "taking an array reference");
    ++data->refs;
}

void ArrayRelease(ArrayData* data) {
    CheckArray(data, "releasing an array reference");
    if (--data->refs != 0) return;
    {
        ValueState& state = State();
        std::lock_guard lock(state.mutex);
        state.arrays.erase(data);
    }
    for (uint32_t i = 0; i < data->count; ++i) CellCleanUp(&data->cells[i]);
    HeapFreeInternal(data->cells);
    std::memset(static_cast<void*>(data), 0xDD, sizeof *data);
    delete data;
}

StructData* StructCreate(TypeInfo* type) {
    const uint32_t members = type->memberCount;
    void* memory = ::operator new(sizeof(StructData) + sizeof(Cell) * members);
    auto* data = new (memory) StructData{};
    data->refs = 1;
    data->memberCount = members;
    data->magic = kStructMagic;
    data->type = type;
    for (uint32_t i = 0; i < members; ++i) data->Members()[i] = DefaultCell(type->members[i]);
    ValueState& state = State();
    std::lock_guard lock(state.mutex);
    state.structs.insert(data);
    return data;
}

void CheckStruct(const StructData* data, const char* what) {
    ValueState& state = State();
    std::lock_guard lock(state.mutex);
    if (!state.structs.count(data)) {
        Violation("%s: %p is not live struct data", what, static_cast<const void*>(data));
    }
}

void StructRetain(StructData* data) {
    CheckStruct(data, "taking a struct reference");
    ++data->refs;
}

void StructRelease(StructData* data) {
    CheckStruct(data, "releasing a struct reference");
    if (--data->refs != 0) return;
    {
        ValueState& state = State();
        std::lock_guard lock(state.mutex);
        state.structs.erase(data);
    }
    for (uint32_t i = 0; i < data->memberCount; ++i) CellCleanUp(&data->Members()[i]);
    const std::size_t size = sizeof(StructData) + sizeof(Cell) * data->memberCount;
    std::memset(static_cast<void*>(data), 0xDD, size);
    ::operator delete(static_cast<void*>(data));
}

uint64_t LiveArrays() {
    ValueState& state = State();
    std::lock_guard lock(state.mutex);
    return state.arrays.size();
}

uint64_t LiveStructs() {
    ValueState& state = State();
    std::lock_guard lock(state.mutex);
    return state.structs.size();
}

void InstallValueRoutines(std::vector<std::pair<uintptr_t, abi::AnyFn>>& stubs) {
    stubs.emplace_back(abi::kValueCleanUp, reinterpret_cast<abi::AnyFn>(&ValueCleanUp));
    stubs.emplace_back(abi::kValueAssign, reinterpret_cast<abi::AnyFn>(&ValueAssign));
}

}  // namespace korvane::sim
