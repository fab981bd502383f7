// korvane-sim load: the game's start-up sequence with the plug-in.
#include <map>

#include "commands.h"
#include "korvane_sim.h"
#include "result_output.h"
#include "text_format.h"

namespace korvane_tool {

namespace {

const char* YesNo(bool b) {
    return b ? "yes" : "no";
}

}  // namespace

int RunLoad(const Arguments& args) {
    std::string path;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--plugin") {
            if (i + 1 >= args.size()) return UsageError("--plugin needs a path");
            path = args[++i];
        } else if (args[i] == "--help") {
            Print("usage: korvane-sim load [--plugin PATH]\n");
            return 0;
        } else {
            return UsageError("load: unexpected argument '" + args[i] + "'");
        }
    }
    if (path.empty()) path = korvane::DefaultPluginPath();

    korvane::Host host;
    korvane::LoadOptions options;
    Print(Format("plug-in: %s\n", path.c_str()));
    const korvane::LoadReport report = host.LoadPlugin(path, options);
    if (!report.loaded) {
        return Fail("cannot load the plug-in: " + report.error);
    }
    Print(Format("query: returned %s; description version %u, name \"%s\", version %u\n",
                 report.queryReturned ? "true" : "false", report.descriptionVersion,
                 report.descriptionName.c_str(), report.descriptionVersionNumber));
    Print(Format("plug-in handle asked: %s (given %u)\n", YesNo(report.pluginHandleAsked),
                 options.pluginHandle));
    Print(Format("load: returned %s; registration callback offered: %s, accepted: %s\n",
                 report.loadReturned ? "true" : "false", YesNo(report.callbackOffered),
                 YesNo(report.callbackAccepted)));
    host.DeclareQuillmereStructs();
    const bool registered = report.callbackAccepted && host.Register();
    std::map<std::string, int> perClass;
    for (const korvane::RegisteredFunction& f : host.Functions()) ++perClass[f.className];
    Print(Format("register: %s; %zu natives registered", registered ? "returned true" : "not done",
                 host.Functions().size()));
    for (const auto& [className, count] : perClass)
        Print(Format(", %d of class %s", count, className.c_str()));
    Print(Format("\nlog: %s\n", korvane::DebugLogPath().c_str()));
    return registered ? 0 : 1;
}

}  // namespace korvane_tool
