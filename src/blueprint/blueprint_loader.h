// The first steps of every blueprint reader: open the file a script names,
// read all of it, parse it, and convert its values the way every reader does.
// Every call reads the file in its current state. The parse is shared: when
// the bytes are exactly those of the blueprint parsed last from the same
// path, the tree parsed then is used again (see last_parsed_blueprint.h).
#pragma once

#include <json/value.h>

#include <cstdint>
#include <memory>
#include <string>

#include "common/debug_log.h"
#include "vm/bs_fixed_string.h"

namespace quillmere {

// Reads every byte of the file at `path` (used unchanged, relative to the
// working folder) and returns the tree parsed from them. On failure logs
// "cannot find file: %s" (the file cannot be opened or read, a folder
// included) or "JSON parser error: %s" and returns null.
std::shared_ptr<const Json::Value> LoadSharedBlueprint(const char* path);

// The same, into a tree of the caller's own.
bool LoadBlueprint(const char* path, Json::Value& root);

// Parses a blueprint's text with jsoncpp's reader (comments allowed, any
// root), reading the infinities the blueprint layout writes as 1e+9999.
bool ParseBlueprintText(const std::string& text, Json::Value& root);

// Loads the blueprint at `path` and hands its root to `read`, a callable
// bool(const Json::Value&) that reports false after logging a missing
// section. The tree may be shared with other calls, so it is only read.
// jsoncpp refuses some conversions by throwing (an object read as text, a
// text read as a number, an integer beyond 32 bits, a name looked up in
// something that is not an object); that is reported like a parse error,
// since the file is not a blueprint the readers can use, and never leaves the
// reader.
template <typename Read>
bool ReadBlueprint(const char* path, Read&& read) {
    const std::shared_ptr<const Json::Value> root = LoadSharedBlueprint(path);
    if (!root) return false;
    try {
        return read(*root);
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
