// Game state the plug-in reads directly: forms (id at 0x14, type at 0x1A, a
// location's full name at 0x28), the display names of placed references, and
// the table of loaded plugins.
#include <cstring>
#include <stdexcept>
#include <string>

#include "sim_world.h"

namespace korvane {

uint32_t Form::FormId() const {
    uint32_t id = 0;
    std::memcpy(&id, raw + abi::kFormIdOffset, sizeof id);
    return id;
}

uint8_t Form::TypeCode() const {
    return raw[abi::kFormTypeOffset];
}

}  // namespace korvane

namespace korvane::sim {

namespace {

struct GameState {
    std::mutex mutex;
    // Every form is allocated as a reference: the two share one layout, so a
    // form added again with another type keeps its address.
    std::map<uint32_t, std::unique_ptr<ObjectReference>> forms;
    std::map<const Form*, std::string> displayNames;
    abi::PluginTable table{};
    std::vector<std::unique_ptr<abi::PluginRecord>> plugins;
};

GameState& State() {
    static auto* state = new GameState;
    return *state;
}

StringEntry* FullName(const Form* form) {
    StringEntry* name = nullptr;
    std::memcpy(&name, form->raw + abi::kFullNameOffset, sizeof name);
    return name;
}

const char* ReferenceDisplayName(const Form* ref) {
    if (!ref) Violation("ReferenceDisplayName with a null reference");
    GameState& state = State();
    std::lock_guard lock(state.mutex);
    auto form = state.forms.find(ref->FormId());
    if (form == state.forms.end() || form->second.get() != ref) {
        Violation("ReferenceDisplayName of %p, which is not a form of this host",
                  static_cast<const void*>(ref));
    }
    auto it = state.displayNames.find(ref);
    return it == state.displayNames.end() ? nullptr : it->second.c_str();
}

}  // namespace

Form* FormById(uint32_t formId) {
    GameState& state = State();
    std::lock_guard lock(state.mutex);
    auto it = state.forms.find(formId);
    return it == state.forms.end() ? nullptr : it->second.get();
}

Form* GameAddForm(uint32_t formId, uint8_t formType, const std::string* fullName,
                  const std::string* displayName) {
    GameState& state = State();
    std::lock_guard lock(state.mutex);
    // A form id names one form: adding it again updates that form in place.
    auto& slot = state.forms[formId];
    if (!slot) slot = std::make_unique<ObjectReference>();
    Form* form = slot.get();
    std::memcpy(form->raw + abi::kFormIdOffset, &formId, sizeof formId);
    form->raw[abi::kFormTypeOffset] = formType;
    if (StringEntry* old = FullName(form)) StringReleaseEntry(old);
    StringEntry* name = fullName ? StringAcquire(*fullName) : nullptr;
    std::memcpy(form->raw + abi::kFullNameOffset, &name, sizeof name);
    if (displayName) {
        state.displayNames[form] = *displayName;
    } else {
        state.displayNames.erase(form);
    }
    return form;
}

void GameSetLoadOrder(const std::vector<std::string>& pluginFileNames) {
    if (pluginFileNames.size() > abi::kMaxPlugins) {
        throw std::invalid_argument("more than 256 plugins in the load order");
    }
    GameState& state = State();
    std::lock_guard lock(state.mutex);
    state.table = abi::PluginTable{};
    state.plugins.clear();
    for (std::size_t i = 0; i < pluginFileNames.size(); ++i) {
        const std::string& name = pluginFileNames[i];
        if (name.empty()) continue;
        if (name.size() >= sizeof(abi::PluginRecord::fileName)) {
            throw std::invalid_argument("plugin file name longer than 259 characters");
        }
        auto record = std::make_unique<abi::PluginRecord>();
        std::memset(record->head, 0x50, sizeof record->head);
        std::memset(record->fileName, 0, sizeof record->fileName);
        std::memcpy(record->fileName, name.data(), name.size());
        state.table.plugins[i] = record.get();
        state.plugins.push_back(std::move(record));
    }
    state.table.count = static_cast<uint32_t>(pluginFileNames.size());
}

void GameReset() {
    GameState& state = State();
    std::lock_guard lock(state.mutex);
    for (auto& [id, form] : state.forms) {
        if (StringEntry* name = FullName(form.get())) StringReleaseEntry(name);
    }
    state.forms.clear();
    state.displayNames.clear();
    state.table = abi::PluginTable{};
    state.plugins.clear();
}

void* PluginTableObject() {
    return &State().table;
}

void InstallGameRoutines(std::vector<std::pair<uintptr_t, abi::AnyFn>>& stubs) {
    stubs.emplace_back(abi::kReferenceDisplayName,
                       reinterpret_cast<abi::AnyFn>(&ReferenceDisplayName));
}

}  // namespace korvane::sim
