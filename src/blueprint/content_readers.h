// Natives that read a blueprint's body for the scripts that rebuild a
// settlement: the owning workshop, every placed object, and every object's
// flags. The two item arrays are parallel: element k of each comes from
// element k of the file's items.
#pragma once

#include "vm/bs_fixed_string.h"
#include "vm/native_function.h"
#include "vm/script_structs.h"
#include "vm/vm_array.h"

namespace quillmere {

// The workshop section; a None struct when the file cannot be read or has no
// workshop.
WorkshopData GetWorkshopData(StaticFunctionTag*, BSFixedString path);

// One struct per element of items, in file order, however many there are;
// None when the file cannot be read or has no items.
VMArray<SettlementItem> GetItemsFromBlueprint(StaticFunctionTag*, BSFixedString path);
VMArray<ExtraProperties> GetExtraPropsFromBlueprint(StaticFunctionTag*, BSFixedString path);

}  // namespace quillmere
