#include "forms/location_natives.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "blueprint/settings.h"
#include "common/debug_log.h"

namespace quillmere {
namespace {

constexpr char kUnknownLocation[] = "Unknown Location";

// The game's add-on masters, compared exactly (case included). Their order
// here plays no part: results follow the load order.
constexpr std::array<std::string_view, 6> kAddOnMasters = {
    "DLCRobot.esm",      "DLCCoast.esm",      "DLCBrightvale.esm",
    "DLCworkshop01.esm", "DLCworkshop02.esm", "DLCworkshop03.esm",
};

// A location's name string, or null. Other form types keep their names
// elsewhere, so only a location is looked at.
StringCacheEntry* LocationName(const TESForm* location) {
    if (location == nullptr || host::FormTypeOf(location) != host::FormTypeLocation) return nullptr;
    return host::LocationFullName(location);
}

bool IsAddOnMaster(const char* fileName) {
    return fileName != nullptr && std::find(kAddOnMasters.begin(), kAddOnMasters.end(),
                                            std::string_view(fileName)) != kAddOnMasters.end();
}

}  // namespace

BSFixedString GetLocationName(StaticFunctionTag*, TESForm* location) {
    // The test is whether a name string is there at all, not its text.
    if (StringCacheEntry* name = LocationName(location)) {
        const char* text = host::StringText(name);
        if (ProgressLinesWanted())
            LogMessage("PapyrusQuillmere::GetLocationName location_name:%s", text);
        return BSFixedString(text);
    }
    if (ProgressLinesWanted()) {
        LogMessage("PapyrusQuillmere::GetLocationName location_name:%s", kUnknownLocation);
    }
    return BSFixedString(kUnknownLocation);
}

VMArray<uint32_t> GetDLCIndexArray(StaticFunctionTag*) {
    VMArray<uint32_t> result;
    const uint32_t count = host::LoadedPluginCount();
    for (uint32_t i = 0; i < count; ++i) {
        if (IsAddOnMaster(host::LoadedPluginName(i))) result.Append(i, true);
    }
    result.MarkNone(false);
    return result;
}

}  // namespace quillmere
