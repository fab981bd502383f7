// VMArray<T>: the native side of one script array. It keeps its own copies of
// the element cells and, when it was read from a script's argument, a link to
// that script array, so that WriteAt and Append with `update` change the
// script's own array in place. An array with no elements always reaches a
// script as None.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "vm/script_value.h"

namespace quillmere {

namespace detail {
// Host array storage grows in steps of this many cells.
inline constexpr uint32_t kArrayGrowth = 10;

VMValue* ArrayCells(ArrayData* data);
uint32_t ArrayCapacity(ArrayData* data);
uint32_t ArrayCount(ArrayData* data);
// Appends a copy of `value` to the host array's storage, growing it by 10
// cells when full. Returns false (nothing appended) when the heap declines.
bool AppendToHostArray(ArrayData* data, const VMValue& value);
}  // namespace detail

template <typename T>
class VMArray {
  public:
    using Element = T;

    VMArray() = default;

    uint32_t Count() const { return static_cast<uint32_t>(elements_.size()); }
    bool IsNone() const { return none_; }
    void MarkNone(bool none) { none_ = none; }
    ArrayData* HostArray() const { return hostArray_; }

    // Reads element `index`; an index at or beyond Count leaves `out` alone
    // and reports false.
    bool ReadAt(T& out, uint32_t index) const {
        if (index >= Count()) return false;
        FromScriptValue(&elements_[index], out);
        return true;
    }

    // Overwrites element `index` (and, with `update`, the script array's
    // cell of that index). Out-of-range indices are ignored, on either side.
    bool WriteAt(const T& value, uint32_t index, bool update) {
        if (index >= Count()) return false;
        ToScriptValue(&elements_[index], value, host::CurrentMachine());
        if (update && hostArray_ != nullptr && index < detail::ArrayCount(hostArray_)) {
            host::ValueAssign(&detail::ArrayCells(hostArray_)[index], &elements_[index]);
        }
        return true;
    }

    // Whether element `index` holds an object or struct rather than a None:
    // a struct appended while the host declined to make it is a None.
    void Append(const T& value, bool update) {
        VMValue cell;
        ToScriptValue(&cell, value, host::CurrentMachine());
        if (update && hostArray_ != nullptr) detail::AppendToHostArray(hostArray_, cell);
        elements_.push_back(std::move(cell));
    }

    // Used by the conversions below.
    void ReadFromCell(const VMValue& cell) {
        hostArray_ = nullptr;
        elements_.clear();
        const uint64_t word = ScriptTraits<T>::ArrayTypeWord(host::CurrentMachine());
        auto* data = reinterpret_cast<ArrayData*>(cell.payload);
        if (word == 0 || cell.type != word || data == nullptr) {
            none_ = true;
            return;
        }
        none_ = false;
        hostArray_ = data;
        const uint32_t count = detail::ArrayCount(data);
        const VMValue* cells = detail::ArrayCells(data);
        if (cells == nullptr) return;
        elements_.resize(count);
        for (uint32_t i = 0; i < count; ++i) elements_[i] = cells[i];
    }

    void WriteToCell(VMValue& cell, VirtualMachine* vm) {
        cell.SetNone();
        cell.type = ScriptTraits<T>::ArrayTypeWord(vm);
        ArrayData* data = nullptr;
        if (cell.type != 0 && !elements_.empty() && !none_ && vm != nullptr &&
            host::NewArray(vm, &cell, Count(), &data) && data != nullptr) {
            cell.payload = reinterpret_cast<uint64_t>(data);
            const uint32_t count = detail::ArrayCount(data);
            VMValue* cells = detail::ArrayCells(data);
            for (uint32_t i = 0; i < count && i < Count() && cells != nullptr; ++i) {
                cells[i] = elements_[i];
            }
        }
        // Writing hands the elements over: the wrapper is empty afterwards.
        elements_.clear();
    }

  private:
    ArrayData* hostArray_ = nullptr;
    std::vector<VMValue> elements_;
    bool none_ = false;
};

template <typename T>
struct ScriptTraits<VMArray<T>> {
    static uint64_t TypeWord(VirtualMachine* vm) { return ScriptTraits<T>::ArrayTypeWord(vm); }
    static void From(const VMValue& cell, VMArray<T>& out) { out.ReadFromCell(cell); }
    // Writing hands the elements to the new script array and empties the
    // wrapper: writing the same wrapper again gives a None array.
    static void To(VMValue& cell, VMArray<T>& value, VirtualMachine* vm) {
        value.WriteToCell(cell, vm);
    }
};

}  // namespace quillmere
