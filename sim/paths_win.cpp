// Where things are on Windows: the plug-in beside the program, and the
// documents folder from the shell, as the plug-in finds it.
#include <shlobj.h>
#include <windows.h>

#include "korvane_sim.h"

namespace korvane {

std::string DefaultPluginPath() {
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    std::string self(buffer, length);
    const auto slash = self.find_last_of("\\/");
    return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) +
           "\\quillmere.dll";
}

std::string DebugLogPath() {
    char documents[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, documents))) return {};
    return std::string(documents) + "\\My Games\\Korvane\\Plexor\\quillmere.log";
}

}  // namespace korvane
