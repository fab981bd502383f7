// The catalogue of natives of the script class "Quillmere", in registration
// order. Scripts declare the same natives (scripts/Quillmere.psc); the order
// and the argument and result types here are what the machine checks calls
// against.
#include "plugin/native_catalogue.h"

#include "blueprint/blueprint_writer.h"
#include "blueprint/export_natives.h"
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
    Register<NativeFunction3<Tag, bool, TESObjectREFR*, float, uint32_t>>(vm, "Init", &Init);
    // rows 4 to 8: the blueprint readers
    Register<NativeFunction3<Tag, bool, uint32_t, TESForm*, TESForm*>>(vm, "SaveHeader",
                                                                       &SaveHeader);
    Register<NativeFunction8<Tag, bool, TESObjectREFR*, TESForm*, float, float, float, float, float,
                             float>>(vm, "SaveWorkshopData", &SaveWorkshopData);
    Register<NativeFunction8<Tag, bool, VMArray<TESForm*>, VMArray<TESObjectREFR*>, VMArray<float>,
                             VMArray<float>, VMArray<float>, VMArray<float>, VMArray<float>,
                             VMArray<float>>>(vm, "Save128Items", &Save128Items);
    Register<NativeFunction7<Tag, bool, VMArray<uint32_t>, VMArray<uint32_t>, VMArray<uint32_t>,
                             VMArray<uint32_t>, VMArray<uint32_t>, VMArray<uint32_t>,
                             VMArray<uint32_t>>>(vm, "Save128ExtraProps", &Save128ExtraProps);
    Register<NativeFunction1<Tag, bool, BSFixedString>>(vm, "StoreDataToBlueprint",
                                                        &StoreDataToBlueprint);
    return true;
}

}  // namespace quillmere
