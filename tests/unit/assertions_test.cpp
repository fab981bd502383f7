#include "common/assertions.h"

#include <gtest/gtest.h>

#include <string>

#include "common/debug_log.h"

namespace quillmere {
namespace {

TEST(AssertionTest, Texts) {
    char text[256];
    FormatAssertion(text, sizeof text, "writer.cpp", 12, "count > 0");
    EXPECT_STREQ(text, "Assertion failed in writer.cpp (12): count > 0");

    struct Case {
        uint64_t code;
        const char* suffix;
    };
    const Case cases[] = {
        {42, " (code = 0000002A (42))"},
        // Upper half zero: the lower half alone, read as signed.
        {0xFFFFFFFFull, " (code = FFFFFFFF (-1))"},
        {0x80004005ull, " (code = 80004005 (-2147467259))"},
        // Upper half set: the whole code, blank-padded, and signed 64-bit.
        {0xFFFFFFFF80004005ull, " (code = FFFFFFFF80004005 (-2147467259))"},
        {0x100000000ull, " (code =        100000000 (4294967296))"},
        {0x8000000000000000ull, " (code = 8000000000000000 (-9223372036854775808))"},
    };
    for (const Case& c : cases) {
        FormatAssertionWithCode(text, sizeof text, "log.cpp", 7, "SUCCEEDED(err)", c.code);
        EXPECT_EQ(std::string(text),
                  std::string("Assertion failed in log.cpp (7): SUCCEEDED(err)") + c.suffix);
    }
}

TEST(AssertionTest, TextIsCutToTheBuffer) {
    char text[16];
    text[sizeof text - 1] = 'x';
    FormatAssertionWithCode(text, sizeof text, "log.cpp", 7, "SUCCEEDED(err)", 42);
    EXPECT_STREQ(text, "Assertion faile");
}

TEST(AssertionDeathTest, ReporterStopsTheProcess) {
    IDebugLog::Close();
    EXPECT_DEATH(ReportAssertionWithCode("log.cpp", 7, "SUCCEEDED(err)", 42), "");
    EXPECT_DEATH(ReportAssertion("log.cpp", 7, "false"), "");
}

}  // namespace
}  // namespace quillmere
