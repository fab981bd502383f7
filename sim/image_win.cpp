// Windows: the plug-in takes the host executable's own base, so the image is
// the address range right after the executable's image, reserved at once and
// committed page by page where stubs and objects go.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "sim_world.h"

namespace korvane::sim {

namespace {
constexpr uintptr_t kAllocationUnit = 0x10000;
constexpr uintptr_t kPage = 0x1000;

uintptr_t AlignUp(uintptr_t value, uintptr_t unit) {
    return (value + unit - 1) & ~(unit - 1);
}
}  // namespace

uintptr_t MapImageRange() {
    const auto base = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const uintptr_t imageEnd = base + nt->OptionalHeader.SizeOfImage;
    // Reservations start on an allocation unit, and the unit holding the
    // lowest host offset must be free for us.
    const uintptr_t start = AlignUp(imageEnd, kAllocationUnit);
    if (start > base + (abi::kLowestOffset & ~(kAllocationUnit - 1))) {
        std::fprintf(stderr,
                     "korvane-sim: this program's image is 0x%lX bytes; the host image starts "
                     "at offset 0x%lX, so the program must end before 0x%lX (strip it)\n",
                     static_cast<unsigned long>(nt->OptionalHeader.SizeOfImage),
                     static_cast<unsigned long>(abi::kLowestOffset),
                     static_cast<unsigned long>(abi::kLowestOffset & ~(kAllocationUnit - 1)));
        std::exit(70);
    }
    const uintptr_t end = base + abi::kImageSize;
    void* reserved = VirtualAlloc(reinterpret_cast<void*>(start), end - start, MEM_RESERVE,
                                  PAGE_EXECUTE_READWRITE);
    if (reserved != reinterpret_cast<void*>(start)) {
        std::fprintf(stderr,
                     "korvane-sim: cannot reserve the host image at %p..%p (error %lu); "
                     "something else lives right after the program\n",
                     reinterpret_cast<void*>(start), reinterpret_cast<void*>(end),
                     static_cast<unsigned long>(GetLastError()));
        std::exit(70);
    }
    return base;
}

// Commits the pages of [address, address + size) inside the reserved range.
void CommitImageBytes(uintptr_t address, std::size_t size) {
    const uintptr_t first = address & ~(kPage - 1);
    const uintptr_t last = AlignUp(address + size, kPage);
    if (!VirtualAlloc(reinterpret_cast<void*>(first), last - first, MEM_COMMIT,
                      PAGE_EXECUTE_READWRITE)) {
        Violation("cannot commit host image page at %p (error %lu)", reinterpret_cast<void*>(first),
                  static_cast<unsigned long>(GetLastError()));
    }
}

}  // namespace korvane::sim
