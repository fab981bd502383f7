// Tables of operations for the host objects the plug-in calls into. Every
// slot the host does not offer holds a trap that names the table and the
// slot, so a call through a wrong slot stops with a clear message instead of
// landing in an unrelated routine.
#pragma once

#include <array>
#include <initializer_list>
#include <utility>

#include "sim_world.h"

namespace korvane::sim {

enum class TableTag { VirtualMachine, HandlePolicy, TypeInfo, Identifier, BindPolicy };

inline const char* TableName(TableTag tag) {
    switch (tag) {
        case TableTag::VirtualMachine:
            return "virtual machine";
        case TableTag::HandlePolicy:
            return "handle policy";
        case TableTag::TypeInfo:
            return "type information";
        case TableTag::Identifier:
            return "identifier";
        case TableTag::BindPolicy:
            return "bind policy";
    }
    return "?";
}

template <TableTag Tag, int Slot>
void TrapSlot(void* object) {
    Violation("%s slot %d called on %p; the host offers no operation there", TableName(Tag), Slot,
              object);
}

template <TableTag Tag, std::size_t... Slots>
std::array<abi::AnyFn, sizeof...(Slots)> TrapTable(std::index_sequence<Slots...>) {
    return {reinterpret_cast<abi::AnyFn>(&TrapSlot<Tag, static_cast<int>(Slots)>)...};
}

template <TableTag Tag, std::size_t Count>
std::array<abi::AnyFn, Count> MakeTable(std::initializer_list<std::pair<int, abi::AnyFn>> slots) {
    auto table = TrapTable<Tag>(std::make_index_sequence<Count>{});
    for (const auto& [slot, fn] : slots) table[static_cast<std::size_t>(slot)] = fn;
    return table;
}

template <class F>
abi::AnyFn Slot(F* fn) {
    return reinterpret_cast<abi::AnyFn>(fn);
}

}  // namespace korvane::sim
