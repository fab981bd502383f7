// korvane-sim demo: the main job on the bundled sample settlement. Export it,
// list the slots, show the blueprint, and check that the readers give back
// what was exported.
#include <stdexcept>

#include "command_line.h"
#include "readback_summary.h"
#include "result_output.h"
#include "round_trip_check.h"
#include "settlement_export.h"
#include "slot_listing.h"
#include "text_format.h"
#include "working_folder.h"

namespace korvane_tool {

namespace {

constexpr char kUsage[] =
    "usage: korvane-sim demo [--game-dir DIR] [--plugin PATH] [--scenario FILE]\n"
    "\n"
    "Exports the bundled sample settlement (examples/sanctuary.json beside this\n"
    "program, or FILE) into its slot (emptying that slot folder of the game\n"
    "folder first, as the plug-in does), lists the slots, shows the blueprint as\n"
    "the readers return it, and checks that every value read back equals the\n"
    "exported one.\n"
    "\n"
    "Exit status: 0 when the export succeeded and the round trip is exact, 1\n"
    "otherwise, 2 for a usage or scenario error.\n";

std::string SampleScenario() {
#if defined(_WIN32)
    return ProgramFolder() + "\\examples\\sanctuary.json";
#else
    return ProgramFolder() + "/examples/sanctuary.json";
#endif
}

}  // namespace

int RunDemo(const Arguments& args) {
    int code = kExitOk;
    const auto options =
        ParseOptions(args, {.command = "demo", .plugin = true, .scenario = true}, &code);
    if (!options) return code;
    if (options->help) {
        Print(kUsage);
        return kExitOk;
    }
    const std::string scenarioPath =
        options->scenario.empty() ? SampleScenario() : options->scenario;
    std::string error;
    const auto scenario = ReadScenario(scenarioPath, &error);
    if (!scenario) return Fail(error, kExitUsage);

    auto game = GameSession::Start(
        {.gameDir = options->gameDir, .plugin = options->plugin, .createGameDir = true}, &error);
    if (!game) return Fail(error);
    try {
        Print(Format("== Export: %s\n%zu items in batches of %u into slot %d\n",
                     scenarioPath.c_str(), scenario->items.size(),
                     static_cast<unsigned>(scenario->batchSize), scenario->slot));
        const ExportOutcome outcome = ExportSettlement(*game, *scenario);
        if (!outcome.stored || outcome.blueprint.empty())
            return Fail("the export failed (see the debug log: " + korvane::DebugLogPath() + ")");
        Print("wrote " + outcome.blueprint + "\ndebug log: " + korvane::DebugLogPath() + "\n");

        Print("\n== Slots (LoadBlueprintList)\n" + ListSlots(*game));

        const Readback readback = ReadBlueprint(*game, outcome.blueprint);
        Print("\n== Blueprint, as the readers return it\n" +
              ReadbackSummary(outcome.blueprint, readback));

        const std::vector<std::string> differences = CompareRoundTrip(*scenario, readback);
        Print("\n== Round trip\n");
        if (!differences.empty()) {
            std::string out;
            for (const std::string& line : differences) out += "  " + line + "\n";
            Print(out);
            return Fail(Format("round trip FAILED: %zu difference%s", differences.size(),
                               differences.size() == 1 ? "" : "s"));
        }
        Print(Format(
            "round trip OK: the header, %zu required plugins, the workshop and %zu items with "
            "their flags read back exactly as exported\n",
            readback.pluginsRequired.elements.size(), scenario->items.size()));
        return kExitOk;
    } catch (const std::exception& e) {
        return Fail(std::string("the game refused a call: ") + e.what());
    }
}

}  // namespace korvane_tool
