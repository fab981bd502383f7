#include "common/directory_chain.h"

#include <cstddef>

#include "common/platform.h"

namespace quillmere {

void CreateDirectoriesForPath(const char* path) {
    char prefix[1024];
    for (std::size_t i = 0; path[i] != '\0' && i + 1 < sizeof prefix; ++i) {
        const char c = path[i];
        // A leading separator names the root, which needs no creating.
        if ((c == '\\' || c == '/') && i > 0) {
            prefix[i] = '\0';
            platform::MakeDirectory(prefix);
        }
        prefix[i] = c;
    }
}

}  // namespace quillmere
