// The records the script extender exchanges with the plug-in's two entry
// points. The extender lays them out; the offsets bind.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillmere {

struct VirtualMachine;

using RegistrationCallback = bool (*)(VirtualMachine* vm);

struct PlexorInterface {
    uint32_t notRead0;
    uint32_t runtimeVersion;
    uint64_t notRead8;
    void* (*queryInterface)(uint32_t id);
    uint32_t (*getPluginHandle)();
};
static_assert(offsetof(PlexorInterface, runtimeVersion) == 4);
static_assert(offsetof(PlexorInterface, queryInterface) == 16);
static_assert(offsetof(PlexorInterface, getPluginHandle) == 24);

struct PluginDescription {
    uint32_t descriptionVersion;
    uint32_t padding;
    const char* name;
    uint32_t version;
};
static_assert(offsetof(PluginDescription, descriptionVersion) == 0);
static_assert(offsetof(PluginDescription, name) == 8);
static_assert(offsetof(PluginDescription, version) == 16);

// What queryInterface returns for kScriptInterfaceId.
struct ScriptInterface {
    uint64_t notRead0;
    bool (*registerCallback)(RegistrationCallback callback);
};
static_assert(offsetof(ScriptInterface, registerCallback) == 8);

inline constexpr uint32_t kScriptInterfaceId = 3;
// v1.9.4: the oldest game runtime the host offsets were taken from.
inline constexpr uint32_t minimumRuntimeVersion = 0x01090040;

}  // namespace quillmere
