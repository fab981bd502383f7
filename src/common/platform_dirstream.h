// Directory listing for the blueprint catalogue: the POSIX directory-stream
// operations (open, next entry, close) over narrow paths. POSIX builds use
// opendir/readdir; Windows builds carry a small layer over FindFirstFileW
// that converts names with the C runtime's current locale.
#pragma once

#include <memory>

namespace quillmere::platform {

struct DirectoryStream;  // opaque; one open listing

// Opens the directory at `path` (relative to the working folder or absolute).
// Null when the path is empty, names nothing, names a file, or cannot be read.
DirectoryStream* OpenDirectory(const char* path);

// The next entry's narrow name, in the order the system yields entries
// ("." and ".." included), or null at the end. The text stays valid until the
// next call on the same stream. A name that has no narrow form reads as "?".
const char* ReadDirectory(DirectoryStream* stream);

// Ends the listing and frees the stream; null is ignored.
void CloseDirectory(DirectoryStream* stream);

struct DirectoryStreamCloser {
    void operator()(DirectoryStream* stream) const { CloseDirectory(stream); }
};
using DirectoryHandle = std::unique_ptr<DirectoryStream, DirectoryStreamCloser>;

}  // namespace quillmere::platform
