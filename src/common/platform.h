// The platform layer: the only code that calls the operating system. Windows
// and POSIX each implement it in their own file (platform_win.cpp,
// platform_posix.cpp); everything above it is portable C++.
//
// Paths are narrow strings. On Windows they go to the system as they are; on
// POSIX a backslash is read as a separator (the paths the plug-in builds use
// Windows separators), so "\My Games\x" and "/My Games/x" name the same thing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace quillmere::platform {

// Shell-folder id of the user's documents folder.
inline constexpr int kDocumentsFolder = 5;

// Address of the game's main module, from which every host routine is found.
// Windows: GetModuleHandleA(nullptr). Linux: the value of the main program's
// dynamic symbol korvane_host_image_base (a uintptr_t the simulated host
// publishes), else the main program's own load address.
uintptr_t MainModuleBase();

// Path of a shell folder (5: documents) into `out` (normally 260 bytes),
// creating the folder if needed. Returns a Windows-style result code:
// negative on failure, with the thread's last error (errno on POSIX) in
// `lastError`; on failure `out` holds an empty string.
// Windows: SHGetFolderPathA with the create flag, current path.
// POSIX: $XDG_DOCUMENTS_DIR if set and non-empty, else $HOME/Documents; any
// other folder id fails with E_INVALIDARG (0x80070057), a folder that cannot
// be formed or created with E_FAIL (0x80004005).
int32_t ShellFolderPath(int folderId, char* out, std::size_t outSize, uint32_t& lastError);

// Creates one folder. The result is only informative (it may exist already).
bool MakeDirectory(const char* path);

// Opens a file for writing in text mode with truncation ("w"), letting other
// processes read but not write it while it is open. Null on failure.
// POSIX has no share modes: there it is a plain fopen.
std::FILE* OpenDenyWrite(const char* path);

}  // namespace quillmere::platform
