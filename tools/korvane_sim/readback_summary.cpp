#include "readback_summary.h"

#include <cstdio>
#include <map>

#include "scenario.h"
#include "text_format.h"

namespace korvane_tool {

namespace {

using korvane::ScriptValue;

// Struct members by position, as declared (see the labels).
enum HeaderMember {
    kExportDate,
    kItemCount,
    kPlayer,
    kVersion,
    kSettlement,
    kWorldId,
    kWorldIdDec,
    kWorldName,
    kWorldPlugin
};
enum WorkshopMember {
    kWorkshopId,
    kWorkshopIdDec,
    kWorkshopBaseDec,
    kWorkshopPlugin,
    kWorkshopPos
};
enum ItemMember { kItemPlugin, kItemFormId, kItemFormIdDec, kItemName, kItemPos };

// One letter per flag, in the order of the flags; "." for 0, "!" for a value
// other than 0 and 1.
constexpr char kFlagLetters[] = "PGCATFM";

std::string Num(const ScriptValue& v) {
    return v.type == korvane::ScriptType::Float ? Format("%g", static_cast<double>(v.f))
                                                : std::to_string(v.i);
}

std::string Triple(const ScriptValue& s, std::size_t first) {
    return Num(s.elements[first]) + ", " + Num(s.elements[first + 1]) + ", " +
           Num(s.elements[first + 2]);
}

std::string Flags(const ScriptValue& props) {
    if (!IsUsableStruct(props, kFlagNames.size())) return "-";
    std::string letters;
    for (std::size_t f = 0; f < kFlagNames.size(); ++f) {
        const int32_t value = props.elements[f].i;
        letters += value == 0 ? '.' : value == 1 ? kFlagLetters[f] : '!';
    }
    return letters;
}

const char* const kNone = "None (see the debug log for why)";

}  // namespace

std::string ReadbackSummary(const std::string& path, const Readback& r) {
    std::string out = "Blueprint " + path + "\n";

    const ScriptValue& h = r.header;
    if (IsUsableStruct(h, HeaderLabels().size())) {
        const auto& m = h.elements;
        out +=
            "  exported      " + m[kExportDate].s + " (plug-in version " + Num(m[kVersion]) + ")\n";
        out += "  player        " + m[kPlayer].s + "\n";
        out += "  settlement    " + m[kSettlement].s + "\n";
        out += "  worldspace    " + m[kWorldName].s + " (" + m[kWorldId].s + " of " +
               m[kWorldPlugin].s + ")\n";
        out += "  item count    " + Num(m[kItemCount]) + "\n";
    } else {
        out += std::string("  header        ") + kNone + "\n";
    }

    out += "Required plugins  ";
    if (r.pluginsRequired.isNone) {
        out += kNone;
    } else {
        for (std::size_t k = 0; k < r.pluginsRequired.elements.size(); ++k)
            out += (k ? ", " : "") + r.pluginsRequired.elements[k].s;
    }
    out += "\n";

    const ScriptValue& w = r.workshop;
    if (IsUsableStruct(w, WorkshopLabels().size())) {
        const auto& m = w.elements;
        out += "Workshop          " + m[kWorkshopId].s + " of " + m[kWorkshopPlugin].s +
               ", base object " + Format("%06X", static_cast<unsigned>(m[kWorkshopBaseDec].i)) +
               "\n";
        out += "  position " + Triple(w, kWorkshopPos) + "; rotation " +
               Triple(w, kWorkshopPos + 3) + "\n";
    } else {
        out += std::string("Workshop          ") + kNone + "\n";
    }

    if (r.items.isNone) {
        out += std::string("Items             ") + kNone + "\n";
        return out;
    }
    const auto& items = r.items.elements;
    const auto& props = r.extraProps.elements;
    out += Format("Items             %zu; flags: ", items.size());
    for (std::size_t f = 0; f < kFlagNames.size(); ++f)
        out += Format("%s%c %s", f ? ", " : "", kFlagLetters[f], kFlagNames[f]);
    out += "\n";

    // Grouped by plugin, the plugins in the order their first item comes.
    std::vector<std::string> plugins;
    std::map<std::string, std::vector<std::size_t>> byPlugin;
    for (std::size_t k = 0; k < items.size(); ++k) {
        const std::string plugin = IsUsableStruct(items[k], ItemLabels().size())
                                       ? items[k].elements[kItemPlugin].s
                                       : "(not readable)";
        if (!byPlugin.count(plugin)) plugins.push_back(plugin);
        byPlugin[plugin].push_back(k);
    }
    for (const std::string& plugin : plugins) {
        const std::vector<std::size_t>& group = byPlugin[plugin];
        out += Format("\n%s: %zu item%s\n", plugin.c_str(), group.size(),
                      group.size() == 1 ? "" : "s");
        out += Format("  %5s  %-6s  %-28s %10s %10s %8s %6s %6s %6s  %s\n", "idx", "FormID", "name",
                      "posX", "posY", "posZ", "rotX", "rotY", "rotZ", "flags");
        for (const std::size_t k : group) {
            const ScriptValue& item = items[k];
            const std::string flags = k < props.size() ? Flags(props[k]) : "-";
            if (!IsUsableStruct(item, ItemLabels().size())) {
                out += Format("  %5zu  (None)\n", k);
                continue;
            }
            const auto& m = item.elements;
            auto g = [&](std::size_t i) { return static_cast<double>(m[kItemPos + i].f); };
            out += Format("  %5zu  %-6s  %-28s %10g %10g %8g %6g %6g %6g  %s\n", k,
                          m[kItemFormId].s.c_str(), m[kItemName].s.c_str(), g(0), g(1), g(2), g(3),
                          g(4), g(5), flags.c_str());
        }
    }
    return out;
}

}  // namespace korvane_tool
