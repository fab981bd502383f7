// Where things are on Linux: the plug-in beside the program, and the
// documents folder as the plug-in's platform layer finds it.
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "korvane_sim.h"

namespace korvane {

std::string DefaultPluginPath() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string dir = ".";
    if (length > 0) {
        const std::string self(buffer, static_cast<std::size_t>(length));
        dir = self.substr(0, self.find_last_of('/'));
    }
    return dir + "/libquillmere.so";
}

std::string DebugLogPath() {
    std::string documents;
    if (const char* xdg = std::getenv("XDG_DOCUMENTS_DIR"); xdg && *xdg) {
        documents = xdg;
    } else {
        const char* home = std::getenv("HOME");
        documents = std::string(home ? home : "") + "/Documents";
    }
    return documents + "/My Games/Korvane/Plexor/quillmere.log";
}

}  // namespace korvane
