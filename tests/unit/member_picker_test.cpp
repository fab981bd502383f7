// Picking several members in one pass must find exactly what looking each
// one up finds, whatever the object holds besides them.
#include "blueprint/member_picker.h"

#include <gtest/gtest.h>
#include <json/value.h>

#include <random>
#include <string>
#include <vector>

namespace quillmere {
namespace {

// Names that sort in tricky ways: prefixes of each other, upper case before
// lower case, bytes above 0x7F after every ASCII byte, an embedded NUL.
const std::vector<std::string> kNames = {"pos",     "posX",       "posX2", "posY",
                                         "FormID",  "FormID_dec", "name",  "Name",
                                         "na",      "",           "z",     std::string("a\0b", 3),
                                         "caf\xE9", "cafe",       "\xFF",  "idx"};

TEST(MemberPickerTest, FindsWhatEachLookUpFinds) {
    const MemberPicker<6> picker({"posX", "FormID_dec", "name", "pos", "caf\xE9", "missing"});
    const std::vector<std::string> wanted = {"posX", "FormID_dec", "name",
                                             "pos",  "caf\xE9",    "missing"};
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        Json::Value object(Json::objectValue);
        for (std::size_t k = 0; k < kNames.size(); ++k) {
            if (random() % 2) object[kNames[k]] = static_cast<Json::Int>(round * 100 + k);
        }
        const auto picked = picker.Pick(object);
        for (std::size_t k = 0; k < wanted.size(); ++k) {
            const Json::Value* found =
                object.find(wanted[k].data(), wanted[k].data() + wanted[k].size());
            EXPECT_EQ(*picked[k], found ? *found : Json::Value())
                << "round " << round << ", " << wanted[k];
            if (found) {
                EXPECT_EQ(picked[k], found);
            }
        }
    }
}

TEST(MemberPickerTest, NullHasNoMembersAndOtherValuesAreRefused) {
    const MemberPicker<2> picker({"a", "b"});
    for (const Json::Value* v : picker.Pick(Json::Value())) EXPECT_TRUE(v->isNull());
    for (const Json::Value& refused :
         {Json::Value(5), Json::Value("text"), Json::Value(true), Json::Value(Json::arrayValue)}) {
        EXPECT_THROW(picker.Pick(refused), Json::LogicError) << refused.toStyledString();
    }
}

}  // namespace
}  // namespace quillmere
