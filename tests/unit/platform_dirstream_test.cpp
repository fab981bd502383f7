// The directory-stream layer against real folders (natively, and under Wine
// through FindFirstFileW for the Windows build).
#include "common/platform_dirstream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace quillmere::platform {
namespace {

namespace fs = std::filesystem;

class DirectoryStreamTest : public testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("quillmere-dirstream-" + std::to_string(std::random_device{}()));
        fs::create_directories(root_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    std::string Path(const std::string& relative) const { return (root_ / relative).string(); }

    std::vector<std::string> List(const std::string& path) {
        std::vector<std::string> names;
        DirectoryHandle stream(OpenDirectory(path.c_str()));
        EXPECT_TRUE(stream) << path;
        if (!stream) return names;
        while (const char* name = ReadDirectory(stream.get())) names.push_back(name);
        // The end stays the end.
        EXPECT_EQ(ReadDirectory(stream.get()), nullptr);
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path root_;
};

TEST_F(DirectoryStreamTest, ListsEveryEntryWithDotAndDotDot) {
    fs::create_directories(root_ / "sub.json");
    std::ofstream(root_ / "Home.json") << "{}";
    std::ofstream(root_ / "notes.txt") << "x";
    const std::vector<std::string> expected = {".", "..", "Home.json", "notes.txt", "sub.json"};
    EXPECT_EQ(List(root_.string()), expected);
    // A trailing separator names the same folder.
    EXPECT_EQ(List(root_.string() + "/"), expected);
}

TEST_F(DirectoryStreamTest, AnEmptyFolderStillOpens) {
    fs::create_directories(root_ / "empty");
    EXPECT_EQ(List(Path("empty")), (std::vector<std::string>{".", ".."}));
}

TEST_F(DirectoryStreamTest, WhatIsNotAFolderDoesNotOpen) {
    std::ofstream(root_ / "file.json") << "{}";
    for (const std::string& path : {std::string(), Path("missing"), Path("file.json"),
                                    Path("missing/deeper"), std::string(300, 'a')}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(OpenDirectory(path.c_str()), nullptr);
    }
    CloseDirectory(nullptr);  // ignored
}

// A name the narrow code page cannot hold never comes back garbled into
// something else: Windows gives its 8.3 short name or "?"; POSIX systems
// give the bytes as stored.
TEST_F(DirectoryStreamTest, NamesWithoutANarrowFormComeBackAsShortNameOrQuestionMark) {
    std::ofstream(root_ / fs::path(u8"\u4e2d\u6587.json")) << "{}";
    const std::vector<std::string> names = List(root_.string());
    ASSERT_EQ(names.size(), 3u);
    const std::string& name = names[2];
#if defined(_WIN32)
    EXPECT_TRUE(name == "?" || (name.size() <= 12 && name.find(".json") == std::string::npos))
        << name;
#else
    EXPECT_EQ(name, "\xE4\xB8\xAD\xE6\x96\x87.json");
#endif
}

TEST_F(DirectoryStreamTest, RelativePathsAreResolvedAgainstTheWorkingFolder) {
    fs::create_directories(root_ / "a" / "1");
    std::ofstream(root_ / "a" / "1" / "x.json") << "{}";
    const fs::path previous = fs::current_path();
    fs::current_path(root_);
    const std::vector<std::string> names = List("a/1");
    fs::current_path(previous);
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "x.json"}));
}

}  // namespace
}  // namespace quillmere::platform
