#include "forms/place_names.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace quillmere {
namespace {

TEST(PlaceNames, WorldspaceTable) {
    const struct {
        const char* plugin;
        const char* id;
        const char* name;
        const char* required;
    } cases[] = {
        {"Korvane.esm", "000F93", "Diamond City", ""},
        {"Korvane.esm", "000F94", "Diamond City", ""},
        {"Korvane.esm", "054BD5", "Goodneighbor", ""},
        {"Korvane.esm", "0A7FF4", "Sanctuary Hills", ""},
        {"Korvane.esm", "001A2B", "Commonwealth", ""},
        {"Korvane.esm", "000f93", "Commonwealth", ""},  // ids compare exactly
        {"DLCCoast.esm", "004EA4", "Simulation", "DLCCoast.esm"},
        {"DLCCoast.esm", "000810", "Clara Land", "DLCCoast.esm"},
        {"DLCCoast.esm", "0014F4", "Test Mad Coast", "DLCCoast.esm"},
        {"DLCCoast.esm", "000F93", "The Island", "DLCCoast.esm"},
        {"DLCBrightvale.esm", "052931", "Bradberton Amphitheater", "DLCBrightvale.esm"},
        {"DLCBrightvale.esm", "053C58", "Nuka-Town Market", "DLCBrightvale.esm"},
        {"DLCBrightvale.esm", "008B56", "Test Mad World", "DLCBrightvale.esm"},
        {"DLCBrightvale.esm", "123456", "Brightvale", "DLCBrightvale.esm"},
        {"MyWorld.esp", "000F93", "Unknown Worldspace", ""},
        {"dlccoast.esm", "004EA4", "Unknown Worldspace", ""},  // plugins compare exactly
        {"korvane.esm", "000F93", "Unknown Worldspace", ""},
        {"", "", "Unknown Worldspace", ""},
    };
    for (const auto& c : cases) {
        const WorldspaceNaming naming = NameWorldspace(c.plugin, c.id, "Unknown Worldspace");
        EXPECT_EQ(naming.name, c.name) << c.plugin << " " << c.id;
        EXPECT_EQ(naming.requiredPlugin, c.required) << c.plugin << " " << c.id;
    }
}

struct ShortNameCase {
    std::string name;
    std::string shortName;
};

const std::vector<ShortNameCase>& ShortNameCases() {
    static const std::vector<ShortNameCase> cases = {
        {"Croup Manor", "manor"},
        {"CROUP MANOR", "manor"},
        {"Murkwater Construction Site", "murkwater"},  // the table, not the longest word
        {"Longfellow's Cabin", "longfellows"},         // the table sees the apostrophe
        {"Vault 88", "vault88"},
        {"Brightvale Red Rocket", "bvrocket"},
        {"Croup Manor ", "croup"},  // not an exact match: first longest word
        {"Sanctuary Hills", "sanctuary"},
        {"Unknown Settlement", "settlement"},
        {"Green Field", "green"},    // a tie: the first wins
        {"Old Man's Dock", "mans"},  // apostrophe removed before the words are read
        {"  \t\n\v\f\r  ", ""},
        {"", ""},
        {"\tRed\vRocket\fTruck\rStop\nAbc", "rocket"},
        // Bytes from 0x80 on are neither lowered nor white space.
        {"\xC9"
         "COLE Du Nord",
         "\xC9"
         "cole"},
        {"Caf\xC3\xA9 Ab", "caf\xC3\xA9"},
        {"Ab\xA0"
         "Cdef Ghi",
         "ab\xA0"
         "cdef"},
    };
    return cases;
}

TEST(PlaceNames, LocationShortName) {
    for (const ShortNameCase& c : ShortNameCases()) {
        EXPECT_EQ(GetLocationShortName(c.name), c.shortName) << c.name;
    }
}

// Restores the process locale when a test has changed it.
class LocaleGuard {
  public:
    LocaleGuard() : saved_(std::setlocale(LC_ALL, nullptr)) {}
    ~LocaleGuard() { std::setlocale(LC_ALL, saved_.c_str()); }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

  private:
    std::string saved_;
};

// The host may run with any locale; a single-byte locale would lower 0xC9
// and may count 0xA0 as white space if the C runtime's functions were used.
TEST(PlaceNames, LocationShortNameIgnoresProcessLocale) {
    LocaleGuard guard;
    int tried = 0;
    for (const char* locale : {"C.UTF-8", "C.utf8", "en_US.UTF-8", "de_DE.ISO-8859-1",
                               "German_Germany.1252", ".1252", "French_France.1252"}) {
        if (std::setlocale(LC_ALL, locale) == nullptr) continue;
        ++tried;
        for (const ShortNameCase& c : ShortNameCases()) {
            EXPECT_EQ(GetLocationShortName(c.name), c.shortName) << locale << ": " << c.name;
        }
    }
    if (tried == 0) GTEST_SKIP() << "no locale other than C is available";
}

TEST(PlaceNames, LongestWord) {
    EXPECT_EQ(GetLongestWord("old mans dock"), "mans");
    EXPECT_EQ(GetLongestWord("  trail\t\tlead  "), "trail");
    EXPECT_EQ(GetLongestWord("a bb ccc dd eee"), "ccc");
    EXPECT_EQ(GetLongestWord(std::string("x\0y z", 5)), std::string("x\0y", 3));
    EXPECT_EQ(GetLongestWord(" "), "");
}

TEST(PlaceNames, ReplaceAll) {
    const struct {
        std::string target;
        std::string from;
        std::string to;
        std::string result;
    } cases[] = {
        {"old man's dock's", "'", "", "old mans docks"},
        {"abc", "", "x", "abc"},    // empty pattern: nothing to do
        {"aa", "a", "aa", "aaaa"},  // the replacement is not scanned again
        {"aaa", "aa", "b", "ba"},   // resumes after the inserted text
        {"abcabc", "abc", "", ""},
        {"a b", " ", "_", "a_b"},
        {"none", "z", "y", "none"},
    };
    for (const auto& c : cases) {
        std::string target = c.target;
        ReplaceAll(target, c.from, c.to);
        EXPECT_EQ(target, c.result) << c.target << " / " << c.from << " / " << c.to;
    }
}

}  // namespace
}  // namespace quillmere
