#pragma once

namespace quillmere {

// Creates every folder named by a leading part of `path` that ends just
// before a separator ('\\' or '/'). The last component is never created;
// folders that exist already are passed over.
void CreateDirectoriesForPath(const char* path);

}  // namespace quillmere
