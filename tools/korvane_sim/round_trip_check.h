// The demo's check: what the readers give back equals what the scenario
// exported. The expected values are worked out from the scenario here, not
// taken from the file, so a fault on either side of the round trip shows.
#pragma once

#include <string>
#include <vector>

#include "blueprint_readback.h"
#include "scenario.h"

namespace korvane_tool {

// One line per difference ("items[3].posX: exported 1.5, read back 2");
// empty when everything came back as exported.
std::vector<std::string> CompareRoundTrip(const Scenario& scenario, const Readback& readback);

}  // namespace korvane_tool
