#include "round_trip_check.h"

#include "readback_json.h"
#include "text_format.h"

namespace korvane_tool {

namespace {

using korvane::ScriptType;
using korvane::ScriptValue;

constexpr char kBaseMaster[] = "Korvane.esm";

std::string LocalIdText(uint32_t formId) {
    return Format("%06X", static_cast<unsigned>(formId & 0xFFFFFF));
}

ScriptValue LocalIdValue(uint32_t formId) {
    return ScriptValue::Int(static_cast<int32_t>(formId & 0xFFFFFF));
}

std::string Show(const ScriptValue& v) {
    switch (v.type) {
        case ScriptType::Int:
            return std::to_string(v.i);
        case ScriptType::Float:
            return FloatText(v.f);
        case ScriptType::String:
            return "\"" + v.s + "\"";
        default:
            return v.isNone ? "None" : korvane::Describe(v);
    }
}

class Comparison {
  public:
    void Struct(const std::string& where, const ScriptValue& actual,
                const std::vector<ScriptValue>& expected, const std::vector<std::string>& labels) {
        if (!IsUsableStruct(actual, expected.size())) {
            Differ(where, "a struct of " + std::to_string(expected.size()) + " members",
                   Show(actual));
            return;
        }
        for (std::size_t m = 0; m < expected.size(); ++m) {
            if (!(actual.elements[m] == expected[m]))
                Differ(where + "." + labels[m], Show(expected[m]), Show(actual.elements[m]));
        }
    }

    void Differ(const std::string& where, const std::string& expected, const std::string& actual) {
        // A hundred lines are enough to see the pattern.
        if (lines.size() < 100)
            lines.push_back(where + ": exported " + expected + ", read back " + actual);
    }

    std::vector<std::string> lines;
};

std::string PluginOr(const Scenario& s, uint32_t formId, const std::string& fallback) {
    return s.PluginOf(formId).value_or(fallback);
}

// The plugins a blueprint of this scenario needs: the base master, the
// worldspace's add-on when it is one of the two with worldspaces of their
// own, the workshop's plugin unless it is one of those already named, and the
// items' plugins in the order of their first item.
std::vector<std::string> ExpectedPlugins(const Scenario& s) {
    std::vector<std::string> plugins = {kBaseMaster};
    std::string worldspacePlugin = kBaseMaster;
    if (s.worldspace) {
        worldspacePlugin = PluginOr(s, *s.worldspace, kBaseMaster);
        if (worldspacePlugin == "DLCCoast.esm" || worldspacePlugin == "DLCBrightvale.esm")
            plugins.push_back(worldspacePlugin);
    }
    const std::string workshopPlugin = PluginOr(s, s.workshopRef, kBaseMaster);
    if (workshopPlugin != kBaseMaster && workshopPlugin != worldspacePlugin)
        plugins.push_back(workshopPlugin);
    for (const ScenarioItem& item : s.items) {
        const std::string plugin = PluginOr(s, item.form, kBaseMaster);
        bool known = false;
        for (const std::string& p : plugins) known = known || p == plugin;
        if (!known) plugins.push_back(plugin);
    }
    return plugins;
}

ScriptValue F(float f) {
    return ScriptValue::Float(f);
}

}  // namespace

std::vector<std::string> CompareRoundTrip(const Scenario& s, const Readback& r) {
    Comparison c;

    // The export date is the run's own; the worldspace's name comes from the
    // plug-in's table of the game's worldspaces. Neither follows from the
    // scenario, so both are left out; the date must still be a full one.
    std::vector<ScriptValue> header = {
        ScriptValue::String(""),
        ScriptValue::Int(static_cast<int32_t>(s.items.size())),
        ScriptValue::String(s.player.value_or("Player")),
        F(s.pluginVersion),
        ScriptValue::String(s.location.value_or("Unknown Settlement")),
        ScriptValue::String(s.worldspace ? LocalIdText(*s.worldspace) : ""),
        s.worldspace ? LocalIdValue(*s.worldspace) : ScriptValue::Int(0),
        ScriptValue::String(""),
        ScriptValue::String(s.worldspace ? PluginOr(s, *s.worldspace, kBaseMaster) : kBaseMaster)};
    if (IsUsableStruct(r.header, header.size())) {
        header[0] = r.header.elements[0];
        header[7] = r.header.elements[7];
        if (r.header.elements[0].s.size() != 19)
            c.Differ("header.export_date", "a date and time", Show(r.header.elements[0]));
    }
    c.Struct("header", r.header, header, HeaderLabels());

    const ScriptValue expectedPlugins = ScriptValue::StringArray(ExpectedPlugins(s));
    if (!(r.pluginsRequired == expectedPlugins))
        c.Differ("plugins_required", Describe(expectedPlugins), Describe(r.pluginsRequired));

    c.Struct(
        "workshop", r.workshop,
        {ScriptValue::String(LocalIdText(s.workshopRef)), LocalIdValue(s.workshopRef),
         LocalIdValue(s.workshopBase), ScriptValue::String(PluginOr(s, s.workshopRef, kBaseMaster)),
         F(s.workshopPos.x), F(s.workshopPos.y), F(s.workshopPos.z), F(s.workshopRot.x),
         F(s.workshopRot.y), F(s.workshopRot.z)},
        WorkshopLabels());

    // An export without items has no items to read back: None.
    const std::size_t count = s.items.size();
    for (const ScriptValue* array : {&r.items, &r.extraProps}) {
        const char* name = array == &r.items ? "items" : "extra_props";
        const std::size_t got = array->isNone ? 0 : array->elements.size();
        if (got != count)
            c.Differ(Format("%s count", name), std::to_string(count), std::to_string(got));
    }
    for (std::size_t k = 0; k < count && k < r.items.elements.size(); ++k) {
        const ScenarioItem& item = s.items[k];
        c.Struct(Format("items[%zu]", k), r.items.elements[k],
                 {ScriptValue::String(PluginOr(s, item.form, kBaseMaster)),
                  ScriptValue::String(LocalIdText(item.form)),
                  ScriptValue::Int(static_cast<int32_t>(item.form)),
                  ScriptValue::String(item.refName.value_or("unknown item")), F(item.pos.x),
                  F(item.pos.y), F(item.pos.z), F(item.rot.x), F(item.rot.y), F(item.rot.z)},
                 ItemLabels());
    }
    for (std::size_t k = 0; k < count && k < r.extraProps.elements.size(); ++k) {
        std::vector<ScriptValue> flags;
        for (const int32_t f : s.items[k].flags) flags.push_back(ScriptValue::Int(f));
        c.Struct(Format("extra_props[%zu]", k), r.extraProps.elements[k], flags,
                 ExtraPropertiesLabels());
    }
    return c.lines;
}

}  // namespace korvane_tool
