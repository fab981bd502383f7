#include "common/float_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

namespace quillmere {
namespace {

TEST(FloatText, SixSignificantDigits) {
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {1024.5f, "1024.5"},
        {179.9f, "179.9"},
        {-12345.7f, "-12345.7"},
        {1e20f, "1e+20"},
        {0.1f, "0.1"},
        {0.0f, "0"},
        {-0.0f, "-0"},
        {90.0f, "90"},
        {123456789.0f, "1.23457e+08"},
        {100000.0f, "100000"},
        {1e6f, "1e+06"},
        {1e-5f, "1e-05"},
        {0.0001f, "0.0001"},
        {-2048.25f, "-2048.25"},
        {std::numeric_limits<float>::infinity(), "inf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FloatText(c.value), c.text);
        // The log's readers know the text of printf's %g in the C locale.
        char printed[64];
        std::snprintf(printed, sizeof printed, "%g", static_cast<double>(c.value));
        EXPECT_EQ(FloatText(c.value), printed);
    }
}

}  // namespace
}  // namespace quillmere
