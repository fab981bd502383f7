// Text of a float for progress log lines.
#pragma once

#include <string>

namespace quillmere {

// The float widened to double and printed as printf's "%g" (six significant
// digits) in the C locale: 1024.5, 179.9, -12345.7, 1e+20.
std::string FloatText(float value);

}  // namespace quillmere
