#include "readback_json.h"

#include <cmath>
#include <cstdio>

namespace korvane_tool {

namespace {

using korvane::ScriptType;
using korvane::ScriptValue;

// Texts are the game's bytes: only the escapes JSON requires are made, and
// bytes from 0x80 on pass unchanged.
void AppendString(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
                    out += escape;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

void AppendScalar(std::string& out, const ScriptValue& v) {
    switch (v.type) {
        case ScriptType::Int:
            out += std::to_string(v.i);
            break;
        case ScriptType::Bool:
            out += v.i ? "true" : "false";
            break;
        case ScriptType::Float:
            out += FloatText(v.f);
            break;
        case ScriptType::String:
            AppendString(out, v.s);
            break;
        default:
            out += "null";
    }
}

void AppendStruct(std::string& out, const ScriptValue& v, const std::vector<std::string>& labels) {
    if (v.type != ScriptType::Struct || v.isNone) {
        out += "null";
        return;
    }
    out += '{';
    for (std::size_t m = 0; m < v.elements.size(); ++m) {
        if (m) out += ", ";
        AppendString(out, m < labels.size() ? labels[m] : "member" + std::to_string(m + 1));
        out += ": ";
        AppendScalar(out, v.elements[m]);
    }
    out += '}';
}

// One element per line, so that large blueprints stay readable and diffable.
template <typename AppendElement>
void AppendArray(std::string& out, const ScriptValue& v, AppendElement append) {
    if (!v.IsArray() || v.isNone) {
        out += "null";
        return;
    }
    if (v.elements.empty()) {
        out += "[]";
        return;
    }
    out += "[\n";
    for (std::size_t k = 0; k < v.elements.size(); ++k) {
        out += "    ";
        append(out, v.elements[k]);
        out += k + 1 < v.elements.size() ? ",\n" : "\n";
    }
    out += "  ]";
}

}  // namespace

std::string FloatText(float f) {
    if (!std::isfinite(f)) return "null";  // JSON has no text for these
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(f));
    return text;
}

std::string ReadbackJson(const Readback& r) {
    std::string out = "{\n  \"header\": ";
    AppendStruct(out, r.header, HeaderLabels());
    out += ",\n  \"plugins_required\": ";
    if (!r.pluginsRequired.IsArray() || r.pluginsRequired.isNone) {
        out += "null";
    } else {
        out += '[';
        for (std::size_t k = 0; k < r.pluginsRequired.elements.size(); ++k) {
            if (k) out += ", ";
            AppendScalar(out, r.pluginsRequired.elements[k]);
        }
        out += ']';
    }
    out += ",\n  \"workshop\": ";
    AppendStruct(out, r.workshop, WorkshopLabels());
    out += ",\n  \"items\": ";
    AppendArray(out, r.items,
                [](std::string& o, const ScriptValue& e) { AppendStruct(o, e, ItemLabels()); });
    out += ",\n  \"extra_props\": ";
    AppendArray(out, r.extraProps, [](std::string& o, const ScriptValue& e) {
        AppendStruct(o, e, ExtraPropertiesLabels());
    });
    out += "\n}\n";
    return out;
}

}  // namespace korvane_tool
