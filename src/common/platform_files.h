// File-system services of the platform layer used by the blueprint writer:
// narrow (8-bit) paths, relative to the working folder or absolute. Windows
// uses the A-suffixed calls; Linux their POSIX equivalents. Results are
// Windows error codes on Windows and errno values on Linux (0 = success).
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace quillmere::platform {

struct DirectoryEntry {
    std::string name;
    bool isDirectory = false;
    // A symbolic link or junction: removed itself, never entered.
    bool isLink = false;
};

// Lists a folder's entries ("." and ".." included, as the system yields
// them). Returns false when the folder cannot be searched.
bool ListDirectory(const std::string& folder, std::vector<DirectoryEntry>& entries,
                   uint32_t& error);

uint32_t SetNormalAttributes(const std::string& path);
uint32_t DeleteOneFile(const std::string& path);
uint32_t RemoveEmptyDirectory(const std::string& path);
// Whether the path itself is a symbolic link or junction (not followed).
bool IsLink(const std::string& path);
// Removes a link (to a file or a folder) without touching its target.
uint32_t RemoveLink(const std::string& path);

// Whether a path names the root of a drive or of the file system ("/",
// "C:\", "\\", "C:"), where clearing must never start.
bool IsRootPath(const std::string& path);

// An output file created for writing, replacing any file of that name, not
// shared with other writers while it is open.
class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    bool Create(const std::string& path);
    // Writes every byte or reports failure: a short write is a failure.
    bool WriteAll(const char* data, std::size_t size);
    // Flushes and closes; false when the system reports the data not written.
    bool Close();

  private:
#if defined(_WIN32)
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// Moves a file, replacing the destination if it exists.
bool MoveFileReplacing(const std::string& from, const std::string& to);

// The local time now, in the form of the C runtime's broken-down time.
std::tm LocalTimeNow();

}  // namespace quillmere::platform
