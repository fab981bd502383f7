// Natives that read a blueprint's header: its scalar values and the plugins
// its objects come from.
#pragma once

#include "vm/bs_fixed_string.h"
#include "vm/native_function.h"
#include "vm/script_structs.h"
#include "vm/vm_array.h"

namespace quillmere {

// The header's nine values; a None struct when the file cannot be read or
// has no header.
BlueprintHeader GetBlueprintHeader(StaticFunctionTag*, BSFixedString path);

// header.plugins_required in file order; None when the file cannot be read
// or has no header (and, as every empty array does, when the list is empty).
VMArray<BSFixedString> GetPluginsRequired(StaticFunctionTag*, BSFixedString path);

}  // namespace quillmere
