#include "blueprint/blueprint_json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

namespace quillmere {
namespace {

constexpr std::size_t kIndentStep = 3;
// A non-empty array of scalars stays on one line while its one-line text is
// shorter than this.
constexpr std::size_t kRightMargin = 74;

template <typename Integer>
std::string IntegerText(Integer value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

bool IsNonEmptyContainer(const Json::Value& value) {
    return (value.isArray() || value.isObject()) && value.size() > 0;
}

class LayoutWriter {
  public:
    explicit LayoutWriter(std::string& out) : out_(out) {}

    // Appends `value`; `indent` is the indentation of the line on which the
    // value starts, which nested lines are indented relative to.
    void Write(const Json::Value& value, std::size_t indent) {
        switch (value.type()) {
            case Json::objectValue:
                WriteObject(value, indent);
                break;
            case Json::arrayValue:
                WriteArray(value, indent);
                break;
            default:
                out_ += ScalarText(value);
                break;
        }
    }

  private:
    static std::string ScalarText(const Json::Value& value) {
        switch (value.type()) {
            case Json::intValue:
                return IntegerText(value.asLargestInt());
            case Json::uintValue:
                return IntegerText(value.asLargestUInt());
            case Json::realValue:
                return JsonRealText(value.asDouble());
            case Json::stringValue: {
                // getString keeps embedded zero bytes, which asCString would cut.
                const char* begin = nullptr;
                const char* end = nullptr;
                if (!value.getString(&begin, &end)) return "\"\"";
                return QuoteJsonText(
                    std::string_view(begin, static_cast<std::size_t>(end - begin)));
            }
            case Json::booleanValue:
                return value.asBool() ? "true" : "false";
            case Json::arrayValue:
                return "[]";  // only ever asked for empty containers
            case Json::objectValue:
                return "{}";
            case Json::nullValue:
            default:
                return "null";
        }
    }

    void NewLine(std::size_t indent) {
        out_ += '\n';
        out_.append(indent, ' ');
    }

    void WriteObject(const Json::Value& object, std::size_t indent) {
        if (object.empty()) {
            out_ += "{}";
            return;
        }
        // Sorted here rather than trusting the container's order: keys are
        // compared as unsigned bytes, a prefix before its extensions.
        std::vector<std::pair<std::string, const Json::Value*>> members;
        members.reserve(object.size());
        for (auto it = object.begin(); it != object.end(); ++it) {
            members.emplace_back(it.name(), &*it);
        }
        std::sort(members.begin(), members.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });

        out_ += '{';
        const std::size_t inner = indent + kIndentStep;
        for (std::size_t i = 0; i < members.size(); ++i) {
            NewLine(inner);
            out_ += QuoteJsonText(members[i].first);
            out_ += " : ";
            Write(*members[i].second, inner);
            if (i + 1 < members.size()) out_ += ',';
        }
        NewLine(indent);
        out_ += '}';
    }

    void WriteArray(const Json::Value& array, std::size_t indent) {
        const Json::ArrayIndex count = array.size();
        if (count == 0) {
            out_ += "[]";
            return;
        }
        std::vector<std::string> oneLineTexts;
        if (FitsOnOneLine(array, oneLineTexts)) {
            out_ += "[ ";
            for (std::size_t i = 0; i < oneLineTexts.size(); ++i) {
                if (i > 0) out_ += ", ";
                out_ += oneLineTexts[i];
            }
            out_ += " ]";
            return;
        }
        out_ += '[';
        const std::size_t inner = indent + kIndentStep;
        for (Json::ArrayIndex i = 0; i < count; ++i) {
            NewLine(inner);
            Write(array[i], inner);
            if (i + 1 < count) out_ += ',';
        }
        NewLine(indent);
        out_ += ']';
    }

    // Fills `texts` with the elements' texts when the array goes on one line.
    static bool FitsOnOneLine(const Json::Value& array, std::vector<std::string>& texts) {
        const Json::ArrayIndex count = array.size();
        if (static_cast<std::size_t>(count) * 3 >= kRightMargin) return false;
        for (Json::ArrayIndex i = 0; i < count; ++i) {
            if (IsNonEmptyContainer(array[i])) return false;
        }
        std::size_t length = 4 + 2 * (static_cast<std::size_t>(count) - 1);
        texts.reserve(count);
        for (Json::ArrayIndex i = 0; i < count; ++i) {
            texts.push_back(ScalarText(array[i]));
            length += texts.back().size();
        }
        return length < kRightMargin;
    }

    std::string& out_;
};

}  // namespace

std::string QuoteJsonText(std::string_view text) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    for (const char c : text) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\b':
                quoted += "\\b";
                break;
            case '\f':
                quoted += "\\f";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default: {
                const auto byte = static_cast<unsigned char>(c);
                if (byte < 0x20) {
                    quoted += "\\u00";
                    quoted += kHexDigits[byte >> 4];
                    quoted += kHexDigits[byte & 0x0F];
                } else {
                    // Includes 0x80-0xFF: host strings are stored byte for byte.
                    quoted += c;
                }
                break;
            }
        }
    }
    quoted += '"';
    return quoted;
}

std::string JsonRealText(double value) {
    if (std::isnan(value)) return "null";
    if (std::isinf(value)) return value < 0 ? "-1e+9999" : "1e+9999";
    // to_chars behaves as printf("%.17g") in the C locale whatever locale
    // the host process has set, and rounds correctly on every C runtime.
    char buffer[40];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    return text;
}

std::string SerializeBlueprint(const Json::Value& root) {
    std::string document;
    LayoutWriter(document).Write(root, 0);
    document += '\n';
    return document;
}

}  // namespace quillmere
