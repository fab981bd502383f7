// korvane-sim: the simulated game on the command line. It loads the plug-in
// the way the game's extender does and drives it.
#include <cstdio>
#include <string>

#include "commands.h"

namespace korvane_tool {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"load", "load [--plugin PATH]",
         "load the plug-in, run Query, Load and the registration, and report them", &RunLoad},
    };
    return commands;
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "korvane-sim: %s (see korvane-sim --help)\n", message.c_str());
    return 2;
}

namespace {

void PrintHelp() {
    std::printf("usage: korvane-sim COMMAND [OPTIONS]\n\nThe simulated Korvane game host.\n\n");
    for (const Command& c : Commands())
        std::printf("  korvane-sim %s\n      %s\n", c.synopsis, c.summary);
    std::printf(
        "\nWithout --plugin, the plug-in built beside this program is loaded\n"
        "(libquillmere.so on Linux, quillmere.dll on Windows).\n");
}

}  // namespace

}  // namespace korvane_tool

int main(int argc, char** argv) {
#ifdef _WIN32
    // msvcrt buffers redirected output fully and loses it on a crash.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
#endif
    using namespace korvane_tool;
    if (argc < 2) return UsageError("no command given");
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp();
        return 0;
    }
    const Arguments args(argv + 2, argv + argc);
    for (const Command& c : Commands()) {
        if (name == c.name) return c.run(args);
    }
    return UsageError("unknown command '" + name + "'");
}
