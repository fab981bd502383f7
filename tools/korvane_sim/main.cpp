// korvane-sim: the simulated game on the command line. It loads the plug-in
// the way the game's extender does and drives it as the mod's scripts would.
#include <cstdio>
#include <string>

#include "commands.h"
#include "result_output.h"

namespace korvane_tool {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"load", "load [--plugin PATH]",
         "load the plug-in, run Query, Load and the registration, and report them", &RunLoad},
        {"export", "export SCENARIO.json [--game-dir DIR] [--plugin PATH]",
         "export a scenario's settlement into its slot; prints the blueprint's path", &RunExport},
        {"list", "list [--game-dir DIR] [--plugin PATH]",
         "print the ten slots as LoadBlueprintList returns them", &RunList},
        {"show", "show BLUEPRINT [--game-dir DIR] [--plugin PATH] [--json]",
         "print a blueprint as the five readers return it to scripts", &RunShow},
        {"demo", "demo [--game-dir DIR] [--plugin PATH] [--scenario FILE]",
         "export the sample settlement, list the slots, show it, check the round trip", &RunDemo},
    };
    return commands;
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "korvane-sim: %s (see korvane-sim --help)\n", message.c_str());
    return kExitUsage;
}

int Fail(const std::string& message, int code) {
    std::fprintf(stderr, "korvane-sim: %s\n", message.c_str());
    return code;
}

namespace {

void PrintHelp() {
    std::string help =
        "usage: korvane-sim COMMAND [OPTIONS]\n\nThe simulated Korvane game host.\n\n";
    for (const Command& c : Commands())
        help += std::string("  korvane-sim ") + c.synopsis + "\n      " + c.summary + "\n";
    help +=
        "\n"
        "korvane-sim COMMAND --help tells more. --game-dir is the game's working\n"
        "folder (default: the current folder); slot folders and blueprint paths are\n"
        "relative to it. Without --plugin, the plug-in built beside this program is\n"
        "loaded (libquillmere.so on Linux, quillmere.dll on Windows). What the\n"
        "plug-in prints itself (its debug-log lines) goes to standard error.\n";
    Print(help);
}

}  // namespace

}  // namespace korvane_tool

int main(int argc, char** argv) {
    using namespace korvane_tool;
    SeparatePluginOutput();
#ifdef _WIN32
    // msvcrt buffers redirected output fully and loses it on a crash.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
#endif
    if (argc < 2) return UsageError("no command given");
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp();
        return kExitOk;
    }
    const Arguments args(argv + 2, argv + argc);
    for (const Command& c : Commands()) {
        if (name == c.name) return c.run(args);
    }
    return UsageError("unknown command '" + name + "'");
}
