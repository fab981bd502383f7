// Serialises a JSON document into the exact bytes of a blueprint file.
//
// This serialiser is written by hand on purpose. Blueprints have a fixed
// layout that existing files and tools rely on, and jsoncpp's writers no
// longer give it: measured with Debian's jsoncpp 1.9.5, StyledWriter writes
// "é" as \u00e9, turns an invalid byte such as 0xFF into \ufffd and writes
// 0x1B as \u001b in lower case; StreamWriterBuilder also puts "{" and "["
// on lines of their own. jsoncpp is used only for the value tree.
#pragma once

#include <json/value.h>

#include <string>
#include <string_view>

namespace quillmere {

// The whole file: the document laid out with indentation 3 and right margin
// 74, keys in byte order, one line feed at the end of every line including
// the last.
std::string SerializeBlueprint(const Json::Value& root);

// The pieces of the layout, for code that writes a single value.
// A text in double quotes with the blueprint escapes; bytes 0x80-0xFF are
// copied as they are, without checking any encoding.
std::string QuoteJsonText(std::string_view text);
// A real as "%.17g" in the C locale, with ".0" added when the text has
// neither "." nor "e"; NaN is null and infinities are +/-1e+9999.
std::string JsonRealText(double value);

}  // namespace quillmere
