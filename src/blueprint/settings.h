// Process-wide settings that scripts pass to Init. Every native reads the
// debug level to decide whether to write its progress lines; scripts may run
// natives on several threads, so both are atomics.
#pragma once

#include <atomic>
#include <cstdint>

namespace quillmere {

extern std::atomic<int32_t> debugLevel;   // 0 at load: no progress lines
extern std::atomic<float> pluginVersion;  // 1.0 at load; written as "plugin_version"

inline bool ProgressLinesWanted() {
    return debugLevel.load(std::memory_order_relaxed) > 0;
}

}  // namespace quillmere
