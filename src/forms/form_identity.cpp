#include "forms/form_identity.h"

#include <cstdio>

namespace quillmere {

std::string LocalIdText(uint32_t formId) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(LocalId(formId)));
    return text;
}

std::string GetFormIdentifier(const TESForm* form) {
    if (form == nullptr) return {};
    const uint32_t formId = host::FormId(form);
    const char* plugin = host::LoadedPluginName(LoadOrderIndex(formId));
    if (plugin == nullptr) return {};
    // Built as a string rather than in a fixed 260-byte buffer, so a plugin
    // name of any length gives the whole identifier.
    return std::string(plugin) + "|" + LocalIdText(formId);
}

std::string PluginOfForm(const TESForm* form, const std::string& fallback) {
    const std::string identifier = GetFormIdentifier(form);
    if (identifier.empty()) return fallback;
    return identifier.substr(0, identifier.find('|'));
}

}  // namespace quillmere
