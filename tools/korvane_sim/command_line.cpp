#include "command_line.h"

namespace korvane_tool {

std::optional<Options> ParseOptions(const Arguments& args, const OptionSet& set, int* exitCode) {
    Options options;
    const std::string command = set.command;
    auto usage = [&](const std::string& message) {
        *exitCode = UsageError(command + ": " + message);
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= args.size()) return false;
            *out = args[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--game-dir" && set.gameDir) {
            if (!value(&options.gameDir) || options.gameDir.empty())
                return usage("--game-dir needs a folder");
        } else if (arg == "--plugin" && set.plugin) {
            if (!value(&options.plugin) || options.plugin.empty())
                return usage("--plugin needs a path");
        } else if (arg == "--scenario" && set.scenario) {
            if (!value(&options.scenario) || options.scenario.empty())
                return usage("--scenario needs a file");
        } else if (arg == "--json" && set.json) {
            options.json = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usage("unknown option '" + arg + "'");
        } else if (options.positional.size() < set.positionalCount) {
            options.positional.push_back(arg);
        } else {
            return usage("unexpected argument '" + arg + "'");
        }
    }
    if (!options.help && options.positional.size() < set.positionalCount)
        return usage(std::string("missing ") + set.positionalName);
    return options;
}

}  // namespace korvane_tool
