// The commands of korvane-sim. Each takes the arguments after its name and
// returns the process exit code; usage errors go through UsageError.
#pragma once

#include <string>
#include <vector>

namespace korvane_tool {

using Arguments = std::vector<std::string>;

struct Command {
    const char* name;
    const char* synopsis;  // shown by --help, after the program name
    const char* summary;
    int (*run)(const Arguments& args);
};

// Every command, in the order --help lists them.
const std::vector<Command>& Commands();

// Prints "korvane-sim: <message>" and a pointer to --help on stderr; returns 2.
int UsageError(const std::string& message);

int RunLoad(const Arguments& args);

}  // namespace korvane_tool
