#pragma once

#include <cstdint>
#include <string>

namespace quillmere {

// Deletes a folder's files (and, with `recursive`, its sub-folders), then the
// folder itself. Entries whose names begin with "." are left alone, and a
// folder that still holds one stays. Links are removed, never entered.
// Returns 0, or the system's error code of the first failure.
uint32_t RemoveDirectoryTree(const std::string& folder, bool recursive);

}  // namespace quillmere
