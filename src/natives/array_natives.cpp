#include "natives/array_natives.h"

namespace quillmere {

template struct ArrayNatives<uint32_t>;
template struct ArrayNatives<float>;
template struct ArrayNatives<BSFixedString>;
template struct ArrayNatives<TESForm*>;
template struct ArrayNatives<TESObjectREFR*>;

}  // namespace quillmere
