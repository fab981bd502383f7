#include <gtest/gtest.h>

#include "blueprint/blueprint_writer.h"

namespace quillmere {
namespace {

TEST(BlueprintFileName, PiecesAndLowerCase) {
    struct Case {
        const char* player;
        const char* shortName;
        const char* date;
        const char* expected;
    };
    const Case cases[] = {
        {"Settler", "sanctuary", "2017-10-22 14:05:09", "bp_settler_sanctuary_171022140509.json"},
        {"Red Fox", "manor", "2017-10-22 14:05:09", "bp_red fox_manor_171022140509.json"},
        // No SaveHeader yet: an empty date piece.
        {"Player", "settlement", "", "bp_player_settlement_.json"},
        {"Player", "settlement", "2", "bp_player_settlement_.json"},
        // Bytes a file name cannot hold, or that separate paths, become "_";
        // everything else, bytes of 0x80 and above included, stays.
        {"../..\\x", "a:b", "2017-10-22 14:05:09", "bp_.._.._x_a_b_171022140509.json"},
        {"\xC9LISE\x01*?\"<>|", "\xFF", "", "bp_\xC9lise________\xFF_.json"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BlueprintFileName(c.player, c.shortName, c.date), c.expected) << c.player;
    }
}

}  // namespace
}  // namespace quillmere
