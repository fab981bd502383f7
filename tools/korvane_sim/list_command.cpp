// korvane-sim list: the ten slots as LoadBlueprintList reports them.
#include <stdexcept>

#include "command_line.h"
#include "result_output.h"
#include "slot_listing.h"

namespace korvane_tool {

namespace {

constexpr char kUsage[] =
    "usage: korvane-sim list [--game-dir DIR] [--plugin PATH]\n"
    "\n"
    "Calls LoadBlueprintList and prints its ten entries, one a line as\n"
    "\"N: entry\" for slots 1 to 10: the blueprint's file name, \"empty\" or\n"
    "\"none\". Prints \"None\" when the native returned None (no blueprints\n"
    "folder).\n";

}  // namespace

int RunList(const Arguments& args) {
    int code = kExitOk;
    const auto options = ParseOptions(args, {.command = "list", .plugin = true}, &code);
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
        Print(ListSlots(*game));
        return kExitOk;
    } catch (const std::exception& e) {
        return Fail(std::string("the game refused a call: ") + e.what());
    }
}

}  // namespace korvane_tool
