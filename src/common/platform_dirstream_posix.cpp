#include <dirent.h>

#include "common/platform_dirstream.h"

namespace quillmere::platform {

struct DirectoryStream {
    DIR* dir;
};

DirectoryStream* OpenDirectory(const char* path) {
    if (path == nullptr || *path == '\0') return nullptr;
    DIR* dir = opendir(path);
    if (dir == nullptr) return nullptr;
    return new DirectoryStream{dir};
}

const char* ReadDirectory(DirectoryStream* stream) {
    if (stream == nullptr || stream->dir == nullptr) return nullptr;
    const dirent* entry = readdir(stream->dir);
    return entry == nullptr ? nullptr : entry->d_name;
}

void CloseDirectory(DirectoryStream* stream) {
    if (stream == nullptr) return;
    if (stream->dir != nullptr) closedir(stream->dir);
    delete stream;
}

}  // namespace quillmere::platform
