#include "blueprint_readback.h"

#include "scenario.h"

namespace korvane_tool {

Readback ReadBlueprint(GameSession& game, const std::string& path) {
    const std::vector<korvane::ScriptValue> args = {korvane::ScriptValue::String(path)};
    Readback r;
    r.header = game.Call("GetBlueprintHeader", args);
    r.pluginsRequired = game.Call("GetPluginsRequired", args);
    r.workshop = game.Call("GetWorkshopData", args);
    r.items = game.Call("GetItemsFromBlueprint", args);
    r.extraProps = game.Call("GetExtraPropsFromBlueprint", args);
    return r;
}

const std::vector<std::string>& HeaderLabels() {
    static const std::vector<std::string> labels = {
        "export_date",       "item_count",      "player_name",
        "plugin_version",    "settlement_name", "worldspace_id",
        "worldspace_id_dec", "worldspace_name", "worldspace_plugin"};
    return labels;
}

const std::vector<std::string>& WorkshopLabels() {
    static const std::vector<std::string> labels = {"workshop_id",
                                                    "workshop_id_dec",
                                                    "workshop_baseid_dec",
                                                    "workshop_plugin",
                                                    "posX",
                                                    "posY",
                                                    "posZ",
                                                    "rotX",
                                                    "rotY",
                                                    "rotZ"};
    return labels;
}

const std::vector<std::string>& ItemLabels() {
    static const std::vector<std::string> labels = {"plugin_name", "FormID", "FormID_dec", "name",
                                                    "posX",        "posY",   "posZ",       "rotX",
                                                    "rotY",        "rotZ"};
    return labels;
}

const std::vector<std::string>& ExtraPropertiesLabels() {
    static const std::vector<std::string> labels(kFlagNames.begin(), kFlagNames.end());
    return labels;
}

bool IsUsableStruct(const korvane::ScriptValue& v, std::size_t members) {
    return v.type == korvane::ScriptType::Struct && !v.isNone && v.elements.size() == members;
}

}  // namespace korvane_tool
