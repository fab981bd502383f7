// Object handles and identifiers. A handle names a form by its actual form
// type and form id; an identifier stands for one handle as one script object
// type, and its lock word counts its holders (1: one holder, handle not
// persisted; 2 or more: persisted). Identifiers live in host heap blocks,
// because the plug-in frees the ones whose last hold it gives up.
#include <atomic>
#include <thread>

#include "slot_tables.h"

namespace korvane::sim {

namespace {

constexpr uint64_t kIdentifierMagic = 0x4944454E54'494659ULL;
constexpr uint64_t kInvalidHandle = 0x0000FFFF00000000ULL;

// Two locks. `mutex` guards the identifiers and their bindings and may be
// held while waiting for a busy lock word (finding an identifier raises it).
// `persistMutex` guards the persisted-handle counts, which whoever holds a
// lock word busy updates; it is never held while waiting, so the two cannot
// deadlock when scripts on several threads share an object.
struct IdentifierState {
    std::recursive_mutex mutex;
    std::set<const Identifier*> live;
    std::map<std::pair<uint64_t, std::string>, Identifier*, std::less<>> bound;
    std::mutex persistMutex;
    std::map<uint64_t, int64_t> persisted;
    int64_t persistedTotal = 0;
};

IdentifierState& State() {
    static auto* state = new IdentifierState;
    return *state;
}

struct PolicyObject {
    const abi::AnyFn* table;
};
struct BindPolicy {
    const abi::AnyFn* table;
};

void CheckPolicy(const void* policy, const char* what) {
    if (policy != HandlePolicyObject()) {
        Violation("%s called on %p, not the handle policy", what, policy);
    }
}

bool HandleIsType(void* policy, uint32_t typeId, uint64_t handle) {
    CheckPolicy(policy, "HandleIsType");
    return HandleOfType(typeId, handle);
}

bool HandleIsValid(void* policy, uint64_t handle) {
    CheckPolicy(policy, "HandleIsValid");
    return handle != kInvalidHandle && ObjectOfHandle(0, handle) != nullptr;
}

uint64_t InvalidHandle(void* policy) {
    CheckPolicy(policy, "InvalidHandle");
    return kInvalidHandle;
}

uint64_t MakeHandle(void* policy, uint32_t formType, const void* object) {
    CheckPolicy(policy, "MakeHandle");
    return HandleFor(formType, static_cast<const Form*>(object));
}

void* ObjectForHandle(void* policy, uint32_t formType, uint64_t handle) {
    CheckPolicy(policy, "ObjectForHandle");
    return ObjectOfHandle(formType, handle);
}

void PersistHandle(void* policy, uint64_t handle) {
    CheckPolicy(policy, "PersistHandle");
    IdentifierState& state = State();
    std::lock_guard lock(state.persistMutex);
    ++state.persisted[handle];
    ++state.persistedTotal;
}

void ReleaseHandle(void* policy, uint64_t handle) {
    CheckPolicy(policy, "ReleaseHandle");
    IdentifierState& state = State();
    std::lock_guard lock(state.persistMutex);
    auto it = state.persisted.find(handle);
    if (it == state.persisted.end() || it->second == 0) {
        Violation("ReleaseHandle of handle 0x%llx, which is not persisted",
                  static_cast<unsigned long long>(handle));
    }
    if (--it->second == 0) state.persisted.erase(it);
    --state.persistedTotal;
}

void BindIdentifier(void* bindPolicy, Identifier* id, uint64_t handle) {
    if (bindPolicy != BindPolicyObject()) {
        Violation("BindIdentifier called with %p, not the bind policy", bindPolicy);
    }
    CheckIdentifier(id, "BindIdentifier");
    IdentifierBind(id, handle);
}

void DestroyIdentifier(Identifier* id) {
    CheckIdentifier(id, "DestroyIdentifier");
    IdentifierState& state = State();
    std::lock_guard lock(state.mutex);
    if (id->lock != 0) {
        Violation("DestroyIdentifier of %p while its lock word is 0x%x (still held)",
                  static_cast<void*>(id), id->lock);
    }
    if (id->bound) {
        auto it = state.bound.find(std::pair(id->handle, TypeName(id->type)));
        if (it != state.bound.end() && it->second == id) state.bound.erase(it);
    }
    state.live.erase(id);
    id->magic = 0;
    id->table = nullptr;
}

const abi::AnyFn* IdentifierTable() {
    static const auto table = MakeTable<TableTag::Identifier, 8>({});
    return table.data();
}

uint32_t WaitWhileBusy(std::atomic_ref<uint32_t> word) {
    uint32_t value = word.load();
    while (value & abi::kLockBusy) {
        std::this_thread::yield();
        value = word.load();
    }
    return value;
}

}  // namespace

uint64_t InvalidHandleValue() {
    return kInvalidHandle;
}

uint64_t HandleFor(uint32_t formType, const Form* object) {
    if (!object) return kInvalidHandle;
    if (FormById(object->FormId()) != object) {
        Violation("MakeHandle for %p, which is not a form of this host",
                  static_cast<const void*>(object));
    }
    if (formType != 0 && object->TypeCode() != formType) return kInvalidHandle;
    return (uint64_t{object->TypeCode()} << 32) | object->FormId();
}

bool HandleOfType(uint32_t typeIdOrFormType, uint64_t handle) {
    if (handle == kInvalidHandle) return false;
    return typeIdOrFormType == 0 || (handle >> 32) == typeIdOrFormType;
}

Form* ObjectOfHandle(uint32_t formType, uint64_t handle) {
    if (!HandleOfType(formType, handle)) return nullptr;
    Form* form = FormById(static_cast<uint32_t>(handle));
    if (!form || form->TypeCode() != (handle >> 32)) return nullptr;
    return form;
}

void* HandlePolicyObject() {
    static const auto table = MakeTable<TableTag::HandlePolicy, abi::policy::kSlotCount>({
        {abi::policy::kHandleIsType, Slot(&HandleIsType)},
        {abi::policy::kHandleIsValid, Slot(&HandleIsValid)},
        {abi::policy::kInvalidHandle, Slot(&InvalidHandle)},
        {abi::policy::kMakeHandle, Slot(&MakeHandle)},
        {abi::policy::kObjectForHandle, Slot(&ObjectForHandle)},
        {abi::policy::kPersistHandle, Slot(&PersistHandle)},
        {abi::policy::kReleaseHandle, Slot(&ReleaseHandle)},
    });
    static PolicyObject policy{table.data()};
    return &policy;
}

void* BindPolicyObject() {
    static const auto table = MakeTable<TableTag::BindPolicy, 8>({});
    static BindPolicy policy{table.data()};
    return &policy;
}

// Raises the lock word unless it is at 0 (the identifier being destroyed).
bool TryRaise(Identifier* id);

Identifier* IdentifierCreate(TypeInfo* type, bool /*fromLibrary*/) {
    auto* id = static_cast<Identifier*>(HeapAllocateInternal(sizeof(Identifier)));
    *id = Identifier{};
    id->table = IdentifierTable();
    id->type = type;
    id->magic = kIdentifierMagic;
    id->handle = kInvalidHandle;
    id->lock = 1;
    IdentifierState& state = State();
    std::lock_guard lock(state.mutex);
    state.live.insert(id);
    return id;
}

void IdentifierBind(Identifier* id, uint64_t handle) {
    IdentifierState& state = State();
    std::lock_guard lock(state.mutex);
    id->handle = handle;
    id->bound = 1;
    state.bound.emplace(std::pair(handle, TypeName(id->type)), id);
}

Identifier* IdentifierFind(uint64_t handle, std::string_view typeName) {
    IdentifierState& state = State();
    std::lock_guard lock(state.mutex);
    auto it = state.bound.find(std::pair(handle, std::string(typeName)));
    if (it == state.bound.end()) return nullptr;
    if (!TryRaise(it->second)) {
        // Its last holder, on another thread, has just let it go and is
        // destroying it: the handle needs a new identifier.
        state.bound.erase(it);
        return nullptr;
    }
    return it->second;
}

void CheckIdentifier(const Identifier* id, const char* what) {
    IdentifierState& state = State();
    std::lock_guard lock(state.mutex);
    if (!state.live.count(id) || id->magic != kIdentifierMagic) {
        Violation("%s: %p is not a live identifier", what, static_cast<const void*>(id));
    }
}

bool TryRaise(Identifier* id) {
    CheckIdentifier(id, "raising an identifier's lock word");
    std::atomic_ref<uint32_t> word(id->lock);
    for (;;) {
        uint32_t value = WaitWhileBusy(word);
        if (value == 0) return false;
        if (value == 1) {
            if (!word.compare_exchange_strong(value, 1 | abi::kLockBusy)) continue;
            PersistHandle(HandlePolicyObject(), id->handle);
            word.store(2);
            return true;
        }
        if (word.compare_exchange_strong(value, value + 1)) return true;
    }
}

void IdentifierRaise(Identifier* id) {
    if (!TryRaise(id)) {
        Violation("raising the lock word of identifier %p, which is at 0", static_cast<void*>(id));
    }
}

uint32_t IdentifierLower(Identifier* id) {
    CheckIdentifier(id, "lowering an identifier's lock word");
    std::atomic_ref<uint32_t> word(id->lock);
    uint32_t result = 0;
    for (;;) {
        uint32_t value = WaitWhileBusy(word);
        if (value == 0)
            Violation("lowering the lock word of identifier %p, which is at 0",
                      static_cast<void*>(id));
        if (value == 2) {
            if (!word.compare_exchange_strong(value, 2 | abi::kLockBusy)) continue;
            ReleaseHandle(HandlePolicyObject(), id->handle);
            word.store(1);
            return 1;
        }
        if (word.compare_exchange_strong(value, value - 1)) {
            result = value - 1;
            break;
        }
    }
    if (result == 0) {
        DestroyIdentifier(id);
        HeapFreeInternal(id);
    }
    return result;
}

uint64_t LiveIdentifiers() {
    IdentifierState& state = State();
    std::lock_guard lock(state.mutex);
    return state.live.size();
}

uint64_t PersistedHandles() {
    IdentifierState& state = State();
    std::lock_guard lock(state.persistMutex);
    return static_cast<uint64_t>(state.persistedTotal);
}

void InstallIdentifierRoutines(std::vector<std::pair<uintptr_t, abi::AnyFn>>& stubs) {
    stubs.emplace_back(abi::kBindIdentifier, reinterpret_cast<abi::AnyFn>(&BindIdentifier));
    stubs.emplace_back(abi::kDestroyIdentifier, reinterpret_cast<abi::AnyFn>(&DestroyIdentifier));
}

}  // namespace korvane::sim
