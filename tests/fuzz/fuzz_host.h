// The game every fuzz target plays in: one simulated host with the fuzz-built
// plug-in loaded and registered, running in a scratch game folder of its own,
// and the checks the targets share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "korvane_sim.h"

namespace quillmere_fuzz {

using korvane::ScriptType;
using korvane::ScriptValue;

// Reports a broken property on stderr and aborts, which libFuzzer records as
// a crash with the input that caused it.
[[noreturn]] void Fail(const char* format, ...) __attribute__((format(printf, 1, 2)));
#define FUZZ_CHECK(condition, ...)                                                              \
    do {                                                                                        \
        if (!(condition)) ::quillmere_fuzz::Fail("check failed: " #condition ": " __VA_ARGS__); \
    } while (0)

class FuzzGame {
  public:
    // Made by the first call, in LLVMFuzzerInitialize: the scratch folder
    // (removed at exit), the plug-in loaded from beside the program (so its
    // coverage counters are known before the first input) and registered.
    // Standard output, which echoes every log line, goes to /dev/null.
    static FuzzGame& Get();

    korvane::Host& Host() { return *host_; }
    ScriptValue Call(const std::string& name, const std::vector<ScriptValue>& args = {});
    // Ends the session and starts a new one, so game forms added by inputs do
    // not pile up over millions of runs.
    void Restart();
    // The live figures of the host's heap, string cache, identifiers, arrays
    // and structs. After a step that keeps nothing they must be back where
    // they were before it; anything else is a leak or a double release
    // across the host boundary.
    korvane::Counters Live() const { return host_->GetCounters(); }
    void CheckNothingLeaked(const korvane::Counters& before, const char* step) const;

    const std::string& Folder() const { return folder_; }

  private:
    FuzzGame();
    void Start();

    std::string folder_;
    korvane::Host* host_ = nullptr;
};

// Whole-file helpers; paths relative to the game folder.
void WriteBytes(const std::string& path, const void* data, std::size_t size);
std::string ReadBytes(const std::string& path);
// Every regular file below `folder`, as paths relative to the game folder.
std::vector<std::string> FilesBelow(const std::string& folder);

// Same content, with floats compared by their bits (NaN included) and texts
// byte for byte.
bool SameValue(const ScriptValue& a, const ScriptValue& b);
std::string Show(const ScriptValue& v);

uint32_t FloatBits(float f);

}  // namespace quillmere_fuzz
