// Game state the plug-in reads directly: forms (id at 0x14, type at 0x1A, a
// location's full name at 0x28), the display names of placed references, and
// the table of loaded plugins.
#include <cstring>
#include <stdexcept>

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
    std::map<uint32_t, Form*> forms;
    std::vector<std::unique_ptr<Form>> plainForms;
    std::vector<std::unique_ptr<ObjectReference>> references;
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
    if (form == state.forms.end() || form->second != ref) {
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
    return it == state.forms.end() ? nullptr : it->second;
}

Form* GameAddForm(uint32_t formId, uint8_t formType, const std::string* fullName,
                  const std::string* displayName) {
    GameState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.forms.count(formId)) {
        throw std::invalid_argument("a form with id " + std::to_string(formId) + " exists already");
    }
    Form* form = nullptr;
    if (formType == static_cast<uint8_t>(FormType::ObjectReference)) {
        form = state.references.emplace_back(std::make_unique<ObjectReference>()).get();
    } else {
        form = state.plainForms.emplace_back(std::make_unique<Form>()).get();
    }
    std::memcpy(form->raw + abi::kFormIdOffset, &formId, sizeof formId);
    form->raw[abi::kFormTypeOffset] = formType;
    if (fullName) {
        StringEntry* name = StringAcquire(*fullName);
        std::memcpy(form->raw + abi::kFullNameOffset, &name, sizeof name);
    }
    if (displayName) state.displayNames[form] = *displayName;
    state.forms.emplace(formId, form);
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
        if (StringEntry* name = FullName(form)) StringReleaseEntry(name);
    }
    state.forms.clear();
    state.plainForms.clear();
    state.references.clear();
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
