// The catalogue of natives of the script class "Quillmere", in registration
// order. Scripts declare the same natives (scripts/Quillmere.psc); the order
// and the argument and result types here are what the machine checks calls
// against.
#include "plugin/native_catalogue.h"

#include "blueprint/blueprint_catalogue.h"
#include "blueprint/blueprint_writer.h"
#include "blueprint/content_readers.h"
#include "blueprint/export_natives.h"
#include "blueprint/header_readers.h"
#include "forms/location_natives.h"
#include "natives/array_natives.h"
#include "plugin/test_natives.h"
#include "vm/native_function.h"

namespace quillmere {
namespace {

constexpr char kClassName[] = "Quillmere";
using Tag = StaticFunctionTag;

// One String argument, a String[] result: GetPluginsRequired and
// LoadBlueprintList share this class.
using PathToStrings = NativeFunction1<Tag, VMArray<BSFixedString>, BSFixedString>;

// The four natives of one element type, named after its script word.
template <typename T>
using NewArray = NativeFunction1<Tag, VMArray<T>, uint32_t>;
template <typename T>
using ArrayPush = NativeFunction2<Tag, VMArray<T>, VMArray<T>, T>;
template <typename T>
using ArraySet = NativeFunction3<Tag, VMArray<T>, VMArray<T>, T, uint32_t>;
template <typename T>
using ArrayMerge = NativeFunction2<Tag, VMArray<T>, VMArray<T>, VMArray<T>>;

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
    // 3: starting an export
    Register<NativeFunction3<Tag, bool, TESObjectREFR*, float, uint32_t>>(vm, "Init", &Init);

    // 4-8: reading a blueprint back
    Register<NativeFunction1<Tag, BlueprintHeader, BSFixedString>>(vm, "GetBlueprintHeader",
                                                                   &GetBlueprintHeader);
    Register<PathToStrings>(vm, "GetPluginsRequired", &GetPluginsRequired);
    Register<NativeFunction1<Tag, WorkshopData, BSFixedString>>(vm, "GetWorkshopData",
                                                                &GetWorkshopData);
    Register<NativeFunction1<Tag, VMArray<SettlementItem>, BSFixedString>>(
        vm, "GetItemsFromBlueprint", &GetItemsFromBlueprint);
    Register<NativeFunction1<Tag, VMArray<ExtraProperties>, BSFixedString>>(
        vm, "GetExtraPropsFromBlueprint", &GetExtraPropsFromBlueprint);

    // 9-13: filling the pending export and writing it
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

    // 14-15
    Register<PathToStrings>(vm, "LoadBlueprintList", &LoadBlueprintList);
    Register<NativeFunction1<Tag, BSFixedString, TESForm*>>(vm, "GetLocationName",
                                                            &GetLocationName);

    // 16-35: the array natives, four per element type
    Register<NewArray<uint32_t>>(vm, "NewIntArray", &IntArrayNatives::New);
    Register<ArrayPush<uint32_t>>(vm, "IntArrayPush", &IntArrayNatives::Push);
    Register<ArraySet<uint32_t>>(vm, "IntArraySet", &IntArrayNatives::Set);
    Register<ArrayMerge<uint32_t>>(vm, "IntArrayMerge", &IntArrayNatives::Merge);
    Register<NewArray<float>>(vm, "NewFloatArray", &FloatArrayNatives::New);
    Register<ArrayPush<float>>(vm, "FloatArrayPush", &FloatArrayNatives::Push);
    Register<ArraySet<float>>(vm, "FloatArraySet", &FloatArrayNatives::Set);
    Register<ArrayMerge<float>>(vm, "FloatArrayMerge", &FloatArrayNatives::Merge);
    Register<NewArray<BSFixedString>>(vm, "NewStringArray", &StringArrayNatives::New);
    Register<ArrayPush<BSFixedString>>(vm, "StringArrayPush", &StringArrayNatives::Push);
    Register<ArraySet<BSFixedString>>(vm, "StringArraySet", &StringArrayNatives::Set);
    Register<ArrayMerge<BSFixedString>>(vm, "StringArrayMerge", &StringArrayNatives::Merge);
    Register<NewArray<TESForm*>>(vm, "NewFormArray", &FormArrayNatives::New);
    Register<ArrayPush<TESForm*>>(vm, "FormArrayPush", &FormArrayNatives::Push);
    Register<ArraySet<TESForm*>>(vm, "FormArraySet", &FormArrayNatives::Set);
    Register<ArrayMerge<TESForm*>>(vm, "FormArrayMerge", &FormArrayNatives::Merge);
    Register<NewArray<TESObjectREFR*>>(vm, "NewObjectReferenceArray",
                                       &ObjectReferenceArrayNatives::New);
    Register<ArrayPush<TESObjectREFR*>>(vm, "ObjectReferenceArrayPush",
                                        &ObjectReferenceArrayNatives::Push);
    Register<ArraySet<TESObjectREFR*>>(vm, "ObjectReferenceArraySet",
                                       &ObjectReferenceArrayNatives::Set);
    Register<ArrayMerge<TESObjectREFR*>>(vm, "ObjectReferenceArrayMerge",
                                         &ObjectReferenceArrayNatives::Merge);

    // 36
    Register<NativeFunction0<Tag, VMArray<uint32_t>>>(vm, "GetDLCIndexArray", &GetDLCIndexArray);
    return true;
}

}  // namespace quillmere
