// The platform layer: the only code that calls the operating system. Windows
// and POSIX each implement it in their own file (platform_win.cpp,
// platform_posix.cpp); everything above it is portable C++.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace quillmere::platform {

// Address of the game's main module, from which every host routine is found.
// Windows: GetModuleHandleA(nullptr). Linux: the simulated host's published
// image (dynamic symbol korvane_host_image_base), else the main program.
uintptr_t MainModuleBase();

// Path of a shell folder (5: documents) into `out` (260 bytes), creating it
// if needed. Returns a Windows-style result code: negative on failure, with
// the thread's last error in `lastError`. Linux: $XDG_DOCUMENTS_DIR, else
// $HOME/Documents.
int32_t ShellFolderPath(int folderId, char* out, std::size_t outSize, uint32_t& lastError);

// Creates one folder; the result is only informative (it may exist already).
bool MakeDirectory(const char* path);

// Opens a file for writing in text mode with truncation, letting other
// processes read but not write it while it is open. Null on failure.
std::FILE* OpenDenyWrite(const char* path);

}  // namespace quillmere::platform
