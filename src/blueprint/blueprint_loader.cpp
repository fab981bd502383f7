#include "blueprint/blueprint_loader.h"

#include <json/reader.h>

#include <cstring>
#include <exception>
#include <fstream>
#include <istream>
#include <string>
#include <vector>

#include "blueprint/last_parsed_blueprint.h"

namespace quillmere {
namespace {

// Reads the rest of `in`, as jsoncpp's stream form would: up to the end of
// the stream, 0xFF included (the writer copies bytes of names unchanged, and
// they must come back). While the bytes agree with `known` they are only
// compared, not copied: when every byte agrees and nothing is left over,
// `same` is set and the result is empty. A read error raises the stream
// buffer's exception.
std::string ReadRest(std::istream& in, const std::string* known, bool& same) {
    std::string bytes;
    bool agreeing = known != nullptr;
    std::size_t agreed = 0;
    std::vector<char> chunk(std::size_t{1} << 16);
    for (;;) {
        const std::streamsize got =
            in.rdbuf()->sgetn(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        if (got <= 0) break;
        const auto count = static_cast<std::size_t>(got);
        if (agreeing) {
            if (agreed + count <= known->size() &&
                std::memcmp(known->data() + agreed, chunk.data(), count) == 0) {
                agreed += count;
                continue;
            }
            agreeing = false;
            bytes.assign(*known, 0, agreed);
        }
        bytes.append(chunk.data(), count);
    }
    same = agreeing && agreed == known->size();
    return bytes;
}

std::shared_ptr<const Json::Value> RootOf(std::shared_ptr<const ParsedBlueprint> parsed) {
    const Json::Value* root = &parsed->root;
    return std::shared_ptr<const Json::Value>(std::move(parsed), root);
}

}  // namespace

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The blueprint layout writes an infinite real as 1e+9999, and jsoncpp's
// reader refuses that number as out of range. A blueprint the library wrote
// must read back, so outside texts the number is read as the largest double
// of its sign, which a reader taking the value as a float turns into the
// infinity that was written.
std::string WithReadableInfinities(const std::string& text) {
    static constexpr char kWritten[] = "1e+9999";
    static constexpr std::size_t kLength = sizeof kWritten - 1;
    std::string out;
    out.reserve(text.size());
    bool inText = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inText) {
            out += c;
            if (c == '\\' && i + 1 < text.size()) {
                out += text[++i];
            } else if (c == '"') {
                inText = false;
            }
            continue;
        }
        const bool startsNumber = i == 0 || (!IsDigit(text[i - 1]) && text[i - 1] != '.');
        const bool endsNumber = i + kLength >= text.size() || !IsDigit(text[i + kLength]);
        if (startsNumber && endsNumber && text.compare(i, kLength, kWritten) == 0) {
            out += "1.7976931348623157e+308";
            i += kLength - 1;
            continue;
        }
        if (c == '"') inText = true;
        out += c;
    }
    return out;
}

}  // namespace

bool ParseBlueprintText(const std::string& text, Json::Value& root) {
    Json::Reader reader;
    if (reader.parse(text.data(), text.data() + text.size(), root, true)) return true;
    if (text.find("1e+9999") == std::string::npos) return false;
    const std::string readable = WithReadableInfinities(text);
    return reader.parse(readable.data(), readable.data() + readable.size(), root, true);
}

std::shared_ptr<const Json::Value> LoadSharedBlueprint(const char* path) {
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
        return nullptr;
    }
    // Any failure from here on, a read error half-way included, means the
    // file is not a blueprint that can be read.
    try {
        std::shared_ptr<const ParsedBlueprint> last = LastParsedBlueprint();
        if (last && last->path != path) last.reset();
        bool same = false;
        std::string bytes = ReadRest(file, last ? &last->bytes : nullptr, same);
        if (same) return RootOf(std::move(last));

        // The kept tree is of no further use; its memory goes before the new
        // tree is built.
        last.reset();
        ForgetParsedBlueprint();
        auto parsed = std::make_shared<ParsedBlueprint>();
        parsed->path = path;
        parsed->bytes = std::move(bytes);
        if (ParseBlueprintText(parsed->bytes, parsed->root)) {
            KeepParsedBlueprint(parsed);
            return RootOf(std::move(parsed));
        }
    } catch (const std::exception&) {
    }
    LogError("JSON parser error: %s", path);
    return nullptr;
}

bool LoadBlueprint(const char* path, Json::Value& root) {
    const std::shared_ptr<const Json::Value> shared = LoadSharedBlueprint(path);
    if (!shared) return false;
    root = *shared;
    return true;
}

BSFixedString TextValue(const Json::Value& value) {
    // A text is handed over as it is stored, without a copy; it ends at its
    // first NUL either way.
    if (value.isString()) {
        const char* text = value.asCString();
        return BSFixedString(text != nullptr ? text : "");
    }
    return BSFixedString(value.asString().c_str());
}

uint32_t IntValue(const Json::Value& value) {
    return static_cast<uint32_t>(value.asInt());
}

float FloatValue(const Json::Value& value) {
    return value.asFloat();
}

}  // namespace quillmere
