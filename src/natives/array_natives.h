// General array natives for scripts: create, extend, overwrite and merge
// script arrays of Int, Float, String, Form and ObjectReference elements.
// One implementation serves every element type.
#pragma once

#include <cstdint>

#include "vm/native_function.h"
#include "vm/vm_array.h"

namespace quillmere {

template <typename T>
struct ArrayNatives {
    using Array = VMArray<T>;

    // A script's Int arrives as its 32 bits, so a negative count is a number
    // of 2^31 or more; no array of that size can be made, and trying would
    // exhaust memory. It gives None, like a count of 0.
    static constexpr uint32_t kMaxCount = 0x7FFFFFFF;

    // `count` elements of the type's empty value: 0, 0.0, "", None objects.
    static Array New(StaticFunctionTag*, uint32_t count) {
        Array result;
        if (count > kMaxCount) {
            result.MarkNone(true);
            return result;
        }
        const T fill{};
        for (uint32_t i = 0; i < count; ++i) result.Append(fill, true);
        result.MarkNone(false);
        return result;
    }

    // A new array: the argument's elements, then `value`. The argument is
    // left as it was.
    static Array Push(StaticFunctionTag*, Array array, T value) {
        Array result;
        AppendAll(result, array);
        result.Append(value, true);
        result.MarkNone(false);
        return result;
    }

    // Overwrites element `index`, in the result and in the script's own
    // array. An index at or beyond the length (any index of a None array)
    // writes nothing and returns the array as it was.
    static Array Set(StaticFunctionTag*, Array array, T value, uint32_t index) {
        array.WriteAt(value, index, true);
        array.MarkNone(false);
        return array;
    }

    // `first` followed by `second`'s elements. Each is also appended to the
    // script's first array itself, when there is one.
    static Array Merge(StaticFunctionTag*, Array first, Array second) {
        AppendAll(first, second);
        first.MarkNone(false);
        return first;
    }

  private:
    static void AppendAll(Array& to, const Array& from) {
        for (uint32_t i = 0; i < from.Count(); ++i) {
            T element{};
            from.ReadAt(element, i);
            to.Append(element, true);
        }
    }
};

// Built once, in array_natives.cpp.
extern template struct ArrayNatives<uint32_t>;
extern template struct ArrayNatives<float>;
extern template struct ArrayNatives<BSFixedString>;
extern template struct ArrayNatives<TESForm*>;
extern template struct ArrayNatives<TESObjectREFR*>;

using IntArrayNatives = ArrayNatives<uint32_t>;
using FloatArrayNatives = ArrayNatives<float>;
using StringArrayNatives = ArrayNatives<BSFixedString>;
using FormArrayNatives = ArrayNatives<TESForm*>;
using ObjectReferenceArrayNatives = ArrayNatives<TESObjectREFR*>;

}  // namespace quillmere
