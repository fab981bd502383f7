// Game objects cross the script boundary as host object identifiers: a value
// cell of an object type holds a pointer to the identifier, which holds the
// object's handle. The identifier's lock word counts holders and doubles as a
// spin lock (bit 31) that other host threads respect, so it is changed only
// with compare-and-swap.
#include <atomic>
#include <chrono>
#include <thread>

#include "vm/script_value.h"

namespace quillmere {
namespace {

constexpr uint32_t kLockBusy = 0x80000000u;
constexpr uint32_t kSpinsBeforeSleeping = 10000;

std::atomic_ref<uint32_t> LockWord(Identifier* identifier) {
    return std::atomic_ref<uint32_t>(
        *host::FieldAddress<uint32_t>(identifier, host::layout::IdentifierLock));
}

// Reads the word, waiting while another thread holds bit 31: yield first,
// then sleep a millisecond per try once waiting has gone on for long.
uint32_t ReadUnlocked(std::atomic_ref<uint32_t> word, uint32_t& spins) {
    uint32_t value = word.load();
    while ((value & kLockBusy) != 0) {
        if (spins > kSpinsBeforeSleeping) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } else {
            ++spins;
            std::this_thread::yield();
        }
        value = word.load();
    }
    return value;
}

uint64_t IdentifierHandle(Identifier* identifier) {
    return host::Read<uint64_t>(identifier, host::layout::IdentifierHandle);
}

// The handle is read with the busy bit held, so it cannot change under us.
uint64_t ReadHandleLocked(Identifier* identifier) {
    auto word = LockWord(identifier);
    uint32_t spins = 0;
    for (;;) {
        uint32_t previous = ReadUnlocked(word, spins);
        if (word.compare_exchange_weak(previous, previous | kLockBusy)) {
            const uint64_t handle = IdentifierHandle(identifier);
            word.store(previous);
            return handle;
        }
    }
}

TypeInfo* IdentifierType(Identifier* identifier) {
    return host::Read<TypeInfo*>(identifier, host::layout::IdentifierType);
}

StringCacheEntry* TypeName(TypeInfo* type) {
    return host::Read<StringCacheEntry*>(type, host::layout::TypeInfoName);
}

// A new identifier stands for nothing until the bind policy binds it to the
// object's handle.
void BindNewIdentifier(VirtualMachine* vm, HandlePolicy* policy, Identifier* identifier,
                       uint32_t formType, const TESForm* object) {
    TypeInfo* type = IdentifierType(identifier);
    if (type == nullptr) return;
    host::TypeAddRef(type);
    StringCacheEntry* name = TypeName(type);
    uint32_t typeId = 0;
    if (host::TypeIdOfName(vm, &name, &typeId)) {
        const uint64_t handle = host::MakeHandle(policy, formType, object);
        if (host::HandleIsType(policy, typeId, handle) || handle == host::InvalidHandle(policy)) {
            host::BindIdentifier(host::BindPolicy(vm), identifier, handle);
        }
    }
    host::TypeRelease(type);
}

}  // namespace

void RaiseIdentifierLock(Identifier* identifier) {
    auto word = LockWord(identifier);
    uint32_t spins = 0;
    for (;;) {
        uint32_t value = ReadUnlocked(word, spins);
        if (value == 1) {
            // The first extra holder persists the handle, so the host keeps
            // the object alive while a script value refers to it.
            if (word.compare_exchange_weak(value, 1 | kLockBusy)) {
                host::PersistHandle(host::GlobalHandlePolicy(), IdentifierHandle(identifier));
                word.store(2);
                return;
            }
        } else if (word.compare_exchange_weak(value, value + 1)) {
            return;
        }
    }
}

uint32_t LowerIdentifierLock(Identifier* identifier) {
    auto word = LockWord(identifier);
    uint32_t spins = 0;
    for (;;) {
        uint32_t value = ReadUnlocked(word, spins);
        if (value == 2) {
            if (word.compare_exchange_weak(value, 2 | kLockBusy)) {
                host::ReleaseHandle(host::GlobalHandlePolicy(), IdentifierHandle(identifier));
                word.store(1);
                return 1;
            }
        } else if (word.compare_exchange_weak(value, value - 1)) {
            return value - 1;
        }
    }
}

TypeInfo* ObjectTypeInfo(VirtualMachine* vm, uint32_t formType) {
    TypeInfo* type = nullptr;
    if (vm == nullptr || !host::LookupObjectType(vm, formType, &type) || type == nullptr) {
        return nullptr;
    }
    // The lookup's reference goes back at once; the machine keeps the type alive.
    host::TypeRelease(type);
    return type;
}

TESForm* ReadObject(const VMValue& cell, uint32_t formType) {
    // An array cell's word also points at type information (with bit 0 set);
    // its payload is array data, not an identifier, so it is no object.
    if (!cell.IsTypeInfoWord() || (cell.type & kArrayOfTypeBit) != 0) return nullptr;
    if (host::TypeKind(cell.TypeInfoOf()) != host::KindObject) return nullptr;
    auto* identifier = reinterpret_cast<Identifier*>(cell.payload);
    if (identifier == nullptr) return nullptr;

    const uint64_t handle = ReadHandleLocked(identifier);
    HandlePolicy* policy = host::GlobalHandlePolicy();
    if (!host::HandleIsType(policy, formType, handle)) return nullptr;
    if (!host::HandleIsValid(policy, handle)) return nullptr;
    return static_cast<TESForm*>(host::ObjectForHandle(policy, formType, handle));
}

void WriteObject(VMValue& cell, const TESForm* object, uint32_t formType, VirtualMachine* vm) {
    cell.SetNone();
    if (object == nullptr || vm == nullptr) return;
    TypeInfo* type = ObjectTypeInfo(vm, formType);
    if (type == nullptr) return;

    HandlePolicy* policy = host::MachineHandlePolicy(vm);
    const uint64_t handle = host::MakeHandle(policy, formType, object);
    StringCacheEntry* typeName = TypeName(type);
    Identifier* identifier = nullptr;
    if (!host::FindIdentifier(vm, handle, host::StringText(typeName), &identifier) ||
        identifier == nullptr) {
        identifier = nullptr;
        if (host::NewIdentifier(vm, &typeName, &identifier) && identifier != nullptr) {
            BindNewIdentifier(vm, policy, identifier, formType, object);
        } else {
            identifier = nullptr;
        }
    }
    if (identifier == nullptr) return;

    // Make the cell an object-typed None through the host's assignment, then
    // store the identifier with a hold of its own.
    {
        VMValue typedNone;
        typedNone.type = reinterpret_cast<uint64_t>(type);
        cell = typedNone;
    }
    if (cell.IsTypeInfoWord() && host::TypeKind(cell.TypeInfoOf()) == host::KindObject) {
        host::ValueCleanUp(&cell);
        RaiseIdentifierLock(identifier);
        cell.payload = reinterpret_cast<uint64_t>(identifier);
    }
    // Give back the hold that finding or creating the identifier came with.
    if (LowerIdentifierLock(identifier) == 0) {
        host::DestroyIdentifier(identifier);
        host::HeapFree(identifier);
    }
}

}  // namespace quillmere
