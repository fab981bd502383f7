// Naming game forms independently of the load order: the file name of the
// plugin that defines a form plus the form's local id.
#pragma once

#include <cstdint>
#include <string>

#include "vm/host_interface.h"

namespace quillmere {

// The base master: every blueprint requires it, and it is the plugin assumed
// for any form whose plugin cannot be found.
inline constexpr char kBaseMaster[] = "Korvane.esm";

inline uint32_t LoadOrderIndex(uint32_t formId) {
    return formId >> 24;
}
inline uint32_t LocalId(uint32_t formId) {
    return formId & 0xFFFFFFu;
}

// "%06X" of the local id: six upper-case hexadecimal digits.
std::string LocalIdText(uint32_t formId);

// "plugin|LOCALID" ("DLCRobot.esm|00ABCD"), or the empty text when no plugin
// is loaded at the form's load-order index (or the form is none).
std::string GetFormIdentifier(const TESForm* form);

// The plugin part of a form's identifier, or `fallback` when it is empty.
std::string PluginOfForm(const TESForm* form, const std::string& fallback);

}  // namespace quillmere
