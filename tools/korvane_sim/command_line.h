// The options the commands share, parsed one way for all of them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "commands.h"

namespace korvane_tool {

struct Options {
    std::string gameDir = ".";
    std::string plugin;  // empty: the plug-in built beside the program
    std::string scenario;
    bool json = false;
    bool help = false;
    std::vector<std::string> positional;
};

// Which options a command takes, and how many positional arguments.
struct OptionSet {
    const char* command;
    bool gameDir = true;
    bool plugin = false;
    bool json = false;
    bool scenario = false;
    std::size_t positionalCount = 0;
    const char* positionalName = "";  // for the message when one is missing
};

// Parses args; on a usage error prints it and returns nullopt with *exitCode
// set to 2.
std::optional<Options> ParseOptions(const Arguments& args, const OptionSet& set, int* exitCode);

}  // namespace korvane_tool
