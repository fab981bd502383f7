#include "common/float_text.h"

#include <charconv>

namespace quillmere {

std::string FloatText(float value) {
    // to_chars instead of snprintf: no locale can turn the point into a
    // comma, and the exponent has at least two digits on every C runtime.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

}  // namespace quillmere
