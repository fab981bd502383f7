#include "common/ms_format.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmere {
namespace {

TEST(MsFormatTest, SizePrefixesBecomeTheirC99Forms) {
    struct Case {
        const char* format;
        const char* expected;
    };
    const Case cases[] = {
        {"%16I64X (%I64d)", "%16llX (%lld)"},
        {"%-08.3I64u", "%-08.3llu"},
        {"%I32d %Iu %Ix", "%d %zu %zx"},
        {"%% I64 %%I64d", "%% I64 %%I64d"},  // text and escaped percent signs stay
        {"In %s at %d: I64", "In %s at %d: I64"},
        {"%*.*I64d", "%*.*lld"},
        {"trailing %", "trailing %"},
    };
    char scratch[64];
    for (const Case& c : cases) {
        EXPECT_STREQ(TranslateMsFormat(c.format, scratch, sizeof scratch), c.expected) << c.format;
    }
}

TEST(MsFormatTest, FormatWithoutPrefixIsUsedAsItIs) {
    const char* format = "plain %d %s";
    char scratch[8];
    EXPECT_EQ(TranslateMsFormat(format, scratch, sizeof scratch), format);
}

TEST(MsFormatTest, TooLongFormatIsCutBeforeAConversion) {
    char scratch[12];
    // "abc %lld %lld" does not fit in 11 characters: the second conversion
    // is dropped whole, never half-written.
    EXPECT_STREQ(TranslateMsFormat("abc %I64d %I64d", scratch, sizeof scratch), "abc %lld ");
    EXPECT_STREQ(TranslateMsFormat("I: 0123456789abcdef", scratch, sizeof scratch), "I: 01234567");
}

}  // namespace
}  // namespace quillmere
