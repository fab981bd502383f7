// Process-wide settings that scripts hand to Init and every native reads.
#pragma once

#include <cstdint>

namespace quillmere {

// Progress lines are written only while this is above 0; error lines do not
// depend on it. Set by Init (its 32 bits taken as a signed number); 0 until
// then.
extern int32_t debugLevel;

}  // namespace quillmere
