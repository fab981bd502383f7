// Peak memory of one piece of work, as the growth of the process's resident
// set: freed heap pages go back to the system first, the kernel's high-water
// mark is reset to the current resident size, the work runs, and the new
// high-water mark less the size before is the answer. Everything the work
// allocates counts, the simulated host's structures and the values scripts
// receive included; memory it frees and the heap reuses without growing is
// not counted twice.
#pragma once

#include <cstdint>
#include <functional>

namespace quillmere_bench {

// Bytes the resident set grew by at most while `work` ran; -1 when the
// system cannot reset its high-water mark (before Linux 4.0, or no /proc).
int64_t PeakMemoryGrowth(const std::function<void()>& work);

}  // namespace quillmere_bench
