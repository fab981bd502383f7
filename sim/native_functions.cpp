// The host's side of native-function objects: the routines the library's
// constructor, destructor and forwarding slots call, the registry the machine
// keeps of the functions it owns, and their destruction through slot 0 when
// the machine goes away.
#include <cinttypes>
#include <cstring>

#include "slot_tables.h"

namespace korvane::sim {

namespace {

using abi::FunctionObject;
using abi::ParamEntry;

struct NativeState {
    std::mutex mutex;
    std::map<const void*, uint32_t> initialised;  // function object -> parameter count
};

NativeState& State() {
    static auto* state = new NativeState;
    return *state;
}

template <class Sig>
Sig* SlotOf(const void* object, int slot) {
    const auto* table = *static_cast<const abi::AnyFn* const*>(object);
    return reinterpret_cast<Sig*>(table[slot]);
}

void CheckFunctionMemory(const void* fn, const char* what) {
    if (!HeapIsLive(fn)) {
        Violation("%s: function object %p was not allocated from the host heap", what, fn);
    }
    if (HeapBlockSize(fn) < sizeof(FunctionObject)) {
        Violation("%s: function object %p is a block of %zu bytes, less than %zu", what, fn,
                  HeapBlockSize(fn), sizeof(FunctionObject));
    }
}

uint32_t InitialisedCount(const void* fn, const char* what) {
    NativeState& state = State();
    std::lock_guard lock(state.mutex);
    auto it = state.initialised.find(fn);
    if (it == state.initialised.end()) {
        Violation("%s: %p is no function object set up by HostNativeInit", what, fn);
    }
    return it->second;
}

void ReleaseName(StringEntry*& name, const char* what) {
    CheckStringEntry(name, what);
    if (name) StringReleaseEntry(name);
    name = nullptr;
}

void HostNativeInit(void* object, const char* name, const char* className, uint32_t isStatic,
                    uint32_t paramCount) {
    CheckFunctionMemory(object, "HostNativeInit");
    if (!name || !className) Violation("HostNativeInit with a null name or class name");
    auto* fn = static_cast<FunctionObject*>(object);
    // The library's base part set the names to empty strings; those
    // references are the host's to replace.
    ReleaseName(fn->functionName, "HostNativeInit: the name set before it");
    ReleaseName(fn->className, "HostNativeInit: the class name set before it");
    fn->functionName = StringAcquire(name);
    fn->className = StringAcquire(className);
    fn->paramEntries = static_cast<ParamEntry*>(
        HeapAllocateInternal(sizeof(ParamEntry) * (paramCount ? paramCount : 1)));
    for (uint32_t i = 0; i < paramCount; ++i) {
        fn->paramEntries[i].name = StringAcquire("arg" + std::to_string(i));
        fn->paramEntries[i].type = abi::type::kNone;
    }
    fn->paramCountA = static_cast<uint16_t>(paramCount);
    fn->paramCountB = static_cast<uint16_t>(paramCount);
    fn->flagA = isStatic ? 1 : 0;
    fn->flagB = 0;
    fn->valueC = 0;
    NativeState& state = State();
    std::lock_guard lock(state.mutex);
    state.initialised[object] = paramCount;
}

void HostNativeTeardown(void* object) {
    const uint32_t count = InitialisedCount(object, "HostNativeTeardown");
    auto* fn = static_cast<FunctionObject*>(object);
    ReleaseName(fn->functionName, "HostNativeTeardown: functionName");
    ReleaseName(fn->className, "HostNativeTeardown: className");
    ReleaseName(fn->auxName, "HostNativeTeardown: auxName");
    ReleaseName(fn->auxName2, "HostNativeTeardown: auxName2");
    for (uint32_t i = 0; i < count; ++i)
        ReleaseName(fn->paramEntries[i].name, "HostNativeTeardown: parameter name");
    HeapFreeInternal(fn->paramEntries);
    fn->paramEntries = nullptr;
    NativeState& state = State();
    std::lock_guard lock(state.mutex);
    state.initialised.erase(object);
}

bool HostParamInfo(void* paramTable, uint32_t index, StringEntry** nameOut, uint64_t* typeOut) {
    void* object = static_cast<unsigned char*>(paramTable) - offsetof(FunctionObject, paramEntries);
    InitialisedCount(object, "HostParamInfo (parameter table minus 48)");
    const auto* fn = static_cast<const FunctionObject*>(object);
    if (index >= fn->paramCountA) return false;
    // The caller receives a reference of its own.
    *nameOut = StringAcquire(StringText(fn->paramEntries[index].name));
    *typeOut = fn->paramEntries[index].type;
    return true;
}

// Deterministic answers, documented in korvane_sim.h, so tests can see that
// the library's forwarding slots pass values through unchanged.
uint32_t HostNativeForward(void* object, uint64_t a, uint64_t b, uint64_t c, uint64_t d) {
    InitialisedCount(object, "HostNativeForward");
    return static_cast<uint32_t>(a + 2 * b + 3 * c + 4 * d);
}

uint32_t HostNativeQuery(void* object) {
    return 0x5100 + InitialisedCount(object, "HostNativeQuery");
}

bool HostNativeQueryIndexed(void* object, uint32_t number, void* address) {
    const uint32_t count = InitialisedCount(object, "HostNativeQueryIndexed");
    if (!address) return false;
    const uint32_t answer = number * 2 + 1;
    std::memcpy(address, &answer, sizeof answer);
    return number < count;
}

void CheckFrame(const void* firstField, const abi::StackFrame* frame, const char* what) {
    const abi::StackFrame* current = CurrentCall().frame;
    if (!current || frame != current) {
        Violation("%s with frame %p, which is not the frame of the call under way", what,
                  static_cast<const void*>(frame));
    }
    if (firstField != frame->firstField) {
        Violation("%s with %p as the frame's first field; the frame holds %p", what, firstField,
                  frame->firstField);
    }
}

uint32_t HostArgumentOffset(void* firstField, abi::StackFrame* frame) {
    CheckFrame(firstField, frame, "HostArgumentOffset");
    ++CurrentCall().trace->argumentOffsetQueries;
    return frame->position;
}

Cell* HostArgumentValue(void* firstField, abi::StackFrame* frame, uint32_t index,
                        uint32_t position) {
    CheckFrame(firstField, frame, "HostArgumentValue");
    if (position != frame->position) {
        Violation("HostArgumentValue with position %u; the call's arguments start at %u", position,
                  frame->position);
    }
    if (index >= frame->argCount) {
        Violation("HostArgumentValue for argument %u; the script passed %u", index,
                  frame->argCount);
    }
    CurrentCall().trace->argumentIndices.push_back(index);
    return &frame->stackCells[position + index];
}

}  // namespace

void RegisterFunctionSlot(void* vm, void* object) {
    MachineState& machine = MachineOf(vm, "RegisterFunction");
    CheckFunctionMemory(object, "RegisterFunction");
    const uint32_t count = InitialisedCount(object, "RegisterFunction");
    RegisteredFunction entry;
    entry.object = object;
    // Read through the function's own slots, as the machine does.
    entry.name = StringText(*SlotOf<StringEntry**(void*)>(object, abi::function::kGetName)(object));
    entry.className =
        StringText(*SlotOf<StringEntry**(void*)>(object, abi::function::kGetClassName)(object));
    uint64_t returnType = 0;
    uint64_t* answered = SlotOf<uint64_t*(void*, uint64_t*)>(object, abi::function::kGetReturnType)(
        object, &returnType);
    if (answered != &returnType) {
        Violation("GetReturnType of %s.%s returned %p, not the caller's slot %p",
                  entry.className.c_str(), entry.name.c_str(), static_cast<void*>(answered),
                  static_cast<void*>(&returnType));
    }
    entry.returnType = returnType;
    auto* paramInfo = SlotOf<bool(void*, uint32_t, StringEntry**, uint64_t*)>(
        object, abi::function::kGetParamInfo);
    for (uint32_t i = 0; i < count; ++i) {
        StringEntry* name = nullptr;
        uint64_t type = 0;
        if (!paramInfo(object, i, &name, &type)) {
            Violation("GetParamInfo of %s.%s refused parameter %u of %u", entry.className.c_str(),
                      entry.name.c_str(), i, count);
        }
        if (name) StringReleaseEntry(name);
        entry.paramTypes.push_back(type);
    }
    machine.functions.push_back(std::move(entry));
}

void DestroyRegisteredFunctions(MachineState& machine) {
    NativeState& state = State();
    std::vector<RegisteredFunction> functions;
    functions.swap(machine.functions);
    for (const RegisteredFunction& f : functions) {
        SlotOf<void(void*, uint32_t)>(f.object, abi::function::kDestructor)(f.object, 1);
        if (HeapIsLive(f.object)) {
            Violation("the destructor (slot 0, flags 1) of %s.%s did not free its memory",
                      f.className.c_str(), f.name.c_str());
        }
        {
            std::lock_guard lock(state.mutex);
            if (state.initialised.count(f.object)) {
                Violation("the destructor of %s.%s did not call HostNativeTeardown",
                          f.className.c_str(), f.name.c_str());
            }
        }
        std::lock_guard lock(TheBook().mutex);
        ++TheBook().counters.functionsDestroyed;
    }
}

void InstallNativeRoutines(std::vector<std::pair<uintptr_t, abi::AnyFn>>& stubs) {
    stubs.emplace_back(abi::kHostNativeInit, Slot(&HostNativeInit));
    stubs.emplace_back(abi::kHostNativeTeardown, Slot(&HostNativeTeardown));
    stubs.emplace_back(abi::kHostParamInfo, Slot(&HostParamInfo));
    stubs.emplace_back(abi::kHostNativeForward, Slot(&HostNativeForward));
    stubs.emplace_back(abi::kHostNativeQuery, Slot(&HostNativeQuery));
    stubs.emplace_back(abi::kHostNativeQueryIndexed, Slot(&HostNativeQueryIndexed));
    stubs.emplace_back(abi::kHostArgumentOffset, Slot(&HostArgumentOffset));
    stubs.emplace_back(abi::kHostArgumentValue, Slot(&HostArgumentValue));
}

}  // namespace korvane::sim
