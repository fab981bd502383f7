#include "peak_memory.h"

#include <malloc.h>

#include <fstream>
#include <string>

namespace quillmere_bench {
namespace {

// A "Vm...:  <n> kB" line of /proc/self/status, in bytes; -1 if absent.
int64_t StatusBytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(key + ":", 0) == 0) return std::stoll(line.substr(key.size() + 1)) * 1024;
    }
    return -1;
}

bool ResetHighWaterMark() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

}  // namespace

int64_t PeakMemoryGrowth(const std::function<void()>& work) {
    malloc_trim(0);
    const int64_t before = StatusBytes("VmRSS");
    const bool reset = ResetHighWaterMark();
    work();
    const int64_t peak = StatusBytes("VmHWM");
    if (!reset || before < 0 || peak < 0) return -1;
    return peak - before;
}

}  // namespace quillmere_bench
