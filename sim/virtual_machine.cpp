// The script virtual machines, one per Host: the operations the plug-in
// reaches by table slot. Creation requests from the plug-in are counted against the
// fault plan, so tests can make the machine decline an array or a struct.
#include <atomic>
#include <cstring>

#include "slot_tables.h"

namespace korvane::sim {

namespace {

constexpr uint64_t kMachineMagic = 0x4D414348494E45ULL;

struct MachineObject {
    const abi::AnyFn* table;
    uint64_t magic;
    MachineState* state;
};

struct alignas(16) Holder {
    unsigned char bytes[256];
};

struct Machines {
    std::recursive_mutex mutex;
    std::vector<MachineObject*> live;  // in order of creation
};

// Set by MachineScope: the machine this thread is calling into the plug-in for.
thread_local void* scoped = nullptr;

Machines& TheMachines() {
    static auto* machines = new Machines;
    return *machines;
}

// Caller holds the lock.
void UpdateHolder(Machines& machines) {
    void* current = scoped;
    if (!current && !machines.live.empty()) current = machines.live.back();
    auto* holder = static_cast<Holder*>(VmHolderObject());
    // The plug-in reads the holder without a lock, possibly on another
    // thread inside a call to the same machine: write only a change.
    void* named = nullptr;
    std::memcpy(&named, holder->bytes + abi::kHolderVmField, sizeof named);
    if (named != current)
        std::memcpy(holder->bytes + abi::kHolderVmField, &current, sizeof current);
}

MachineState& CheckMachine(const void* vm, const char* what) {
    return MachineOf(vm, what);
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
    MachineState& machine = CheckMachine(vm, "LookupStructType");
    TypeInfo* info = StructTypeInfo(machine, NameOf(name, "LookupStructType"));
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
    MachineState& machine = CheckMachine(vm, "NewStruct");
    *out = nullptr;
    TypeInfo* info = StructTypeInfo(machine, NameOf(name, "NewStruct"));
    if (!info) return false;
    Book& book = TheBook();
    std::lock_guard lock(book.mutex);
    if (Declines(machine.plan.declineStructAt, ++machine.structRequests, machine.plan.persistent)) {
        ++book.counters.structsDeclined;
        return false;
    }
    ++book.counters.structsCreated;
    *out = StructCreate(info);
    return true;
}

bool NewArray(void* vm, const Cell* cellWithType, uint32_t count, ArrayData** out) {
    MachineState& machine = CheckMachine(vm, "NewArray");
    *out = nullptr;
    if (!cellWithType) Violation("NewArray with a null cell");
    if (!ElementTypeOf(cellWithType->type)) {
        Violation("NewArray for a cell of type word 0x%llx, which is no array type",
                  static_cast<unsigned long long>(cellWithType->type));
    }
    Book& book = TheBook();
    std::lock_guard lock(book.mutex);
    if (Declines(machine.plan.declineArrayAt, ++machine.arrayRequests, machine.plan.persistent)) {
        ++book.counters.arraysDeclined;
        return false;
    }
    ++book.counters.arraysCreated;
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

const abi::AnyFn* MachineTable() {
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
    return table.data();
}

}  // namespace

void* NewMachine() {
    auto* machine = new MachineObject{MachineTable(), kMachineMagic, new MachineState};
    Machines& machines = TheMachines();
    std::lock_guard lock(machines.mutex);
    machines.live.push_back(machine);
    UpdateHolder(machines);
    return machine;
}

void DeleteMachine(void* vm) {
    MachineOf(vm, "deleting a machine");
    auto* machine = static_cast<MachineObject*>(vm);
    Machines& machines = TheMachines();
    {
        std::lock_guard lock(machines.mutex);
        std::erase(machines.live, machine);
        if (scoped == vm) scoped = nullptr;
        UpdateHolder(machines);
    }
    delete machine->state;
    machine->magic = 0;
    delete machine;
}

MachineState& MachineOf(const void* vm, const char* what) {
    Machines& machines = TheMachines();
    std::lock_guard lock(machines.mutex);
    for (MachineObject* machine : machines.live) {
        if (machine == vm) return *machine->state;
    }
    Violation("%s called on %p, which is not the virtual machine of a live Host", what, vm);
}

void* CurrentMachine() {
    Machines& machines = TheMachines();
    std::lock_guard lock(machines.mutex);
    if (scoped) return scoped;
    return machines.live.empty() ? nullptr : machines.live.back();
}

MachineScope::MachineScope(void* vm) {
    Machines& machines = TheMachines();
    std::lock_guard lock(machines.mutex);
    previous_ = scoped;
    scoped = vm;
    UpdateHolder(machines);
}

MachineScope::~MachineScope() {
    Machines& machines = TheMachines();
    std::lock_guard lock(machines.mutex);
    scoped = previous_;
    UpdateHolder(machines);
}

void* VmHolderObject() {
    static Holder holder{};
    return &holder;
}

TypeInfo* ObjectTypeByName(std::string_view name) {
    if (name == "Form") return ObjectTypeInfo(0);
    if (name == "ObjectReference") return ObjectTypeInfo(64);
    return nullptr;
}

}  // namespace korvane::sim
