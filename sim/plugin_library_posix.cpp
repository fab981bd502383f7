// Loading the plug-in on Linux. RTLD_LOCAL keeps its symbols to itself, as a
// DLL's are; the handle is never closed (see extender.cpp).
#include <dlfcn.h>

#include "sim_world.h"

namespace korvane::sim {

void* OpenLibrary(const std::string& path, std::string& error) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        error = why ? why : ("cannot load " + path);
    }
    return library;
}

void* LibrarySymbol(void* library, const char* name) {
    return dlsym(library, name);
}

}  // namespace korvane::sim
