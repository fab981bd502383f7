#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "common/platform_dirstream.h"

namespace quillmere::platform {
namespace {

// Paths and names pass through buffers of MAX_PATH units, terminator
// included; anything longer does not convert and is refused.
constexpr std::size_t kPathUnits = MAX_PATH;

}  // namespace

struct DirectoryStream {
    HANDLE search = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW found{};
    bool haveFound = false;  // `found` holds the entry FindFirstFileW returned
    char name[kPathUnits] = {};
};

DirectoryStream* OpenDirectory(const char* path) {
    if (path == nullptr || *path == '\0') return nullptr;

    wchar_t widePath[kPathUnits];
    std::size_t converted = 0;
    if (mbstowcs_s(&converted, widePath, kPathUnits, path, _TRUNCATE) != 0) return nullptr;

    // The search pattern is the absolute folder path, a separator unless it
    // ends in one already (or in a drive's colon), and "*".
    wchar_t pattern[kPathUnits];
    const DWORD length = GetFullPathNameW(widePath, kPathUnits, pattern, nullptr);
    if (length == 0 || length >= kPathUnits) return nullptr;
    std::size_t end = length;
    const wchar_t last = pattern[end - 1];
    const bool separator = last != L'\\' && last != L'/' && last != L':';
    if (end + (separator ? 1 : 0) + 2 > kPathUnits) return nullptr;  // "*" and terminator
    if (separator) pattern[end++] = L'\\';
    pattern[end++] = L'*';
    pattern[end] = L'\0';

    auto* stream = new DirectoryStream;
    stream->search = FindFirstFileW(pattern, &stream->found);
    if (stream->search == INVALID_HANDLE_VALUE) {
        delete stream;
        return nullptr;
    }
    stream->haveFound = true;
    return stream;
}

const char* ReadDirectory(DirectoryStream* stream) {
    if (stream == nullptr || stream->search == INVALID_HANDLE_VALUE) return nullptr;
    if (stream->haveFound) {
        stream->haveFound = false;
    } else if (!FindNextFileW(stream->search, &stream->found)) {
        FindClose(stream->search);
        stream->search = INVALID_HANDLE_VALUE;
        return nullptr;
    }

    // The long name in the current locale's code page; when it has no narrow
    // form, the 8.3 short name if there is one; else "?", which matches
    // nothing a caller looks for.
    std::size_t converted = 0;
    if (wcstombs_s(&converted, stream->name, kPathUnits, stream->found.cFileName, _TRUNCATE) == 0) {
        return stream->name;
    }
    if (stream->found.cAlternateFileName[0] != L'\0' &&
        wcstombs_s(&converted, stream->name, kPathUnits, stream->found.cAlternateFileName,
                   _TRUNCATE) == 0) {
        return stream->name;
    }
    stream->name[0] = '?';
    stream->name[1] = '\0';
    return stream->name;
}

void CloseDirectory(DirectoryStream* stream) {
    if (stream == nullptr) return;
    if (stream->search != INVALID_HANDLE_VALUE) FindClose(stream->search);
    delete stream;
}

}  // namespace quillmere::platform
