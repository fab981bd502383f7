#include "common/platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "test_support.h"

namespace quillmere {
namespace {

TEST(PlatformTest, MainModuleBaseIsTheProgramImage) {
    const auto* image = reinterpret_cast<const char*>(platform::MainModuleBase());
    ASSERT_NE(image, nullptr);
#if defined(_WIN32)
    EXPECT_EQ(std::memcmp(image, "MZ", 2), 0);
#else
    EXPECT_EQ(std::memcmp(image,
                          "\x7F"
                          "ELF",
                          4),
              0);
#endif
}

#if !defined(_WIN32)
TEST(PlatformTest, DocumentsFolderFromTheEnvironment) {
    testing_support::TempFolder temp;
    const std::string home = temp / "home";
    std::filesystem::create_directories(home);
    struct Case {
        const char* name;
        std::optional<std::string> documents;
        std::optional<std::string> home;
        std::string expected;  // empty: the lookup fails
    };
    const Case cases[] = {
        {"documents variable first", temp / "docs", home, temp / "docs"},
        {"empty documents variable", std::string(), home, home + "/Documents"},
        {"no documents variable", std::nullopt, home, home + "/Documents"},
        {"neither", std::nullopt, std::nullopt, ""},
        {"empty home", std::nullopt, std::string(), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::ScopedEnv documents("XDG_DOCUMENTS_DIR", c.documents);
        testing_support::ScopedEnv homeVariable("HOME", c.home);
        char out[260] = "junk";
        uint32_t lastError = 0;
        const int32_t result =
            platform::ShellFolderPath(platform::kDocumentsFolder, out, sizeof out, lastError);
        EXPECT_EQ(std::string(out), c.expected);
        EXPECT_EQ(result < 0, c.expected.empty());
        // The folder is created when missing.
        if (!c.expected.empty()) {
            EXPECT_TRUE(std::filesystem::is_directory(c.expected));
        }
    }
}
#endif

}  // namespace
}  // namespace quillmere
