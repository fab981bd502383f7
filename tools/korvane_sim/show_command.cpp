// korvane-sim show: a blueprint as the readers hand it to scripts.
#include <stdexcept>

#include "command_line.h"
#include "readback_json.h"
#include "readback_summary.h"
#include "result_output.h"

namespace korvane_tool {

namespace {

constexpr char kUsage[] =
    "usage: korvane-sim show BLUEPRINT [--game-dir DIR] [--plugin PATH] [--json]\n"
    "\n"
    "Calls GetBlueprintHeader, GetPluginsRequired, GetWorkshopData,\n"
    "GetItemsFromBlueprint and GetExtraPropsFromBlueprint with BLUEPRINT (a path\n"
    "relative to the game folder, as scripts pass it) and prints what they\n"
    "return: a summary, or with --json one JSON object {\"header\",\n"
    "\"plugins_required\", \"workshop\", \"items\", \"extra_props\"} whose structs\n"
    "are keyed by the mod's member names (null for a None result).\n"
    "\n"
    "Exit status: 0 when the header was read, 1 when GetBlueprintHeader\n"
    "returned None (the reason is in the debug log), 2 for a usage error.\n";

}  // namespace

int RunShow(const Arguments& args) {
    int code = kExitOk;
    const auto options = ParseOptions(args,
                                      {.command = "show",
                                       .plugin = true,
                                       .json = true,
                                       .positionalCount = 1,
                                       .positionalName = "the blueprint"},
                                      &code);
    if (!options) return code;
    if (options->help) {
        Print(kUsage);
        return kExitOk;
    }
    std::string error;
    auto game =
        GameSession::Start({.gameDir = options->gameDir, .plugin = options->plugin}, &error);
    if (!game) return Fail(error);
    try {
        const std::string& path = options->positional[0];
        const Readback readback = ReadBlueprint(*game, path);
        Print(options->json ? ReadbackJson(readback) : ReadbackSummary(path, readback));
        return readback.header.isNone ? kExitFailed : kExitOk;
    } catch (const std::exception& e) {
        return Fail(std::string("the game refused a call: ") + e.what());
    }
}

}  // namespace korvane_tool
