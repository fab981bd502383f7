// The host heap: plain allocations, each one recorded, so that leaks, double
// frees and frees of foreign memory are seen. Blocks are filled with a
// pattern when handed out and when given back, so reading uninitialised or
// freed memory gives visibly wrong values instead of plausible ones.
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "sim_world.h"

namespace korvane::sim {

namespace {

constexpr unsigned char kFreshPattern = 0xCD;
constexpr unsigned char kFreedPattern = 0xDD;

struct HeapState {
    std::mutex mutex;
    std::unordered_map<const void*, std::size_t> blocks;
};

HeapState& State() {
    static auto* state = new HeapState;  // outlives every static destructor
    return *state;
}

void* HeapAllocate(void* heap, uint64_t size, uint32_t alignment, bool aligned) {
    if (heap != HeapObject()) Violation("HeapAllocate called with %p, not the heap object", heap);
    if (alignment != 0 || aligned) {
        Violation("HeapAllocate called with alignment %u, aligned %d (expected 0, false)",
                  alignment, aligned ? 1 : 0);
    }
    // The heap is the process's; the fault plan is that of the Host whose
    // call into the plug-in is under way.
    void* vm = CurrentMachine();
    Book& book = TheBook();
    {
        std::lock_guard lock(book.mutex);
        if (vm) {
            MachineState& machine = MachineOf(vm, "HeapAllocate");
            if (Declines(machine.plan.declineHeapAt, ++machine.heapRequests,
                         machine.plan.persistent)) {
                ++book.counters.heapDeclined;
                return nullptr;
            }
        }
        ++book.counters.heapAllocations;
    }
    return HeapAllocateInternal(size);
}

void HeapFree(void* heap, void* block, bool aligned) {
    if (heap != HeapObject()) Violation("HeapFree called with %p, not the heap object", heap);
    if (aligned) Violation("HeapFree called with aligned set");
    HeapFreeInternal(block);
}

}  // namespace

void* HeapObject() {
    return ImageAt<void>(abi::kHeapObject);
}

void* HeapAllocateInternal(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block) Violation("out of memory allocating %zu bytes", size);
    std::memset(block, kFreshPattern, size);
    HeapState& state = State();
    std::lock_guard lock(state.mutex);
    state.blocks.emplace(block, size);
    return block;
}

void HeapFreeInternal(void* block) {
    if (!block) return;
    HeapState& state = State();
    std::size_t size = 0;
    {
        std::lock_guard lock(state.mutex);
        auto it = state.blocks.find(block);
        if (it == state.blocks.end()) {
            Violation("HeapFree of %p, which is not a live heap block (double free?)", block);
        }
        size = it->second;
        state.blocks.erase(it);
    }
    std::memset(block, kFreedPattern, size);
    std::free(block);
}

bool HeapIsLive(const void* block) {
    HeapState& state = State();
    std::lock_guard lock(state.mutex);
    return state.blocks.count(block) != 0;
}

std::size_t HeapBlockSize(const void* block) {
    HeapState& state = State();
    std::lock_guard lock(state.mutex);
    auto it = state.blocks.find(block);
    return it == state.blocks.end() ? 0 : it->second;
}

uint64_t HeapLiveBlocks() {
    HeapState& state = State();
    std::lock_guard lock(state.mutex);
    return state.blocks.size();
}

void InstallHeapRoutines(std::vector<std::pair<uintptr_t, abi::AnyFn>>& stubs) {
    stubs.emplace_back(abi::kHeapAllocate, reinterpret_cast<abi::AnyFn>(&HeapAllocate));
    stubs.emplace_back(abi::kHeapFree, reinterpret_cast<abi::AnyFn>(&HeapFree));
}

Book& TheBook() {
    static auto* book = new Book;
    return *book;
}

CallUnderWay& CurrentCall() {
    thread_local CallUnderWay call;
    return call;
}

bool Declines(uint64_t at, uint64_t number, bool persistent) {
    return at != 0 && (number == at || (persistent && number > at));
}

}  // namespace korvane::sim
