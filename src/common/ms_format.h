// Log formats follow the Microsoft printf conventions, whose size prefixes
// (I64, I32, I) the C library of other platforms does not know. They are
// rewritten into their C99 forms before formatting, on every build, so that a
// format prints the same everywhere.
#pragma once

#include <cstddef>

namespace quillmere {

// Returns `format` itself when it has no Microsoft size prefix; otherwise
// writes the rewritten format into `scratch` (`size` bytes) and returns it:
// I64 becomes ll, I32 is dropped, I alone becomes z. A rewritten format that
// does not fit is cut before the first conversion that does not fit whole,
// so the message comes out truncated, never malformed.
const char* TranslateMsFormat(const char* format, char* scratch, std::size_t size);

}  // namespace quillmere
