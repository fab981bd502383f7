// The two functions the script extender finds by name and calls once each,
// in this order, on its plug-in loading thread.
#include "common/debug_log.h"
#include "common/platform.h"
#include "plugin/native_catalogue.h"
#include "plugin/plexor_records.h"

#if defined(_WIN32)
#define QUILLMERE_EXPORT extern "C" __declspec(dllexport)
#else
#define QUILLMERE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace quillmere {
namespace {

constexpr char kPluginName[] = "Quillmere";
constexpr uint32_t kPluginVersion = 1;

uint32_t pluginHandle = 0xFFFFFFFF;
const ScriptInterface* scriptInterface = nullptr;

}  // namespace
}  // namespace quillmere

QUILLMERE_EXPORT bool PlexorPlugin_Query(const quillmere::PlexorInterface* plexor,
                                         quillmere::PluginDescription* info) {
    using namespace quillmere;
    IDebugLog::OpenInShellFolder(platform::kDocumentsFolder, kLogRelativePath);
    LogMessage("Quillmere plugin found.");

    info->descriptionVersion = 1;
    info->name = kPluginName;
    info->version = kPluginVersion;

    pluginHandle = plexor->getPluginHandle();

    if (plexor->runtimeVersion < minimumRuntimeVersion) {
        LogWarning(
            "WARNING: Unsupported runtime version %08X. Only v1.9.4 and higher is supported.",
            plexor->runtimeVersion);
    }
    return true;
}

QUILLMERE_EXPORT bool PlexorPlugin_Load(const quillmere::PlexorInterface* plexor) {
    using namespace quillmere;
    LogMessage("Quillmere plugin started to load.");

    scriptInterface =
        static_cast<const ScriptInterface*>(plexor->queryInterface(kScriptInterfaceId));
    if (scriptInterface == nullptr || scriptInterface->registerCallback == nullptr) {
        // Without the script interface no native can ever be registered;
        // saying so beats calling through a null record.
        LogError("the script extender offers no script interface; natives not registered");
        return false;
    }
    if (scriptInterface->registerCallback(&RegisterNatives)) {
        LogMessage("Register Succeeded");
    }
    return true;
}
