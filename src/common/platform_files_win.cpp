#include <windows.h>

#include <ctime>

#include "common/platform_files.h"

namespace quillmere::platform {

bool ListDirectory(const std::string& folder, std::vector<DirectoryEntry>& entries,
                   uint32_t& error) {
    const std::string pattern = folder + "\\*.*";
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    do {
        DirectoryEntry e;
        e.name = data.cFileName;
        e.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // Junctions and symbolic links are reparse points; clearing removes
        // the link and never enters its target.
        e.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entries.push_back(std::move(e));
    } while (FindNextFileA(search, &data));
    error = GetLastError();
    if (error == ERROR_NO_MORE_FILES) error = 0;
    FindClose(search);
    return true;
}

uint32_t SetNormalAttributes(const std::string& path) {
    return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) ? 0 : GetLastError();
}

uint32_t DeleteOneFile(const std::string& path) {
    return DeleteFileA(path.c_str()) ? 0 : GetLastError();
}

uint32_t RemoveEmptyDirectory(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) ? 0 : GetLastError();
}

bool IsLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

uint32_t RemoveLink(const std::string& path) {
    // A link to a folder (junction or directory symlink) goes with
    // RemoveDirectoryA, which removes the link itself; a file link with
    // DeleteFileA.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return RemoveEmptyDirectory(path);
    }
    return DeleteOneFile(path);
}

bool IsRootPath(const std::string& path) {
    std::string rest = path;
    if (rest.size() >= 2 && rest[1] == ':') rest = rest.substr(2);
    if (rest.empty()) return path.size() >= 2;  // "C:"
    return rest.find_first_not_of("\\/") == std::string::npos;
}

OutputFile::~OutputFile() {
    Close();
}

bool OutputFile::Create(const std::string& path) {
    Close();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    handle_ = file;
    return true;
}

bool OutputFile::WriteAll(const char* data, std::size_t size) {
    if (handle_ == nullptr) return false;
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        // A full disk may report success with a short count: compare.
        if (!WriteFile(handle_, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

bool OutputFile::Close() {
    if (handle_ == nullptr) return true;
    const BOOL flushed = FlushFileBuffers(handle_);
    const BOOL closed = CloseHandle(handle_);
    handle_ = nullptr;
    return flushed && closed;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    return local;
}

}  // namespace quillmere::platform
