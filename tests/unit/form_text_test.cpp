#include "forms/form_text.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(LocalIdText, SixUpperCaseDigitsOfTheLowBits) {
    EXPECT_EQ(LocalIdText(0x0100ABCDu), "00ABCD");
    EXPECT_EQ(LocalIdText(0x000001F4u), "0001F4");
    EXPECT_EQ(LocalIdText(0x81000800u), "000800");
    EXPECT_EQ(LocalIdText(0), "000000");
    EXPECT_EQ(LocalIdText(0xFFFFFFFFu), "FFFFFF");
    EXPECT_EQ(LocalIdText(0x00FEDCBAu), "FEDCBA");
}

}  // namespace
}  // namespace quillmere
