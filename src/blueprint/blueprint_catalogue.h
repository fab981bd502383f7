// LoadBlueprintList: what each of the ten slot folders below the blueprints
// folder holds, as scripts see it before they pick a blueprint to read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vm/bs_fixed_string.h"
#include "vm/native_function.h"
#include "vm/vm_array.h"

namespace quillmere {

inline constexpr uint32_t kBlueprintSlotCount = 10;

// Data/Plexor/Plugins/Quillmere/blueprints/, relative to the working folder.
std::string BlueprintsDir();
// The folder of slot `slot` (1 to 10): BlueprintsDir() + the number, with no
// leading zeros and no trailing separator.
std::string BlueprintSlotDir(uint32_t slot);

// The text after the last "." of a directory entry's name; a name without a
// "." is its own extension.
std::string_view FileExtension(std::string_view name);
// Whether an entry counts as a slot's blueprint: its extension is exactly
// "json" (case-sensitive). Files and folders alike.
bool IsBlueprintEntry(std::string_view name);

// One element per slot, in slot order: the first blueprint entry's name as
// the directory reports it, "empty" when the folder holds none, "none" when
// the folder cannot be opened. None when the blueprints folder cannot be
// opened. The argument is not read.
VMArray<BSFixedString> LoadBlueprintList(StaticFunctionTag*, BSFixedString unused);

}  // namespace quillmere
