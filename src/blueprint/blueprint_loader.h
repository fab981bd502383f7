// The first steps of every blueprint reader: open the file a script names,
// parse all of it, and convert its values the way every reader does. Nothing
// is kept between calls; each reader parses the file again.
#pragma once

#include <json/value.h>

#include <cstdint>

#include "common/debug_log.h"
#include "vm/bs_fixed_string.h"

namespace quillmere {

// Reads every byte of the file at `path` (used unchanged, relative to the
// working folder) and parses it into `root`. On failure logs
// "cannot find file: %s" (the file cannot be opened or read, a folder
// included) or "JSON parser error: %s" and returns false.
bool LoadBlueprint(const char* path, Json::Value& root);

// Loads the blueprint at `path` and hands its root to `read`, a callable
// bool(Json::Value&) that reports false after logging a missing section.
// jsoncpp refuses some conversions by throwing (an object read as text, a
// text read as a number, an integer beyond 32 bits, a name looked up in
// something that is not an object); that is reported like a parse error,
// since the file is not a blueprint the readers can use, and never leaves the
// reader.
template <typename Read>
bool ReadBlueprint(const char* path, Read&& read) {
    Json::Value root;
    if (!LoadBlueprint(path, root)) return false;
    try {
        return read(root);
    } catch (const Json::Exception&) {
        LogError("JSON parser error: %s", path);
        return false;
    }
}

// A section (header, workshop, items) is there when it has members or
// elements; null, scalars and empty containers all count as absent.
inline bool SectionPresent(const Json::Value& section) {
    return section.size() > 0;
}

// The value as text (numbers in jsoncpp's decimal form, booleans as
// true/false, null as ""), cut at its first NUL like every host string.
BSFixedString TextValue(const Json::Value& value);
// The value as a signed 32-bit integer (reals truncated toward zero,
// booleans 1/0, null 0), kept as its 32 bits.
uint32_t IntValue(const Json::Value& value);
// The value as a float (null 0.0, booleans 1.0/0.0).
float FloatValue(const Json::Value& value);

}  // namespace quillmere
