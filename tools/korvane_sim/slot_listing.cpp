#include "slot_listing.h"

namespace korvane_tool {

std::string ListSlots(GameSession& game) {
    // The mod passes a text the native never reads.
    const korvane::ScriptValue slots =
        game.Call("LoadBlueprintList", {korvane::ScriptValue::String("")});
    if (slots.isNone) return "None\n";
    std::string out;
    for (std::size_t k = 0; k < slots.elements.size(); ++k)
        out += std::to_string(k + 1) + ": " + slots.elements[k].s + "\n";
    return out;
}

}  // namespace korvane_tool
