// The slot list as `list` prints it.
#pragma once

#include <string>

#include "game_session.h"

namespace korvane_tool {

// Calls LoadBlueprintList: "N: entry" lines for the elements, or "None".
std::string ListSlots(GameSession& game);

}  // namespace korvane_tool
