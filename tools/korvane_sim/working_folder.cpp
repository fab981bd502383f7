#include "working_folder.h"

#include <sys/stat.h>

#include <cstdlib>

#include "korvane_sim.h"

#if defined(_WIN32)
#include <direct.h>
#include <windows.h>
#else
#include <unistd.h>

#include <climits>
#endif

namespace korvane_tool {

namespace {

bool IsSeparator(char c) {
#if defined(_WIN32)
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

}  // namespace

std::string AbsolutePath(const std::string& path) {
#if defined(_WIN32)
    char buffer[MAX_PATH * 4];
    if (_fullpath(buffer, path.c_str(), sizeof buffer)) return buffer;
    return path;
#else
    if (!path.empty() && path[0] == '/') return path;
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer)) return path;
    return std::string(buffer) + "/" + path;
#endif
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR;
}

bool MakeFolders(const std::string& path) {
    if (path.empty() || IsFolder(path)) return !path.empty();
    // Parents first, then this folder.
    std::size_t end = path.size();
    while (end > 0 && IsSeparator(path[end - 1])) --end;
    std::size_t cut = end;
    while (cut > 0 && !IsSeparator(path[cut - 1])) --cut;
    if (cut > 0 && !MakeFolders(path.substr(0, cut))) return false;
#if defined(_WIN32)
    _mkdir(path.substr(0, end).c_str());
#else
    mkdir(path.substr(0, end).c_str(), 0777);
#endif
    return IsFolder(path);
}

bool ChangeFolder(const std::string& path) {
#if defined(_WIN32)
    return SetCurrentDirectoryA(path.c_str()) != 0;
#else
    return chdir(path.c_str()) == 0;
#endif
}

std::string ProgramFolder() {
    // The host knows where the program is: its default plug-in sits beside it.
    const std::string plugin = korvane::DefaultPluginPath();
    const std::size_t slash = plugin.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : plugin.substr(0, slash);
}

}  // namespace korvane_tool
