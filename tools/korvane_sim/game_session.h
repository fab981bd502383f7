// A game running in its folder with the plug-in loaded and its natives
// registered, through which the commands call natives as the mod's scripts
// do.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "korvane_sim.h"

namespace korvane_tool {

// The script class the plug-in registers its natives under.
constexpr char kScriptClass[] = "Quillmere";

// Where the mod keeps its blueprints, relative to the game folder; slot n is
// this folder followed by n.
constexpr char kBlueprintsFolder[] = "Data/Plexor/Plugins/Quillmere/blueprints/";

struct SessionSettings {
    std::string gameDir = ".";
    std::string plugin;  // empty: the plug-in built beside the program
    bool createGameDir = false;
};

class GameSession {
  public:
    // Resolves the plug-in's path, enters the game folder, then runs the
    // extender's start-up (Query, Load), declares the mod's script structs
    // and registers the natives. On failure returns null with *error set.
    static std::unique_ptr<GameSession> Start(const SessionSettings& settings, std::string* error);

    korvane::Host& Host() { return host_; }
    // A script's call of one of the plug-in's natives. Throws what
    // korvane::Host::Call throws.
    korvane::ScriptValue Call(const std::string& native,
                              const std::vector<korvane::ScriptValue>& args = {});

  private:
    GameSession() = default;
    korvane::Host host_;
};

}  // namespace korvane_tool
