// Struct wrappers: fixed-shape records that natives hand back to scripts.
// Each shape is bound at compile time to one script struct by its full name
// ("Quillmere#SettlementItem"); writing a wrapper into a cell creates a struct
// of that type in the virtual machine and fills its members by position.
#pragma once

#include <cstddef>
#include <tuple>
#include <utility>

#include "vm/script_value.h"
#include "vm/vm_array.h"

namespace quillmere {

namespace detail {
// Struct data's member cells, one after another in declaration order.
VMValue* StructCells(StructData* data);
uint32_t StructMemberCount(TypeInfo* type);
TypeInfo* StructTypeInfo(VirtualMachine* vm, const char* scriptName);  // no reference kept
}  // namespace detail

template <const char* Name, typename... Members>
class VMStruct {
  public:
    static constexpr std::size_t kMemberCount = sizeof...(Members);
    static const char* ScriptName() { return Name; }

    VMStruct() = default;

    bool IsNone() const { return none_; }
    void SetNone(bool none) { none_ = none; }

    // Member I (counting from 0). With `update` and a bound struct, the
    // struct's own cell changes too; wrappers the library builds are unbound.
    template <std::size_t I, typename V>
    void Set(V&& value, bool update) {
        std::get<I>(members_) = std::forward<V>(value);
        if (update && data_ != nullptr) {
            ToScriptValue(&detail::StructCells(data_)[I], std::get<I>(members_),
                          host::CurrentMachine());
        }
    }
    template <std::size_t I>
    const auto& Get() const {
        return std::get<I>(members_);
    }

    void WriteToCell(VMValue& cell, VirtualMachine* vm) const {
        cell.SetNone();
        if (vm == nullptr) return;
        BSFixedString name(Name);
        TypeInfo* type = nullptr;
        if (!host::LookupStructType(vm, name.handle(), &type) || type == nullptr) return;
        // A script struct with more members than the wrapper knows is not
        // this shape; one with fewer has no cells for the extra members.
        // Either way the result is a plain None rather than a write outside
        // the struct data.
        if (detail::StructMemberCount(type) == kMemberCount) {
            StructData* data = CreateStruct(cell, vm, name, type);
            if (data != nullptr) {
                VMValue* cells = detail::StructCells(data);
                WriteMembers(cells, vm, std::index_sequence_for<Members...>{});
            }
        }
        host::TypeRelease(type);
    }

  private:
    // Makes the cell a struct of `type`, the type named `name` (looked up
    // once by the caller, who keeps its reference): its type word set, and a
    // new struct as payload unless the wrapper is None (a None of its own
    // type).
    StructData* CreateStruct(VMValue& cell, VirtualMachine* vm, const BSFixedString& name,
                             TypeInfo* type) const {
        cell.SetNone();
        cell.type = reinterpret_cast<uint64_t>(type);
        StructData* data = nullptr;
        if (!none_ && host::NewStruct(vm, name.handle(), &data) && data != nullptr) {
            cell.payload = reinterpret_cast<uint64_t>(data);
        } else {
            data = nullptr;
        }
        return data;
    }

    template <std::size_t... I>
    void WriteMembers(VMValue* cells, VirtualMachine* vm, std::index_sequence<I...>) const {
        (ToScriptValue(&cells[I], std::get<I>(members_), vm), ...);
    }

    bool none_ = false;
    StructData* data_ = nullptr;
    std::tuple<Members...> members_{};
};

template <const char* Name, typename... Members>
struct ScriptTraits<VMStruct<Name, Members...>> {
    using Struct = VMStruct<Name, Members...>;
    static uint64_t TypeWord(VirtualMachine* vm) {
        return reinterpret_cast<uint64_t>(detail::StructTypeInfo(vm, Name));
    }
    static uint64_t ArrayTypeWord(VirtualMachine* vm) {
        const uint64_t word = TypeWord(vm);
        return word == 0 ? 0 : (word | kArrayOfTypeBit);
    }
    static void To(VMValue& cell, const Struct& value, VirtualMachine* vm) {
        value.WriteToCell(cell, vm);
    }
    // Structs only travel from the library to scripts; reading one back is
    // never needed, so an array of structs read from a cell is None.
    static void From(const VMValue&, Struct& out) { out = Struct{}; }
};

template <const char* N, class A, class B, class C, class D>
using VMStruct4 = VMStruct<N, A, B, C, D>;
template <const char* N, class A, class B, class C, class D, class E, class F, class G>
using VMStruct7 = VMStruct<N, A, B, C, D, E, F, G>;
template <const char* N, class A, class B, class C, class D, class E, class F, class G, class H,
          class I>
using VMStruct9 = VMStruct<N, A, B, C, D, E, F, G, H, I>;
template <const char* N, class A, class B, class C, class D, class E, class F, class G, class H,
          class I, class J>
using VMStruct10 = VMStruct<N, A, B, C, D, E, F, G, H, I, J>;

}  // namespace quillmere
