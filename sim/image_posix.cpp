// Linux: the host image is an anonymous mapping anywhere in the address
// space; the plug-in finds it through korvane_host_image_base.
#include <sys/mman.h>

#include <cerrno>
#include <cstring>

#include "sim_world.h"

namespace korvane::sim {

uintptr_t MapImageRange() {
    // Executable, because the jump stubs run from it; no reserve, because
    // only a few pages of the 100-odd MiB are ever touched.
    void* image = mmap(nullptr, abi::kImageSize, PROT_READ | PROT_WRITE | PROT_EXEC,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (image == MAP_FAILED) {
        Violation("cannot map the host image (%zu bytes): %s",
                  static_cast<std::size_t>(abi::kImageSize), std::strerror(errno));
    }
    return reinterpret_cast<uintptr_t>(image);
}

void CommitImageBytes(uintptr_t, std::size_t) {}

}  // namespace korvane::sim
