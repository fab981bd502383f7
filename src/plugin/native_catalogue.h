#pragma once

namespace quillmere {

struct VirtualMachine;

// The registration callback: creates one function object per native of the
// script class "Quillmere" and hands each to the virtual machine.
bool RegisterNatives(VirtualMachine* vm);

}  // namespace quillmere
