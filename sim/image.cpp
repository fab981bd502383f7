// The host image: the host's routines and objects at the offsets the plug-in
// computes from the main-module base. Every routine is reached through a
// 14-byte absolute jump written at its offset, so the routines themselves can
// live anywhere in this program.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "sim_world.h"

// The Linux plug-in reads the image base from this main-program symbol at its
// static initialisation, so it is set before any plug-in is loaded.
extern "C" {
__attribute__((visibility("default"))) uintptr_t korvane_host_image_base = 0;
}

namespace korvane::sim {

void Violation(const char* format, ...) {
    std::fflush(stdout);
    std::fputs("korvane-sim: host contract violated: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    std::abort();
}

namespace {

void WriteJump(uintptr_t at, abi::AnyFn target) {
    unsigned char stub[abi::kStubSize] = {0xFF, 0x25, 0, 0, 0, 0};
    const auto address = reinterpret_cast<uintptr_t>(target);
    std::memcpy(stub + 6, &address, sizeof address);
    std::memcpy(reinterpret_cast<void*>(at), stub, sizeof stub);
}

uintptr_t InstallImage() {
    const uintptr_t base = MapImageRange();
    std::vector<std::pair<uintptr_t, abi::AnyFn>> stubs;
    InstallHeapRoutines(stubs);
    InstallStringRoutines(stubs);
    InstallValueRoutines(stubs);
    InstallIdentifierRoutines(stubs);
    InstallNativeRoutines(stubs);
    InstallGameRoutines(stubs);
    for (const auto& [offset, target] : stubs) {
        CommitImageBytes(base + offset, abi::kStubSize);
        WriteJump(base + offset, target);
    }
    // The heap object is only an address to the plug-in; a recognisable
    // pattern makes a stray write into it visible in a debugger.
    CommitImageBytes(base + abi::kHeapObject, 64);
    std::memset(reinterpret_cast<void*>(base + abi::kHeapObject), 0x48, 64);
    const std::pair<uintptr_t, void*> pointers[] = {
        {abi::kVmHolderPointer, VmHolderObject()},
        {abi::kHandlePolicyPointer, HandlePolicyObject()},
        {abi::kPluginTablePointer, PluginTableObject()},
    };
    for (const auto& [offset, object] : pointers) {
        CommitImageBytes(base + offset, sizeof(void*));
        std::memcpy(reinterpret_cast<void*>(base + offset), &object, sizeof object);
    }
    korvane_host_image_base = base;
    return base;
}

}  // namespace

uintptr_t EnsureImage() {
    static const uintptr_t base = InstallImage();
    return base;
}

}  // namespace korvane::sim
