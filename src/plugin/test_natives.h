// Two natives that exist only to exercise struct results end to end.
#pragma once

#include "vm/native_function.h"
#include "vm/script_structs.h"

namespace quillmere {

MyStruct GetOutData(StaticFunctionTag*);
VMArray<MyStruct> GetStructOutData(StaticFunctionTag*);

}  // namespace quillmere
