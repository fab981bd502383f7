#include "vm/host_interface.h"

#include "common/platform.h"

namespace quillmere::host {
namespace {

// Taken once, when the host loads the library, before any entry point runs.
const uintptr_t hostBase = platform::MainModuleBase();

void* HeapObject() {
    return reinterpret_cast<void*>(Base() + offset::Heap);
}

template <typename T>
T PointerAt(uintptr_t off) {
    return *reinterpret_cast<T*>(Base() + off);
}

}  // namespace

uintptr_t Base() {
    return hostBase;
}

void* HeapAllocate(std::size_t size) {
    return Routine<void* (*)(void*, uint64_t, uint32_t, bool)>(offset::HeapAllocate)(
        HeapObject(), size, 0, false);
}

void HeapFree(void* block) {
    Routine<void (*)(void*, void*, bool)>(offset::HeapFree)(HeapObject(), block, false);
}

void StringFromText(StringCacheEntry** handle, const char* text) {
    Routine<StringCacheEntry** (*)(StringCacheEntry**, const char*)>(offset::StringFromText)(handle,
                                                                                             text);
}

void StringSetText(StringCacheEntry** handle, const char* text) {
    Routine<StringCacheEntry** (*)(StringCacheEntry**, const char*)>(offset::StringSetText)(handle,
                                                                                            text);
}

void StringRelease(StringCacheEntry** handle) {
    Routine<void (*)(StringCacheEntry**)>(offset::StringRelease)(handle);
}

const char* StringText(const StringCacheEntry* entry) {
    if (entry == nullptr) return "";
    // An indirection entry stands for another entry; the text lives in the last one.
    while ((Read<uint32_t>(entry, layout::StringEntryFlags) & layout::StringEntryIndirection) !=
           0) {
        const auto* target = Read<const StringCacheEntry*>(entry, layout::StringEntryTarget);
        if (target == nullptr) return "";
        entry = target;
    }
    return reinterpret_cast<const char*>(entry) + layout::StringEntryText;
}

void ValueCleanUp(VMValue* cell) {
    Routine<void (*)(VMValue*)>(offset::ValueCleanUp)(cell);
}

void ValueAssign(VMValue* destination, const VMValue* source) {
    Routine<VMValue* (*)(VMValue*, const VMValue*)>(offset::ValueAssign)(destination, source);
}

VirtualMachine* CurrentMachine() {
    void* holder = PointerAt<void*>(offset::VirtualMachineHolder);
    return holder == nullptr ? nullptr : Read<VirtualMachine*>(holder, layout::VMHolderMachine);
}

bool LookupObjectType(VirtualMachine* vm, uint32_t formType, TypeInfo** out) {
    return CallSlot<bool>(vm, vm_slot::LookupObjectType, formType, out);
}

bool TypeIdOfName(VirtualMachine* vm, StringCacheEntry* const* name, uint32_t* typeId) {
    return CallSlot<bool>(vm, vm_slot::TypeIdOfName, name, typeId);
}

bool LookupStructType(VirtualMachine* vm, StringCacheEntry* const* name, TypeInfo** out) {
    return CallSlot<bool>(vm, vm_slot::LookupStructType, name, out);
}

bool NewIdentifier(VirtualMachine* vm, StringCacheEntry* const* typeName, Identifier** out) {
    return CallSlot<bool>(vm, vm_slot::NewIdentifier, typeName, out);
}

bool NewStruct(VirtualMachine* vm, StringCacheEntry* const* name, StructData** out) {
    return CallSlot<bool>(vm, vm_slot::NewStruct, name, out);
}

bool NewArray(VirtualMachine* vm, const VMValue* cell, uint32_t count, ArrayData** out) {
    return CallSlot<bool>(vm, vm_slot::NewArray, cell, count, out);
}

void RegisterFunction(VirtualMachine* vm, void* function) {
    CallSlot<void>(vm, vm_slot::RegisterFunction, function);
}

bool FindIdentifier(VirtualMachine* vm, uint64_t handle, const char* typeName, Identifier** out) {
    return CallSlot<bool>(vm, vm_slot::FindIdentifier, handle, typeName, out);
}

HandlePolicy* MachineHandlePolicy(VirtualMachine* vm) {
    return CallSlot<HandlePolicy*>(vm, vm_slot::HandlePolicy);
}

void* BindPolicy(VirtualMachine* vm) {
    return CallSlot<void*>(vm, vm_slot::BindPolicy);
}

HandlePolicy* GlobalHandlePolicy() {
    return PointerAt<HandlePolicy*>(offset::GlobalHandlePolicy);
}

bool HandleIsType(HandlePolicy* policy, uint32_t typeIdOrFormType, uint64_t handle) {
    return CallSlot<bool>(policy, policy_slot::HandleIsType, typeIdOrFormType, handle);
}

bool HandleIsValid(HandlePolicy* policy, uint64_t handle) {
    return CallSlot<bool>(policy, policy_slot::HandleIsValid, handle);
}

uint64_t InvalidHandle(HandlePolicy* policy) {
    return CallSlot<uint64_t>(policy, policy_slot::InvalidHandle);
}

uint64_t MakeHandle(HandlePolicy* policy, uint32_t formType, const void* object) {
    return CallSlot<uint64_t>(policy, policy_slot::MakeHandle, formType, object);
}

void* ObjectForHandle(HandlePolicy* policy, uint32_t formType, uint64_t handle) {
    return CallSlot<void*>(policy, policy_slot::ObjectForHandle, formType, handle);
}

void PersistHandle(HandlePolicy* policy, uint64_t handle) {
    CallSlot<void>(policy, policy_slot::PersistHandle, handle);
}

void ReleaseHandle(HandlePolicy* policy, uint64_t handle) {
    CallSlot<void>(policy, policy_slot::ReleaseHandle, handle);
}

void BindIdentifier(void* bindPolicy, Identifier* identifier, uint64_t handle) {
    Routine<void (*)(void*, Identifier*, uint64_t)>(offset::BindIdentifier)(bindPolicy, identifier,
                                                                            handle);
}

void DestroyIdentifier(Identifier* identifier) {
    Routine<void (*)(Identifier*)>(offset::DestroyIdentifier)(identifier);
}

void TypeAddRef(TypeInfo* type) {
    CallSlot<void>(type, type_slot::AddRef);
}
void TypeRelease(TypeInfo* type) {
    CallSlot<void>(type, type_slot::Release);
}
uint32_t TypeKind(TypeInfo* type) {
    return CallSlot<uint32_t>(type, type_slot::Kind);
}

uint32_t FormId(const TESForm* form) {
    return Read<uint32_t>(form, layout::FormId);
}

uint8_t FormTypeOf(const TESForm* form) {
    return Read<uint8_t>(form, layout::FormTypeCode);
}

const char* ReferenceDisplayName(TESObjectREFR* reference) {
    return Routine<const char* (*)(TESObjectREFR*)>(offset::ReferenceDisplayName)(reference);
}

StringCacheEntry* LocationFullName(const TESForm* location) {
    return Read<StringCacheEntry*>(location, layout::LocationFullName);
}

namespace {
const void* PluginTable() {
    return PointerAt<const void*>(offset::LoadedPlugins);
}
}  // namespace

uint32_t LoadedPluginCount() {
    const void* table = PluginTable();
    if (table == nullptr) return 0;
    const uint32_t count = Read<uint32_t>(table, layout::PluginCount);
    return count < layout::MaxPlugins ? count : static_cast<uint32_t>(layout::MaxPlugins);
}

const char* LoadedPluginName(uint32_t loadOrderIndex) {
    const void* table = PluginTable();
    if (table == nullptr || loadOrderIndex >= layout::MaxPlugins) return nullptr;
    const void* plugin =
        Read<const void*>(table, layout::PluginEntries + sizeof(void*) * loadOrderIndex);
    if (plugin == nullptr) return nullptr;
    return static_cast<const char*>(plugin) + layout::PluginFileName;
}

void NativeInit(void* function, const char* name, const char* className, bool isStatic,
                uint32_t paramCount) {
    Routine<void (*)(void*, const char*, const char*, uint32_t, uint32_t)>(offset::NativeInit)(
        function, name, className, isStatic ? 1u : 0u, paramCount);
}

void NativeTeardown(void* function) {
    Routine<void (*)(void*)>(offset::NativeTeardown)(function);
}

bool ParamInfo(void* paramTable, uint32_t index, StringCacheEntry** nameOut, uint64_t* typeOut) {
    return Routine<bool (*)(void*, uint32_t, StringCacheEntry**, uint64_t*)>(offset::ParamInfo)(
        paramTable, index, nameOut, typeOut);
}

uint32_t NativeForward(void* function, uint64_t a, uint64_t b, uint64_t c, uint64_t d) {
    return Routine<uint32_t (*)(void*, uint64_t, uint64_t, uint64_t, uint64_t)>(
        offset::NativeForward)(function, a, b, c, d);
}

uint32_t NativeQuery(void* function) {
    return Routine<uint32_t (*)(void*)>(offset::NativeQuery)(function);
}

bool NativeQueryIndexed(void* function, uint32_t number, void* address) {
    return Routine<bool (*)(void*, uint32_t, void*)>(offset::NativeQueryIndexed)(function, number,
                                                                                 address);
}

uint32_t ArgumentOffset(StackFrame* frame) {
    void* first = Read<void*>(frame, 0);
    return Routine<uint32_t (*)(void*, StackFrame*)>(offset::ArgumentOffset)(first, frame);
}

VMValue* ArgumentValue(StackFrame* frame, uint32_t index, uint32_t position) {
    void* first = Read<void*>(frame, 0);
    return Routine<VMValue* (*)(void*, StackFrame*, uint32_t, uint32_t)>(offset::ArgumentValue)(
        first, frame, index, position);
}

}  // namespace quillmere::host
