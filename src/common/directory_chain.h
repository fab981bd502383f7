#pragma once

namespace quillmere {

// Creates every folder named by a leading part of `path` that ends just
// before a separator ('\\' or '/'). The last component is never created;
// folders that exist already are passed over, failures are ignored (a real
// one shows when the caller then fails to open its file). Only the first
// 1023 characters of the path are considered.
void CreateDirectoriesForPath(const char* path);

}  // namespace quillmere
