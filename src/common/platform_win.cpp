// Windows implementation of the platform layer.
#include <share.h>
#include <shlobj.h>
#include <windows.h>

#include <cstring>

#include "common/platform.h"

namespace quillmere::platform {

uintptr_t MainModuleBase() {
    return reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
}

int32_t ShellFolderPath(int folderId, char* out, std::size_t outSize, uint32_t& lastError) {
    if (outSize > 0) out[0] = '\0';
    // The system writes up to MAX_PATH characters whatever buffer it is given.
    char path[MAX_PATH] = {};
    const HRESULT result =
        SHGetFolderPathA(nullptr, folderId | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
    lastError = GetLastError();
    if (FAILED(result)) return result;
    const std::size_t length = std::strlen(path);
    if (length >= outSize) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(out, path, length + 1);
    return result;
}

bool MakeDirectory(const char* path) {
    return CreateDirectoryA(path, nullptr) != 0;
}

std::FILE* OpenDenyWrite(const char* path) {
    return _fsopen(path, "w", _SH_DENYWR);
}

}  // namespace quillmere::platform
