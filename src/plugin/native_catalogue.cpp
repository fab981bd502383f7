// The catalogue of natives of the script class "Quillmere", in registration
// order. Scripts declare the same natives (scripts/Quillmere.psc); the order
// and the argument and result types here are what the machine checks calls
// against.
#include "plugin/native_catalogue.h"

#include "plugin/test_natives.h"
#include "vm/native_function.h"

namespace quillmere {
namespace {

constexpr char kClassName[] = "Quillmere";
using Tag = StaticFunctionTag;

template <typename Function>
void Register(VirtualMachine* vm, const char* name, typename Function::Callback callback) {
    // A function object the heap could not hold is skipped (and logged);
    // the machine is never handed a null object.
    if (NativeFunctionObject* object = Function::Create(name, kClassName, callback, vm)) {
        host::RegisterFunction(vm, object);
    }
}

}  // namespace

bool RegisterNatives(VirtualMachine* vm) {
    Register<NativeFunction0<Tag, MyStruct>>(vm, "GetOutData", &GetOutData);
    Register<NativeFunction0<Tag, VMArray<MyStruct>>>(vm, "GetStructOutData", &GetStructOutData);
    return true;
}

}  // namespace quillmere
