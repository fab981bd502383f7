#include "blueprint/settings.h"

namespace quillmere {

std::atomic<int32_t> debugLevel{0};
std::atomic<float> pluginVersion{1.0f};

}  // namespace quillmere
