// POSIX implementation of the platform layer.
#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "common/platform.h"

namespace quillmere::platform {
namespace {

constexpr int32_t kInvalidArgument = static_cast<int32_t>(0x80070057);  // E_INVALIDARG
constexpr int32_t kFailure = static_cast<int32_t>(0x80004005);          // E_FAIL

// Copies `path` into `out` with every backslash turned into a slash. False
// (errno ENAMETOOLONG) when it does not fit.
bool NativePath(const char* path, char* out, std::size_t outSize) {
    std::size_t i = 0;
    for (; path[i] != '\0'; ++i) {
        if (i + 1 >= outSize) {
            errno = ENAMETOOLONG;
            return false;
        }
        out[i] = path[i] == '\\' ? '/' : path[i];
    }
    out[i] = '\0';
    return true;
}

// Forms the documents folder into `out`; false with errno set when neither
// variable gives one or it does not fit.
bool DocumentsFolder(char* out, std::size_t outSize) {
    const char* documents = std::getenv("XDG_DOCUMENTS_DIR");
    const char* home = std::getenv("HOME");
    const char* suffix = "";
    if (documents == nullptr || documents[0] == '\0') {
        if (home == nullptr || home[0] == '\0') {
            errno = ENOENT;
            return false;
        }
        documents = home;
        suffix = "/Documents";
    }
    const std::size_t first = std::strlen(documents);
    const std::size_t second = std::strlen(suffix);
    if (first + second >= outSize) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(out, documents, first);
    std::memcpy(out + first, suffix, second + 1);
    return true;
}

}  // namespace

uintptr_t MainModuleBase() {
    if (void* self = dlopen(nullptr, RTLD_NOW)) {
        const void* published = dlsym(self, "korvane_host_image_base");
        dlclose(self);
        if (published != nullptr) return *static_cast<const uintptr_t*>(published);
    }
    // The first object reported is the main program. Its image starts where
    // its first loadable segment maps file offset 0 (the ELF header), the
    // counterpart of a Windows module handle.
    uintptr_t base = 0;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) -> int {
            for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& segment = info->dlpi_phdr[i];
                if (segment.p_type == PT_LOAD) {
                    *static_cast<uintptr_t*>(data) =
                        info->dlpi_addr + segment.p_vaddr - segment.p_offset;
                    break;
                }
            }
            return 1;
        },
        &base);
    return base;
}

int32_t ShellFolderPath(int folderId, char* out, std::size_t outSize, uint32_t& lastError) {
    if (outSize > 0) out[0] = '\0';
    if (folderId != kDocumentsFolder) {
        lastError = EINVAL;
        return kInvalidArgument;
    }
    if (!DocumentsFolder(out, outSize) || (!MakeDirectory(out) && errno != EEXIST)) {
        lastError = static_cast<uint32_t>(errno);
        if (outSize > 0) out[0] = '\0';
        return kFailure;
    }
    lastError = 0;
    return 0;
}

bool MakeDirectory(const char* path) {
    char native[PATH_MAX];
    return NativePath(path, native, sizeof native) && mkdir(native, 0777) == 0;
}

std::FILE* OpenDenyWrite(const char* path) {
    char native[PATH_MAX];
    return NativePath(path, native, sizeof native) ? std::fopen(native, "w") : nullptr;
}

}  // namespace quillmere::platform
