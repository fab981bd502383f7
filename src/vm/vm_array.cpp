#include "vm/vm_array.h"

#include <cstring>

namespace quillmere::detail {

VMValue* ArrayCells(ArrayData* data) {
    return host::Read<VMValue*>(data, host::layout::ArrayCells);
}
uint32_t ArrayCapacity(ArrayData* data) {
    return host::Read<uint32_t>(data, host::layout::ArrayCapacity);
}
uint32_t ArrayCount(ArrayData* data) {
    return host::Read<uint32_t>(data, host::layout::ArrayCount);
}

bool AppendToHostArray(ArrayData* data, const VMValue& value) {
    VMValue* cells = ArrayCells(data);
    uint32_t capacity = ArrayCapacity(data);
    uint32_t count = ArrayCount(data);
    if (cells == nullptr || capacity < count + 1) {
        const uint32_t newCapacity = cells == nullptr ? kArrayGrowth : capacity + kArrayGrowth;
        auto* grown = static_cast<VMValue*>(host::HeapAllocate(sizeof(VMValue) * newCapacity));
        if (grown == nullptr) return false;
        // Every new cell starts as None; the old cells' bits move over with
        // their references, so the old block is freed without clean-up.
        std::memset(static_cast<void*>(grown), 0, sizeof(VMValue) * newCapacity);
        if (cells == nullptr) {
            count = 0;
        } else {
            std::memcpy(static_cast<void*>(grown), cells, sizeof(VMValue) * count);
            host::HeapFree(cells);
        }
        cells = grown;
        capacity = newCapacity;
        host::Write(data, host::layout::ArrayCells, cells);
        host::Write(data, host::layout::ArrayCapacity, capacity);
    }
    host::ValueAssign(&cells[count], &value);
    host::Write(data, host::layout::ArrayCount, count + 1);
    return true;
}

}  // namespace quillmere::detail
