// A scenario: the game state of one settlement export, as korvane-sim export
// reads it from a JSON file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane_tool {

// The seven item flags, in the order Save128ExtraProps takes them and the
// mod's ExtraProperties struct declares them.
constexpr std::array<const char*, 7> kFlagNames = {"isPowered",      "isGenerator", "isCreated",
                                                   "isActor",        "isTurret",    "isFarmAnimal",
                                                   "isTamedCreature"};

struct Vector3 {
    float x = 0, y = 0, z = 0;
};

struct ScenarioItem {
    uint32_t form = 0;                   // base object, full form id
    std::optional<std::string> refName;  // the placed reference's display name
    Vector3 pos, rot;
    std::array<int32_t, 7> flags{};  // by kFlagNames; scripts' Int is signed
};

struct Scenario {
    // Index = load-order index; an empty name is a free index.
    std::vector<std::string> loadOrder;
    std::optional<std::string> player;
    float pluginVersion = 1.0f;
    int32_t debugLevel = 0;
    std::optional<uint32_t> worldspace;   // nullopt: None
    std::optional<std::string> location;  // nullopt: a location without a full name
    uint32_t workshopRef = 0, workshopBase = 0;
    Vector3 workshopPos, workshopRot;
    std::vector<ScenarioItem> items;
    uint32_t batchSize = 128;
    int slot = 1;

    // The plugin loaded at the form's load-order index, as the game answers;
    // nullopt when no plugin is loaded there.
    std::optional<std::string> PluginOf(uint32_t formId) const;
};

// Reads and checks a scenario file. On failure returns nullopt and sets
// *error to "FILE:LINE:COLUMN: what is wrong" (or "FILE: ..." when the file
// cannot be read).
std::optional<Scenario> ReadScenario(const std::string& path, std::string* error);
// The same for a text already read; fileName only names it in messages.
std::optional<Scenario> ParseScenario(const std::string& text, const std::string& fileName,
                                      std::string* error);

}  // namespace korvane_tool
