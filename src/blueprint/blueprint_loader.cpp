#include "blueprint/blueprint_loader.h"

#include <json/reader.h>

#include <exception>
#include <fstream>
#include <istream>

namespace quillmere {

bool LoadBlueprint(const char* path, Json::Value& root) {
    std::ifstream file(path);
    bool readable = file.is_open();
    if (readable) {
        // A folder opens as a stream on POSIX systems and only fails on the
        // first read; peeking finds that out before the parser sees an empty
        // text.
        file.peek();
        readable = !file.bad();
    }
    if (!readable) {
        LogError("cannot find file: %s", path);
        return false;
    }
    // jsoncpp's stream form reads up to the end of the stream, so every byte
    // of a blueprint is parsed (0xFF included: the writer copies bytes of
    // names unchanged, and they must come back). A read error half-way
    // surfaces as an exception from the stream buffer.
    bool parsed = false;
    try {
        Json::Reader reader;
        parsed = reader.parse(file, root, true);
    } catch (const std::exception&) {
        parsed = false;
    }
    if (!parsed) {
        LogError("JSON parser error: %s", path);
        return false;
    }
    return true;
}

BSFixedString TextValue(const Json::Value& value) {
    return BSFixedString(value.asString().c_str());
}

uint32_t IntValue(const Json::Value& value) {
    return static_cast<uint32_t>(value.asInt());
}

float FloatValue(const Json::Value& value) {
    return value.asFloat();
}

}  // namespace quillmere
