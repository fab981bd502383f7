// Exporting a scenario's settlement through the natives, in the order the
// mod's scripts call them.
#pragma once

#include <string>

#include "game_session.h"
#include "scenario.h"

namespace korvane_tool {

struct ExportOutcome {
    bool stored = false;     // what StoreDataToBlueprint returned
    std::string slotFolder;  // as passed to StoreDataToBlueprint
    // The written blueprint's path relative to the game folder: the slot
    // folder, "/" and the file name LoadBlueprintList reports for the slot
    // (as the scripts find it); empty when the slot holds no blueprint.
    std::string blueprint;
};

std::string SlotFolder(int slot);

// Builds the scenario's game state (load order, player, worldspace, location,
// workshop, items with their references) and calls Init, SaveHeader,
// SaveWorkshopData, Save128Items and Save128ExtraProps per batch, then
// StoreDataToBlueprint and LoadBlueprintList.
ExportOutcome ExportSettlement(GameSession& game, const Scenario& scenario);

}  // namespace korvane_tool
