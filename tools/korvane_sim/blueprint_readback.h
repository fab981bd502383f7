// A blueprint as the mod's scripts receive it: the results of the five
// reader natives, and the names the mod gives the members of its structs.
#pragma once

#include <string>
#include <vector>

#include "game_session.h"

namespace korvane_tool {

struct Readback {
    korvane::ScriptValue header;           // BlueprintHeader, or None
    korvane::ScriptValue pluginsRequired;  // String[], or None
    korvane::ScriptValue workshop;         // WorkshopData, or None
    korvane::ScriptValue items;            // SettlementItem[], or None
    korvane::ScriptValue extraProps;       // ExtraProperties[], or None
};

// Calls GetBlueprintHeader, GetPluginsRequired, GetWorkshopData,
// GetItemsFromBlueprint and GetExtraPropsFromBlueprint with the path.
Readback ReadBlueprint(GameSession& game, const std::string& path);

// Member names of the mod's structs, in declaration order.
const std::vector<std::string>& HeaderLabels();
const std::vector<std::string>& WorkshopLabels();
const std::vector<std::string>& ItemLabels();
const std::vector<std::string>& ExtraPropertiesLabels();

// A struct (or a struct element of an array) that the script can use: not a
// None, and of the expected member count.
bool IsUsableStruct(const korvane::ScriptValue& v, std::size_t members);

}  // namespace korvane_tool
