// The script extender: loads the plug-in by file name, finds its two entry
// points by name and calls them in order with its records, keeps the
// registration callback, and calls it with the virtual machine when asked.
// Libraries stay loaded for the life of the process: the plug-in's static
// state is process-wide, as in the game.
#include <cstring>

#include "sim_world.h"

namespace korvane::sim {

namespace {

struct ExtenderState {
    std::mutex mutex;
    std::map<std::string, void*> libraries;
    abi::RegistrationCallback callback = nullptr;
    // The session under way: the records' functions take no context.
    LoadOptions options;
    LoadReport* report = nullptr;
};

ExtenderState& State() {
    static auto* state = new ExtenderState;
    return *state;
}

bool RegisterCallback(abi::RegistrationCallback callback) {
    ExtenderState& state = State();
    if (state.report) state.report->callbackOffered = true;
    if (state.options.refuseRegistrationCallback) return false;
    state.callback = callback;
    if (state.report) state.report->callbackAccepted = true;
    return true;
}

abi::ScriptInterface scriptInterface{1, &RegisterCallback};

void* QueryInterface(uint32_t id) {
    ExtenderState& state = State();
    if (state.report) state.report->interfacesQueried.push_back(id);
    if (id == abi::kScriptInterfaceId && !state.options.nullScriptInterface)
        return &scriptInterface;
    return nullptr;
}

uint32_t GetPluginHandle() {
    ExtenderState& state = State();
    if (state.report) state.report->pluginHandleAsked = true;
    return state.options.pluginHandle;
}

// The records live as long as the process: the plug-in may keep pointers.
abi::PlexorInterface plexorInterface{0xA5A5A5A5u, 0, 0xA5A5A5A5A5A5A5A5ull, &QueryInterface,
                                     &GetPluginHandle};

}  // namespace

LoadReport LoadPluginLibrary(const std::string& path, const LoadOptions& options) {
    ExtenderState& state = State();
    std::lock_guard lock(state.mutex);
    LoadReport report;
    void* library = nullptr;
    if (auto it = state.libraries.find(path); it != state.libraries.end()) {
        library = it->second;
    } else {
        library = OpenLibrary(path, report.error);
        if (!library) return report;
        state.libraries.emplace(path, library);
    }
    auto query = reinterpret_cast<abi::QueryEntry>(LibrarySymbol(library, "PlexorPlugin_Query"));
    auto load = reinterpret_cast<abi::LoadEntry>(LibrarySymbol(library, "PlexorPlugin_Load"));
    if (!query || !load) {
        report.error = std::string("the library does not export ") +
                       (!query ? "PlexorPlugin_Query" : "PlexorPlugin_Load");
        return report;
    }
    report.loaded = true;
    state.options = options;
    state.report = &report;
    plexorInterface.runtimeVersion = options.runtimeVersion;

    abi::PluginDescription description;
    std::memset(&description, 0xCC, sizeof description);  // what the library leaves shows
    report.queryReturned = query(&plexorInterface, &description);
    report.descriptionVersion = description.descriptionVersion;
    report.descriptionNamePointer = description.name;
    if (description.name) report.descriptionName = description.name;
    report.descriptionVersionNumber = description.version;
    report.loadReturned = load(&plexorInterface);

    state.report = nullptr;
    return report;
}

bool CallRegistration(void* vm) {
    abi::RegistrationCallback callback = nullptr;
    {
        ExtenderState& state = State();
        std::lock_guard lock(state.mutex);
        callback = state.callback;
    }
    return callback && callback(vm);
}

}  // namespace korvane::sim
