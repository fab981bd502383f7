#include "blueprint/last_parsed_blueprint.h"

#include <mutex>
#include <utility>

namespace quillmere {
namespace {

struct Kept {
    std::mutex mutex;
    std::shared_ptr<const ParsedBlueprint> parsed;
};

Kept& TheKept() {
    // Never destroyed: a native may still run on another thread while the
    // process's static destructors run.
    static Kept* kept = new Kept();
    return *kept;
}

}  // namespace

std::shared_ptr<const ParsedBlueprint> LastParsedBlueprint() {
    Kept& kept = TheKept();
    std::lock_guard lock(kept.mutex);
    return kept.parsed;
}

void KeepParsedBlueprint(std::shared_ptr<const ParsedBlueprint> parsed) {
    Kept& kept = TheKept();
    std::shared_ptr<const ParsedBlueprint> previous;
    {
        std::lock_guard lock(kept.mutex);
        previous = std::exchange(kept.parsed, std::move(parsed));
    }
    // The previous tree, if nobody holds it any more, is freed here, outside
    // the lock.
}

void ForgetParsedBlueprint() {
    KeepParsedBlueprint(nullptr);
}

}  // namespace quillmere
