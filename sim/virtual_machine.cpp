// The script virtual machine object: the operations the plug-in reaches by
// table slot. Creation requests from the plug-in are counted against the
// fault plan, so tests can make the machine decline an array or a struct.
#include <atomic>
#include <cstring>

#include "slot_tables.h"

namespace korvane::sim {

namespace {

struct MachineObject {
    const abi::AnyFn* table;
    uint64_t magic;
};

std::atomic<bool> hostAlive{false};

struct alignas(16) Holder {
    unsigned char bytes[256];
};

void CheckMachine(const void* vm, const char* what) {
    if (vm != VirtualMachineObject()) {
        Violation("%s called on %p, not the virtual machine", what, vm);
    }
    if (!hostAlive.load()) Violation("%s called while no Host is alive", what);
}

std::string NameOf(const StringEntry* const* name, const char* what) {
    if (!name) Violation("%s with a null name handle address", what);
    return StringText(*name);
}

bool LookupObjectType(void* vm, uint32_t formType, TypeInfo** out) {
    CheckMachine(vm, "LookupObjectType");
    TypeInfo* info = ObjectTypeInfo(formType);
    *out = info;
    if (!info) return false;
    TypeInfoAddRef(info);
    return true;
}

bool TypeIdOfName(void* vm, const StringEntry* const* name, uint32_t* typeId) {
    CheckMachine(vm, "TypeIdOfName");
    TypeInfo* info = ObjectTypeByName(NameOf(name, "TypeIdOfName"));
    if (!info) return false;
    // Object types' ids are their form types, so a handle's type answers both.
    *typeId = static_cast<uint32_t>(info->formType);
    return true;
}

bool LookupStructType(void* vm, const StringEntry* const* name, TypeInfo** out) {
    CheckMachine(vm, "LookupStructType");
    TypeInfo* info = StructTypeInfo(NameOf(name, "LookupStructType"));
    *out = info;
    if (!info) return false;
    TypeInfoAddRef(info);
    return true;
}

bool NewIdentifier(void* vm, const StringEntry* const* typeName, Identifier** out) {
    CheckMachine(vm, "NewIdentifier");
    TypeInfo* info = ObjectTypeByName(NameOf(typeName, "NewIdentifier"));
    *out = info ? IdentifierCreate(info, true) : nullptr;
    return *out != nullptr;
}

bool NewStruct(void* vm, const StringEntry* const* name, StructData** out) {
    CheckMachine(vm, "NewStruct");
    *out = nullptr;
    TypeInfo* info = StructTypeInfo(NameOf(name, "NewStruct"));
    if (!info) return false;
    Book& book = TheBook();
    {
        std::lock_guard lock(book.mutex);
        if (Declines(book.plan.declineStructAt, ++book.structRequests, book.plan.persistent)) {
            ++book.counters.structsDeclined;
            return false;
        }
        ++book.counters.structsCreated;
    }
    *out = StructCreate(info);
    return true;
}

bool NewArray(void* vm, const Cell* cellWithType, uint32_t count, ArrayData** out) {
    CheckMachine(vm, "NewArray");
    *out = nullptr;
    if (!cellWithType) Violation("NewArray with a null cell");
    if (!ElementTypeOf(cellWithType->type)) {
        Violation("NewArray for a cell of type word 0x%llx, which is no array type",
                  static_cast<unsigned long long>(cellWithType->type));
    }
    Book& book = TheBook();
    {
        std::lock_guard lock(book.mutex);
        if (Declines(book.plan.declineArrayAt, ++book.arrayRequests, book.plan.persistent)) {
            ++book.counters.arraysDeclined;
            return false;
        }
        ++book.counters.arraysCreated;
    }
    *out = ArrayCreate(cellWithType->type, count);
    return true;
}

bool FindIdentifier(void* vm, uint64_t handle, const char* typeName, Identifier** out) {
    CheckMachine(vm, "FindIdentifier");
    if (!typeName) Violation("FindIdentifier with a null type name");
    *out = IdentifierFind(handle, typeName);
    return *out != nullptr;
}

void* HandlePolicy(void* vm) {
    CheckMachine(vm, "HandlePolicy");
    return HandlePolicyObject();
}

void* BindPolicy(void* vm) {
    CheckMachine(vm, "BindPolicy");
    return BindPolicyObject();
}

}  // namespace

void* VirtualMachineObject() {
    using namespace abi::vm;
    static const auto table = MakeTable<TableTag::VirtualMachine, kSlotCount>({
        {kLookupObjectType, Slot(&LookupObjectType)},
        {kTypeIdOfName, Slot(&TypeIdOfName)},
        {kLookupStructType, Slot(&LookupStructType)},
        {kNewIdentifier, Slot(&NewIdentifier)},
        {kNewStruct, Slot(&NewStruct)},
        {kNewArray, Slot(&NewArray)},
        {kRegisterFunction, Slot(&RegisterFunctionSlot)},
        {kFindIdentifier, Slot(&FindIdentifier)},
        {kHandlePolicy, Slot(&HandlePolicy)},
        {kBindPolicy, Slot(&BindPolicy)},
    });
    static MachineObject machine{table.data(), 0x4D414348494E45ULL};
    return &machine;
}

void CheckMachineArgument(const void* vm, const char* what) {
    CheckMachine(vm, what);
}

void* VmHolderObject() {
    static Holder holder{};
    return &holder;
}

void SetHolderMachine(void* vm) {
    auto* holder = static_cast<Holder*>(VmHolderObject());
    std::memcpy(holder->bytes + abi::kHolderVmField, &vm, sizeof vm);
}

void SetHostAlive(bool alive) {
    hostAlive.store(alive);
}

TypeInfo* ObjectTypeByName(std::string_view name) {
    if (name == "Form") return ObjectTypeInfo(0);
    if (name == "ObjectReference") return ObjectTypeInfo(64);
    return nullptr;
}

}  // namespace korvane::sim
