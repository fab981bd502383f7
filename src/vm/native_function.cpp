#include "vm/native_function.h"

#include <new>

namespace quillmere::detail {
namespace {

using Object = NativeFunctionObject;

// The machine destroys a function object through slot 0; bit 0 of `flags`
// asks for the memory back as well (the deleting form).
void Destroy(Object* self, uint32_t flags) {
    host::NativeTeardown(self);
    if ((flags & 1u) != 0) host::HeapFree(self);
}

StringCacheEntry** GetName(Object* self) {
    return &self->functionName;
}
StringCacheEntry** GetClassName(Object* self) {
    return &self->className;
}
StringCacheEntry** GetAuxName(Object* self) {
    return &self->auxName;
}
uint64_t* GetReturnType(Object* self, uint64_t* out) {
    *out = self->returnType;
    return out;
}
uint16_t GetParamCountB(Object* self) {
    return self->paramCountB;
}
bool GetParamInfo(Object* self, uint32_t index, StringCacheEntry** name, uint64_t* type) {
    // The parameter table is paramEntries followed by the two counts.
    return host::ParamInfo(&self->paramEntries, index, name, type);
}
uint16_t GetParamCountA(Object* self) {
    return self->paramCountA;
}
bool IsNative(Object*) {
    return true;
}
uint8_t GetFlagA(Object* self) {
    return self->flagA;
}
bool GetConstFalse(Object*) {
    return false;
}
uint32_t GetConstZero(Object*) {
    return 0;
}
uint32_t GetValueC(Object* self) {
    return self->valueC;
}
StringCacheEntry** GetAuxName2(Object* self) {
    return &self->auxName2;
}
void DoNothing(Object*) {}
uint32_t HostForward(Object* self, uint64_t a, uint64_t b, uint64_t c, uint64_t d) {
    return host::NativeForward(self, a, b, c, d);
}
uint32_t HostQuery(Object* self) {
    return host::NativeQuery(self);
}
bool QueryIndexedNone(Object*, uint32_t, uint32_t* out) {
    *out = 0;
    return false;
}
bool HostQueryIndexed(Object* self, uint32_t number, void* address) {
    return host::NativeQueryIndexed(self, number, address);
}
uint8_t GetFlagB(Object* self) {
    return self->flagB;
}
void SetFlagB(Object* self, uint8_t value) {
    self->flagB = value;
}
bool HasCallback(Object* self) {
    return self->callback != nullptr;
}
bool RunNothing(Object*, VMValue*, VirtualMachine*, uint32_t, VMValue*, StackFrame*) {
    return false;
}

}  // namespace

FunctionTable CommonFunctionTable() {
    return FunctionTable{
        &Destroy,        &GetName,      &GetClassName,     &GetAuxName,       &GetReturnType,
        &GetParamCountB, &GetParamInfo, &GetParamCountA,   &IsNative,         &GetFlagA,
        &GetConstFalse,  &GetConstZero, &GetValueC,        &GetAuxName2,      &DoNothing,
        &HostForward,    &HostQuery,    &QueryIndexedNone, &HostQueryIndexed, &GetFlagB,
        &SetFlagB,       &HasCallback,  &RunNothing,
    };
}

NativeFunctionObject* ConstructFunctionObject(const FunctionTable* table, const char* name,
                                              const char* className, uint32_t paramCount,
                                              void* callback) {
    void* memory = host::HeapAllocate(sizeof(NativeFunctionObject));
    if (memory == nullptr) {
        LogError("could not allocate the native function %s", name);
        return nullptr;
    }
    auto* object = static_cast<NativeFunctionObject*>(memory);
    object->table = table;
    // The name handles start empty; the host's initialisation fills in the
    // name and the class name, and manages the other two.
    object->functionName = nullptr;
    object->className = nullptr;
    object->auxName = nullptr;
    object->auxName2 = nullptr;
    host::StringFromText(&object->functionName, "");
    host::StringFromText(&object->className, "");
    host::StringFromText(&object->auxName, "");
    host::StringFromText(&object->auxName2, "");
    object->returnType = 0;
    object->paramEntries = nullptr;
    object->callback = nullptr;
    host::NativeInit(object, name, className, true, paramCount);
    if (paramCount > 0 && object->paramEntries == nullptr) {
        LogError("the host did not set up the parameters of the native function %s", name);
        DestroyFunctionObject(object);
        return nullptr;
    }
    object->callback = callback;
    return object;
}

void DestroyFunctionObject(NativeFunctionObject* object) {
    Destroy(object, 1u);
}

void ReportRunFailure(NativeFunctionObject* object, const char* what) {
    LogError("native %s.%s failed: %s", host::StringText(object->className),
             host::StringText(object->functionName), what);
}

}  // namespace quillmere::detail
