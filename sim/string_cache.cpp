// The host's string cache. One entry per distinct text, shared by every
// holder and counted; an entry goes away with its last reference, so a
// reference given back twice or used after its release is caught.
//
// Some texts are handed out as indirection entries (flag 0x4000, pointing at
// the entry that holds the text), as the game's cache does for some of its
// strings; the indirection's own text field holds a decoy, so a reader that
// ignores the flag reads the wrong text.
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "sim_world.h"

namespace korvane::sim {

namespace {

// Bits besides the indirection flag, so that a reader testing "any flag"
// instead of 0x4000 goes wrong.
constexpr uint32_t kOrdinaryFlags = 0x2001;
constexpr const char* kDecoyText = "<indirection>";

// Looks texts up without copying them into a std::string first.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>{}(text);
    }
};

struct CacheState {
    std::mutex mutex;
    // text -> entry handed out
    std::unordered_map<std::string, StringEntry*, TextHash, std::equal_to<>> handed;
    std::unordered_set<const StringEntry*> handedEntries;
    uint64_t liveRefs = 0;
    IndirectionRule rule = IndirectionRule::ByHash;
};

CacheState& State() {
    static auto* state = new CacheState;  // outlives the plug-in's static destructors
    return *state;
}

uint32_t Fnv1a(std::string_view text) {
    uint32_t hash = 2166136261u;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

StringEntry* NewEntry(std::string_view text, uint32_t flags) {
    const std::size_t size = offsetof(StringEntry, text) + text.size() + 1;
    auto* entry = static_cast<StringEntry*>(
        std::calloc(1, size < sizeof(StringEntry) ? sizeof(StringEntry) : size));
    if (!entry) Violation("out of memory in the string cache");
    entry->length = static_cast<uint32_t>(text.size());
    entry->flags = flags;
    entry->hash = Fnv1a(text);
    // The text runs past the declared field into the rest of the allocation.
    char* bytes = reinterpret_cast<char*>(entry) + offsetof(StringEntry, text);
    std::memcpy(bytes, text.data(), text.size());
    bytes[text.size()] = '\0';
    return entry;
}

void FreeEntry(StringEntry* entry) {
    std::memset(static_cast<void*>(entry), 0xDD, offsetof(StringEntry, text) + entry->length + 1);
    std::free(entry);
}

StringEntry* FromText(StringEntry** handle, const char* text) {
    *handle = StringAcquire(text ? text : "");
    return *handle;
}

StringEntry** StringFromText(StringEntry** handle, const char* text) {
    if (!handle) Violation("StringFromText with a null handle address");
    FromText(handle, text);
    return handle;
}

StringEntry** StringSetText(StringEntry** handle, const char* text) {
    if (!handle) Violation("StringSetText with a null handle address");
    FromText(handle, text);
    return handle;
}

void StringRelease(StringEntry** handle) {
    if (!handle) Violation("StringRelease with a null handle address");
    if (*handle) StringReleaseEntry(*handle);
    *handle = nullptr;
}

}  // namespace

}  // namespace korvane::sim

namespace korvane {
bool Host::IsIndirectText(std::string_view text, IndirectionRule rule) {
    switch (rule) {
        case IndirectionRule::Never:
            return false;
        case IndirectionRule::Always:
            return true;
        case IndirectionRule::ByHash:
            return sim::Fnv1a(text) % 3 == 0;
    }
    return false;
}
}  // namespace korvane

namespace korvane::sim {

void SetIndirectionRule(IndirectionRule rule) {
    CacheState& state = State();
    std::lock_guard lock(state.mutex);
    state.rule = rule;
}

StringEntry* StringAcquire(std::string_view text) {
    CacheState& state = State();
    std::lock_guard lock(state.mutex);
    ++state.liveRefs;
    auto it = state.handed.find(text);
    if (it != state.handed.end()) {
        ++it->second->refCount;
        return it->second;
    }
    StringEntry* entry = nullptr;
    if (Host::IsIndirectText(text, state.rule)) {
        entry = NewEntry(kDecoyText, kOrdinaryFlags | abi::kIndirectionFlag);
        entry->target = NewEntry(text, kOrdinaryFlags);
        entry->target->refCount = 1;  // held by the indirection
    } else {
        entry = NewEntry(text, kOrdinaryFlags);
    }
    entry->refCount = 1;
    state.handed.emplace(std::string(text), entry);
    state.handedEntries.insert(entry);
    return entry;
}

void StringAddRef(StringEntry* entry) {
    if (!entry) return;
    CacheState& state = State();
    std::lock_guard lock(state.mutex);
    if (!state.handedEntries.count(entry)) {
        Violation("string reference %p copied, but it is not a live string-cache entry",
                  static_cast<void*>(entry));
    }
    ++entry->refCount;
    ++state.liveRefs;
}

void StringReleaseEntry(StringEntry* entry) {
    CacheState& state = State();
    std::lock_guard lock(state.mutex);
    if (!state.handedEntries.count(entry)) {
        Violation(
            "string reference %p released, but it is not a live string-cache entry "
            "(released twice?)",
            static_cast<void*>(entry));
    }
    --state.liveRefs;
    if (--entry->refCount != 0) return;
    StringEntry* textEntry = (entry->flags & abi::kIndirectionFlag) ? entry->target : entry;
    state.handed.erase(std::string(
        reinterpret_cast<const char*>(textEntry) + offsetof(StringEntry, text), textEntry->length));
    state.handedEntries.erase(entry);
    if (textEntry != entry) FreeEntry(textEntry);
    FreeEntry(entry);
}

void CheckStringEntry(const StringEntry* entry, const char* what) {
    if (!entry) return;
    CacheState& state = State();
    std::lock_guard lock(state.mutex);
    if (!state.handedEntries.count(entry)) {
        Violation("%s: %p is not a live string-cache entry", what, static_cast<const void*>(entry));
    }
}

std::string StringText(const StringEntry* entry) {
    if (!entry) return {};
    CheckStringEntry(entry, "reading a string");
    while (entry->flags & abi::kIndirectionFlag) entry = entry->target;
    return std::string(reinterpret_cast<const char*>(entry) + offsetof(StringEntry, text),
                       entry->length);
}

uint64_t StringLiveRefs() {
    CacheState& state = State();
    std::lock_guard lock(state.mutex);
    return state.liveRefs;
}

void InstallStringRoutines(std::vector<std::pair<uintptr_t, abi::AnyFn>>& stubs) {
    stubs.emplace_back(abi::kStringFromText, reinterpret_cast<abi::AnyFn>(&StringFromText));
    stubs.emplace_back(abi::kStringSetText, reinterpret_cast<abi::AnyFn>(&StringSetText));
    stubs.emplace_back(abi::kStringRelease, reinterpret_cast<abi::AnyFn>(&StringRelease));
}

}  // namespace korvane::sim

namespace korvane {
std::string TextOf(const void* stringEntry) {
    return sim::StringText(static_cast<const sim::StringEntry*>(stringEntry));
}
}  // namespace korvane
