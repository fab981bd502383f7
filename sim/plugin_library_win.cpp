// Loading the plug-in on Windows, by file name, as the extender does.
#include <windows.h>

#include "sim_world.h"

namespace korvane::sim {

void* OpenLibrary(const std::string& path, std::string& error) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library) {
        error =
            "LoadLibraryA(\"" + path + "\") failed with error " + std::to_string(GetLastError());
    }
    return reinterpret_cast<void*>(library);
}

void* LibrarySymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace korvane::sim
