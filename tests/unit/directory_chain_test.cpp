#include "common/directory_chain.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_support.h"

namespace quillmere {
namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;

TEST(DirectoryChainTest, CreatesEveryFolderBeforeASeparator) {
    struct Case {
        const char* relative;
        std::vector<const char*> folders;
        const char* notCreated;
    };
    const Case cases[] = {
        {"\\My Games\\Korvane\\quillmere.log",
         {"My Games", "My Games/Korvane"},
         "My Games/Korvane/quillmere.log"},
        {"/My Games/Korvane/quillmere.log",
         {"My Games", "My Games/Korvane"},
         "My Games/Korvane/quillmere.log"},
        {"\\mixed/a\\b/leaf", {"mixed", "mixed/a", "mixed/a/b"}, "mixed/a/b/leaf"},
        {"/trailing/slash/", {"trailing", "trailing/slash"}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.relative);
        TempFolder temp;
        // Folders that exist already are passed over.
        CreateDirectoriesForPath((temp.path().string() + c.relative).c_str());
        CreateDirectoriesForPath((temp.path().string() + c.relative).c_str());
        for (const char* folder : c.folders)
            EXPECT_TRUE(fs::is_directory(temp.path() / folder)) << folder;
        if (c.notCreated != nullptr) {
            EXPECT_FALSE(fs::exists(temp.path() / c.notCreated));
        }
    }
}

TEST(DirectoryChainTest, PathLongerThanTheWorkBufferStopsAtItsEnd) {
    TempFolder temp;
    const std::string path = temp.path().string() + "/first/" + std::string(1500, 'n') + "/leaf";
    CreateDirectoriesForPath(path.c_str());
    EXPECT_TRUE(fs::is_directory(temp.path() / "first"));
}

}  // namespace
}  // namespace quillmere
