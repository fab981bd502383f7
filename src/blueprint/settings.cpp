#include "blueprint/settings.h"

namespace quillmere {

int32_t debugLevel = 0;

}  // namespace quillmere
