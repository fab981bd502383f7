// The game's working folder. The game runs in its own folder, and every
// relative path the plug-in uses (slot folders, a blueprint's path) is
// relative to it, so the simulated game changes into the folder it is given.
// Paths stay narrow text, as the game's narrow calls take them.
#pragma once

#include <string>

namespace korvane_tool {

// The path made absolute against the current folder (so it survives a change
// of folder).
std::string AbsolutePath(const std::string& path);
bool IsFolder(const std::string& path);
// Creates the folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);
bool ChangeFolder(const std::string& path);
// The folder of the running program.
std::string ProgramFolder();

}  // namespace korvane_tool
