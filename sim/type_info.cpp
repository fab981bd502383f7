// Type information: one object per script object type (Form, ObjectReference)
// and per declared script struct type. The host keeps them for the life of
// the process; references handed to the plug-in are counted so a look-up
// whose reference is never given back shows.
#include <list>

#include "slot_tables.h"

namespace korvane::sim {

namespace {

constexpr uint64_t kTypeMagic = 0x5459504549'4E464FULL;

struct TypeState {
    std::mutex mutex;
    std::set<const TypeInfo*> all;
    std::map<uint32_t, TypeInfo*> objectTypes;
    std::map<std::string, TypeInfo*, std::less<>> structTypes;
    std::list<std::vector<uint64_t>> memberStorage;
    uint64_t handedRefs = 0;
};

TypeState& State() {
    static auto* state = new TypeState;
    return *state;
}

void AddRef(TypeInfo* info) {
    TypeInfoAddRef(info);
}
void Release(TypeInfo* info) {
    TypeInfoRelease(info);
}
uint32_t Kind(TypeInfo* info) {
    TypeInfoOfWord(reinterpret_cast<uint64_t>(info), "type information Kind");
    return info->kind;
}

const abi::AnyFn* TypeTable() {
    static const auto table = MakeTable<TableTag::TypeInfo, abi::typeinfo::kSlotCount>({
        {abi::typeinfo::kAddRef, Slot(&AddRef)},
        {abi::typeinfo::kRelease, Slot(&Release)},
        {abi::typeinfo::kKind, Slot(&Kind)},
    });
    return table.data();
}

// Caller holds the state lock.
TypeInfo* NewTypeInfo(TypeState& state, uint32_t kind, std::string_view name) {
    auto* info = new TypeInfo{};
    info->table = TypeTable();
    info->kind = kind;
    info->name = StringAcquire(name);  // the host's own reference, for good
    info->magic = kTypeMagic;
    state.all.insert(info);
    return info;
}

}  // namespace

TypeInfo* ObjectTypeInfo(uint32_t formType) {
    TypeState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.objectTypes.empty()) {
        for (auto [type, name] : {std::pair<uint32_t, const char*>{0, "Form"},
                                  std::pair<uint32_t, const char*>{64, "ObjectReference"}}) {
            TypeInfo* info = NewTypeInfo(state, abi::typeinfo::kKindObject, name);
            info->formType = type;
            state.objectTypes.emplace(type, info);
        }
    }
    auto it = state.objectTypes.find(formType);
    return it == state.objectTypes.end() ? nullptr : it->second;
}

TypeInfo* StructTypeInfo(std::string_view scriptName) {
    TypeState& state = State();
    std::lock_guard lock(state.mutex);
    auto it = state.structTypes.find(scriptName);
    return it == state.structTypes.end() ? nullptr : it->second;
}

void DeclareStructType(const std::string& name, const std::vector<uint64_t>& memberTypes) {
    TypeState& state = State();
    std::lock_guard lock(state.mutex);
    auto it = state.structTypes.find(name);
    if (it != state.structTypes.end()) {
        it->second->retired = 1;  // older structs keep their type; look-ups find the new one
        state.structTypes.erase(it);
    }
    TypeInfo* info = NewTypeInfo(state, abi::typeinfo::kKindStruct, name);
    info->members = state.memberStorage.emplace_back(memberTypes).data();
    info->memberCount = static_cast<uint32_t>(memberTypes.size());
    state.structTypes.emplace(name, info);
}

void ForgetStructTypes() {
    TypeState& state = State();
    std::lock_guard lock(state.mutex);
    for (auto& [name, info] : state.structTypes) info->retired = 1;
    state.structTypes.clear();
}

bool IsTypeInfo(uint64_t word) {
    if (word <= abi::type::kLastSimple) return false;
    TypeState& state = State();
    std::lock_guard lock(state.mutex);
    return state.all.count(reinterpret_cast<const TypeInfo*>(word & ~uint64_t{1})) != 0;
}

TypeInfo* TypeInfoOfWord(uint64_t word, const char* what) {
    if (!IsTypeInfo(word)) {
        Violation("%s: type word 0x%llx is neither a simple type nor type information", what,
                  static_cast<unsigned long long>(word));
    }
    return reinterpret_cast<TypeInfo*>(word & ~uint64_t{1});
}

void TypeInfoAddRef(TypeInfo* info) {
    TypeInfoOfWord(reinterpret_cast<uint64_t>(info), "type information AddRef");
    TypeState& state = State();
    std::lock_guard lock(state.mutex);
    ++info->refs;
    ++state.handedRefs;
}

void TypeInfoRelease(TypeInfo* info) {
    TypeInfoOfWord(reinterpret_cast<uint64_t>(info), "type information Release");
    TypeState& state = State();
    std::lock_guard lock(state.mutex);
    if (info->refs == 0) {
        Violation("type information \"%s\" released more often than it was handed out",
                  StringText(info->name).c_str());
    }
    --info->refs;
    --state.handedRefs;
}

uint64_t TypeInfoRefs() {
    TypeState& state = State();
    std::lock_guard lock(state.mutex);
    return state.handedRefs;
}

std::string TypeName(const TypeInfo* info) {
    return StringText(info->name);
}

}  // namespace korvane::sim
