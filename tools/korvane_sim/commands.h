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

// Exit codes shared by the commands.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the plug-in reported failure, or a check failed
constexpr int kExitUsage = 2;   // the command could not run as given (arguments, scenario)

// Prints "korvane-sim: <message>" and a pointer to --help on stderr; returns 2.
int UsageError(const std::string& message);
// Prints "korvane-sim: <message>" on stderr; returns the given code.
int Fail(const std::string& message, int code = kExitFailed);

int RunLoad(const Arguments& args);
int RunExport(const Arguments& args);
int RunList(const Arguments& args);
int RunShow(const Arguments& args);
int RunDemo(const Arguments& args);

}  // namespace korvane_tool
