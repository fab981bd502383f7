#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "common/platform_files.h"

namespace quillmere::platform {
namespace {

// Windows paths reach the library too: a backslash separates like a slash.
std::string Native(const std::string& path) {
    std::string out = path;
    for (char& c : out) {
        if (c == '\\') c = '/';
    }
    return out;
}

}  // namespace

bool ListDirectory(const std::string& folder, std::vector<DirectoryEntry>& entries,
                   uint32_t& error) {
    const std::string native = Native(folder);
    DIR* dir = opendir(native.c_str());
    if (dir == nullptr) {
        error = static_cast<uint32_t>(errno);
        return false;
    }
    errno = 0;
    while (dirent* entry = readdir(dir)) {
        DirectoryEntry e;
        e.name = entry->d_name;
        struct stat info {};
        const std::string path = native + "/" + e.name;
        if (lstat(path.c_str(), &info) == 0) {
            e.isLink = S_ISLNK(info.st_mode);
            e.isDirectory = S_ISDIR(info.st_mode);
        }
        entries.push_back(std::move(e));
    }
    error = static_cast<uint32_t>(errno);
    closedir(dir);
    return true;
}

uint32_t SetNormalAttributes(const std::string&) {
    return 0;
}

uint32_t DeleteOneFile(const std::string& path) {
    return unlink(Native(path).c_str()) == 0 ? 0 : static_cast<uint32_t>(errno);
}

uint32_t RemoveEmptyDirectory(const std::string& path) {
    return rmdir(Native(path).c_str()) == 0 ? 0 : static_cast<uint32_t>(errno);
}

bool IsLink(const std::string& path) {
    struct stat info {};
    return lstat(Native(path).c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

uint32_t RemoveLink(const std::string& path) {
    return DeleteOneFile(path);
}

bool IsRootPath(const std::string& path) {
    const std::string native = Native(path);
    if (native.empty()) return false;
    return native.find_first_not_of('/') == std::string::npos;
}

OutputFile::~OutputFile() {
    Close();
}

bool OutputFile::Create(const std::string& path) {
    Close();
    fd_ = open(Native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return fd_ >= 0;
}

bool OutputFile::WriteAll(const char* data, std::size_t size) {
    if (fd_ < 0) return false;
    while (size > 0) {
        const ssize_t written = write(fd_, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool OutputFile::Close() {
    if (fd_ < 0) return true;
    const int result = close(fd_);
    fd_ = -1;
    return result == 0;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    return std::rename(Native(from).c_str(), Native(to).c_str()) == 0;
}

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace quillmere::platform
