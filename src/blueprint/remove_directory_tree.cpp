#include "blueprint/remove_directory_tree.h"

#include <vector>

#include "common/platform_files.h"

namespace quillmere {

uint32_t RemoveDirectoryTree(const std::string& folder, bool recursive) {
    // A slot folder reached through a link: remove the link, keep its target.
    if (platform::IsLink(folder)) return platform::RemoveLink(folder);

    std::vector<platform::DirectoryEntry> entries;
    uint32_t searchError = 0;
    if (!platform::ListDirectory(folder, entries, searchError)) return 0;

    bool leftSubFolder = false;
    for (const platform::DirectoryEntry& entry : entries) {
        if (entry.name.empty() || entry.name[0] == '.') continue;
        const std::string path = folder + "\\" + entry.name;
        uint32_t result = 0;
        if (entry.isLink) {
            result = platform::RemoveLink(path);
        } else if (entry.isDirectory) {
            if (recursive) {
                result = RemoveDirectoryTree(path, recursive);
            } else {
                leftSubFolder = true;
            }
        } else {
            result = platform::SetNormalAttributes(path);
            if (result == 0) result = platform::DeleteOneFile(path);
        }
        if (result != 0) return result;
    }
    if (searchError != 0) return searchError;
    if (!leftSubFolder) {
        if (uint32_t result = platform::SetNormalAttributes(folder)) return result;
        if (uint32_t result = platform::RemoveEmptyDirectory(folder)) return result;
    }
    return 0;
}

}  // namespace quillmere
