// Two natives that tell scripts facts about the running game: a location's
// display name, and where the game's add-ons sit in the load order.
#pragma once

#include <cstdint>

#include "vm/bs_fixed_string.h"
#include "vm/native_function.h"
#include "vm/vm_array.h"

namespace quillmere {

// The location's own name string, even an empty one; "Unknown Location" when
// it has none or the argument is None.
BSFixedString GetLocationName(StaticFunctionTag*, TESForm* location);

// Load-order indices of the loaded add-on masters, ascending. Never None
// natively; with no add-on loaded it has no elements and so reaches the
// script as None.
VMArray<uint32_t> GetDLCIndexArray(StaticFunctionTag*);

}  // namespace quillmere
