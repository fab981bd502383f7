#include "plugin/test_natives.h"

namespace quillmere {
namespace {

void FillTestStruct(MyStruct& data) {
    data.Set<0>(BSFixedString("Plexor Struct I/O test"), true);
    data.Set<1>(BSFixedString("bla bla bla"), true);
    data.Set<2>(2017u, true);
    data.Set<3>(42u, true);
}

}  // namespace

MyStruct GetOutData(StaticFunctionTag*) {
    MyStruct data;
    FillTestStruct(data);
    return data;
}

VMArray<MyStruct> GetStructOutData(StaticFunctionTag*) {
    VMArray<MyStruct> result;
    MyStruct data;
    FillTestStruct(data);
    result.Append(data, true);
    return result;
}

}  // namespace quillmere
