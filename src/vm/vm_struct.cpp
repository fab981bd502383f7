#include "vm/vm_struct.h"

namespace quillmere::detail {

VMValue* StructCells(StructData* data) {
    return host::FieldAddress<VMValue>(data, host::layout::StructCells);
}

uint32_t StructMemberCount(TypeInfo* type) {
    return host::Read<uint32_t>(type, host::layout::TypeInfoMemberCount);
}

TypeInfo* StructTypeInfo(VirtualMachine* vm, const char* scriptName) {
    if (vm == nullptr) return nullptr;
    BSFixedString name(scriptName);
    TypeInfo* type = nullptr;
    if (!host::LookupStructType(vm, name.handle(), &type) || type == nullptr) return nullptr;
    // The machine keeps declared struct types alive; only the pointer is kept.
    host::TypeRelease(type);
    return type;
}

}  // namespace quillmere::detail
