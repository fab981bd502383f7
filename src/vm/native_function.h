// Native-function objects: one per registered native, allocated on the host
// heap and owned by the virtual machine, which calls them through a table of
// 23 operations.
//
// The table is an explicit array of function pointers in the host's slot
// order, not a compiler vtable: g++ gives a virtual destructor two slots where
// the host expects one, and results returned through a caller's slot must use
// an explicit convention. Slot 22 (`Run`) is also the one boundary no C++
// exception may cross: it catches everything, logs it and leaves the result
// None.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <tuple>
#include <type_traits>
#include <utility>

#include "common/debug_log.h"
#include "vm/host_interface.h"
#include "vm/script_value.h"
#include "vm/vm_value.h"

namespace quillmere {

// The object a global native is called on: none. Natives receive a null
// pointer of this type first.
struct StaticFunctionTag {};

// 16 bytes per parameter: name handle (host's) and type word (ours).
struct ParamEntry {
    StringCacheEntry* name;
    uint64_t type;
};
static_assert(sizeof(ParamEntry) == 16);

struct NativeFunctionObject;

// The host calls these in slot order; every one takes the object first.
struct FunctionTable {
    void (*destroy)(NativeFunctionObject*, uint32_t flags);                                  // 0
    StringCacheEntry** (*getName)(NativeFunctionObject*);                                    // 1
    StringCacheEntry** (*getClassName)(NativeFunctionObject*);                               // 2
    StringCacheEntry** (*getAuxName)(NativeFunctionObject*);                                 // 3
    uint64_t* (*getReturnType)(NativeFunctionObject*, uint64_t* out);                        // 4
    uint16_t (*getParamCountB)(NativeFunctionObject*);                                       // 5
    bool (*getParamInfo)(NativeFunctionObject*, uint32_t, StringCacheEntry**, uint64_t*);    // 6
    uint16_t (*getParamCountA)(NativeFunctionObject*);                                       // 7
    bool (*isNative)(NativeFunctionObject*);                                                 // 8
    uint8_t (*getFlagA)(NativeFunctionObject*);                                              // 9
    bool (*getConstFalse)(NativeFunctionObject*);                                            // 10
    uint32_t (*getConstZero)(NativeFunctionObject*);                                         // 11
    uint32_t (*getValueC)(NativeFunctionObject*);                                            // 12
    StringCacheEntry** (*getAuxName2)(NativeFunctionObject*);                                // 13
    void (*doNothing)(NativeFunctionObject*);                                                // 14
    uint32_t (*hostForward)(NativeFunctionObject*, uint64_t, uint64_t, uint64_t, uint64_t);  // 15
    uint32_t (*hostQuery)(NativeFunctionObject*);                                            // 16
    bool (*queryIndexedNone)(NativeFunctionObject*, uint32_t, uint32_t* out);                // 17
    bool (*hostQueryIndexed)(NativeFunctionObject*, uint32_t, void*);                        // 18
    uint8_t (*getFlagB)(NativeFunctionObject*);                                              // 19
    void (*setFlagB)(NativeFunctionObject*, uint8_t);                                        // 20
    bool (*hasCallback)(NativeFunctionObject*);                                              // 21
    bool (*run)(NativeFunctionObject*, VMValue* base, VirtualMachine* vm, uint32_t stackId,
                VMValue* result, StackFrame* frame);  // 22
};
static_assert(sizeof(FunctionTable) == 23 * sizeof(void*));
static_assert(offsetof(FunctionTable, run) == 22 * sizeof(void*));

// The 88 bytes the host shares with us. The host's initialisation and
// teardown routines read and write the same memory.
struct NativeFunctionObject {
    const FunctionTable* table;
    uint64_t untouched8;
    StringCacheEntry* functionName;
    StringCacheEntry* className;
    StringCacheEntry* auxName;
    uint64_t returnType;
    ParamEntry* paramEntries;
    uint16_t paramCountA;
    uint16_t paramCountB;
    uint32_t untouched60;
    uint8_t flagA;
    uint8_t flagB;
    uint16_t untouched66;
    uint32_t valueC;
    StringCacheEntry* auxName2;
    void* callback;
};
static_assert(sizeof(NativeFunctionObject) == 88);
static_assert(offsetof(NativeFunctionObject, functionName) == 16);
static_assert(offsetof(NativeFunctionObject, className) == 24);
static_assert(offsetof(NativeFunctionObject, auxName) == 32);
static_assert(offsetof(NativeFunctionObject, returnType) == 40);
static_assert(offsetof(NativeFunctionObject, paramEntries) == 48);
static_assert(offsetof(NativeFunctionObject, paramCountA) == 56);
static_assert(offsetof(NativeFunctionObject, paramCountB) == 58);
static_assert(offsetof(NativeFunctionObject, flagA) == 64);
static_assert(offsetof(NativeFunctionObject, flagB) == 65);
static_assert(offsetof(NativeFunctionObject, valueC) == 68);
static_assert(offsetof(NativeFunctionObject, auxName2) == 72);
static_assert(offsetof(NativeFunctionObject, callback) == 80);

namespace detail {
// Slots 0 to 21 behave alike for every native; only Run depends on the types.
FunctionTable CommonFunctionTable();
// Allocates the object on the host heap and lays down everything but the
// typed parts; null when the heap declines or the host's set-up fails.
NativeFunctionObject* ConstructFunctionObject(const FunctionTable* table, const char* name,
                                              const char* className, uint32_t paramCount,
                                              void* callback);
void DestroyFunctionObject(NativeFunctionObject* object);
void ReportRunFailure(NativeFunctionObject* object, const char* what);
}  // namespace detail

// One function object for every arity: the arguments are read into a tuple by
// one pack expansion over their indices (fetched in order 0..N-1), then the
// native is called once.
template <typename Base, typename Result, typename... Args>
class NativeFunctionN {
  public:
    using Callback = Result (*)(Base*, Args...);
    static constexpr uint32_t kArity = sizeof...(Args);

    // Creates the object for `callback`, named `name` in script class
    // `className`, with its parameter and result types set up for `vm`.
    static NativeFunctionObject* Create(const char* name, const char* className, Callback callback,
                                        VirtualMachine* vm) {
        NativeFunctionObject* object = detail::ConstructFunctionObject(
            &kTable, name, className, kArity, reinterpret_cast<void*>(callback));
        if (object == nullptr) return nullptr;
        try {
            SetUpParameters(object, vm, std::index_sequence_for<Args...>{});
        } catch (...) {
            detail::DestroyFunctionObject(object);
            return nullptr;
        }
        return object;
    }

  private:
    template <std::size_t... K>
    static void SetUpParameters(NativeFunctionObject* object, VirtualMachine* vm,
                                std::index_sequence<K...>) {
        ((object->paramEntries[K].type = ScriptTraits<std::decay_t<Args>>::TypeWord(vm)), ...);
        object->returnType = ScriptTraits<Result>::TypeWord(vm);
    }

    template <std::size_t... K>
    static void ReadArguments([[maybe_unused]] std::tuple<std::decay_t<Args>...>& locals,
                              [[maybe_unused]] StackFrame* frame,
                              [[maybe_unused]] uint32_t position, std::index_sequence<K...>) {
        // A fold over the comma operator runs left to right: indices 0..N-1.
        (FromScriptValue(host::ArgumentValue(frame, static_cast<uint32_t>(K), position),
                         std::get<K>(locals)),
         ...);
    }

    static bool Run(NativeFunctionObject* self, VMValue* /*base*/, VirtualMachine* vm,
                    uint32_t /*stackId*/, VMValue* result, StackFrame* frame) {
        try {
            const uint32_t position = host::ArgumentOffset(frame);
            std::tuple<std::decay_t<Args>...> locals;
            ReadArguments(locals, frame, position, std::index_sequence_for<Args...>{});
            auto callback = reinterpret_cast<Callback>(self->callback);
            Result value = std::apply(
                [callback](auto&... args) {
                    return callback(static_cast<Base*>(nullptr), args...);
                },
                locals);
            ToScriptValue(result, value, vm);
        } catch (const std::exception& e) {
            detail::ReportRunFailure(self, e.what());
            result->SetNone();
        } catch (...) {
            detail::ReportRunFailure(self, "unknown exception");
            result->SetNone();
        }
        return true;
    }

    static FunctionTable MakeTable() {
        FunctionTable table = detail::CommonFunctionTable();
        table.run = &Run;
        return table;
    }
    static inline const FunctionTable kTable = MakeTable();
};

template <class B, class R>
using NativeFunction0 = NativeFunctionN<B, R>;
template <class B, class R, class A0>
using NativeFunction1 = NativeFunctionN<B, R, A0>;
template <class B, class R, class A0, class A1>
using NativeFunction2 = NativeFunctionN<B, R, A0, A1>;
template <class B, class R, class A0, class A1, class A2>
using NativeFunction3 = NativeFunctionN<B, R, A0, A1, A2>;
template <class B, class R, class A0, class A1, class A2, class A3>
using NativeFunction4 = NativeFunctionN<B, R, A0, A1, A2, A3>;
template <class B, class R, class A0, class A1, class A2, class A3, class A4>
using NativeFunction5 = NativeFunctionN<B, R, A0, A1, A2, A3, A4>;
template <class B, class R, class A0, class A1, class A2, class A3, class A4, class A5>
using NativeFunction6 = NativeFunctionN<B, R, A0, A1, A2, A3, A4, A5>;
template <class B, class R, class A0, class A1, class A2, class A3, class A4, class A5, class A6>
using NativeFunction7 = NativeFunctionN<B, R, A0, A1, A2, A3, A4, A5, A6>;
template <class B, class R, class A0, class A1, class A2, class A3, class A4, class A5, class A6,
          class A7>
using NativeFunction8 = NativeFunctionN<B, R, A0, A1, A2, A3, A4, A5, A6, A7>;

}  // namespace quillmere
