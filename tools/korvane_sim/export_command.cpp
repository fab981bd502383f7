// korvane-sim export: a scenario's settlement exported through the natives.
#include <stdexcept>

#include "command_line.h"
#include "result_output.h"
#include "settlement_export.h"

namespace korvane_tool {

namespace {

constexpr char kUsage[] =
    "usage: korvane-sim export SCENARIO.json [--game-dir DIR] [--plugin PATH]\n"
    "\n"
    "Builds the game state the scenario describes and exports it as the mod's\n"
    "scripts do: Init, SaveHeader, SaveWorkshopData, then Save128Items and\n"
    "Save128ExtraProps per batch, then StoreDataToBlueprint into the scenario's\n"
    "slot folder, which the plug-in empties first. The last line printed is the\n"
    "written blueprint's path, relative to the game folder.\n"
    "\n"
    "  --game-dir DIR  the game's working folder (default: the current folder;\n"
    "                  created if missing)\n"
    "  --plugin PATH   the plug-in library (default: the one beside this program)\n"
    "\n"
    "Exit status: 0 when StoreDataToBlueprint returned true, 1 when it returned\n"
    "false or the game could not start, 2 for a usage or scenario error.\n";

}  // namespace

int RunExport(const Arguments& args) {
    int code = kExitOk;
    const auto options = ParseOptions(args,
                                      {.command = "export",
                                       .plugin = true,
                                       .positionalCount = 1,
                                       .positionalName = "the scenario file"},
                                      &code);
    if (!options) return code;
    if (options->help) {
        Print(kUsage);
        return kExitOk;
    }
    std::string error;
    const auto scenario = ReadScenario(options->positional[0], &error);
    if (!scenario) return Fail(error, kExitUsage);

    auto game = GameSession::Start(
        {.gameDir = options->gameDir, .plugin = options->plugin, .createGameDir = true}, &error);
    if (!game) return Fail(error);
    try {
        const ExportOutcome outcome = ExportSettlement(*game, *scenario);
        if (!outcome.stored)
            return Fail("StoreDataToBlueprint returned false for " + outcome.slotFolder +
                        " (see the debug log)");
        Print(outcome.blueprint + "\n");
        return kExitOk;
    } catch (const std::exception& e) {
        return Fail(std::string("the game refused a call: ") + e.what());
    }
}

}  // namespace korvane_tool
