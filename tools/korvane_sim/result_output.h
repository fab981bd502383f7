// Standard output carries the commands' results only. The plug-in prints on
// the game's standard output too (it echoes every debug-log line and the
// export date); those lines are moved to standard error, so that a script can
// read `korvane-sim show --json` or the path `export` prints without sifting.
#pragma once

#include <string>

namespace korvane_tool {

// Called once, before the plug-in is loaded: from then on the process's
// standard output (which the plug-in shares) is standard error, and results
// go through Print.
void SeparatePluginOutput();

// Writes text to the real standard output in one piece.
void Print(const std::string& text);
}  // namespace korvane_tool
