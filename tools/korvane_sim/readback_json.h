// `show --json`: what the readers returned, as one JSON object
// {"header", "plugins_required", "workshop", "items", "extra_props"}. Structs
// are objects keyed by the mod's member names; Int members are the signed
// number a script sees; Float members are printed with nine significant
// digits, which every float survives exactly; a None result is null.
#pragma once

#include <string>

#include "blueprint_readback.h"

namespace korvane_tool {

std::string ReadbackJson(const Readback& readback);

// The text of a script Float as the JSON output writes it ("%.9g").
std::string FloatText(float f);

}  // namespace korvane_tool
