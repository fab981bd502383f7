// `show`: a readable summary of what the readers returned: the header, the
// required plugins, the workshop, and the items in a table grouped by plugin.
#pragma once

#include <string>

#include "blueprint_readback.h"

namespace korvane_tool {

std::string ReadbackSummary(const std::string& path, const Readback& readback);

}  // namespace korvane_tool
