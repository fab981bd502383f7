// Opening and parsing a blueprint: every file the writer's serialiser makes
// parses back to the same values, byte for byte.
#include "blueprint/blueprint_loader.h"

#include <gtest/gtest.h>
#include <json/value.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "blueprint/blueprint_json.h"

namespace quillmere {
namespace {

namespace fs = std::filesystem;

class BlueprintLoaderTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("quillmere-loader-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    fs::path folder_;
};

// Names are copied into blueprints as the game's code page has them; 0xFF is
// a letter in some of them and once ended the read early.
TEST_F(BlueprintLoaderTest, WrittenBlueprintsReadBackWithEveryByte) {
    Json::Value root;
    root["header"]["player_name"] = "J\xFFrg";
    root["header"]["plugins_required"].append("Korvane.esm");
    root["header"]["plugins_required"].append("Caf\xE9\xFF.esp");
    root["header"]["item_count"] = 2;
    root["header"]["plugin_version"] = 1.5;
    root["items"][0]["name"] = "\x01\x1B\x7F\x80\xFF \"quoted\" \\ / \t";
    root["items"][0]["FormID_dec"] = -1;
    root["items"][1]["name"] = "";
    root["workshop"]["posX"] = -1024.5;
    const std::string path = Write("Home.json", SerializeBlueprint(root));

    Json::Value read;
    ASSERT_TRUE(LoadBlueprint(path.c_str(), read));
    EXPECT_EQ(read, root);
}

TEST_F(BlueprintLoaderTest, FoldersAndMissingFilesAreNotRead) {
    fs::create_directories(folder_ / "folder.json");
    Json::Value root;
    EXPECT_FALSE(LoadBlueprint((folder_ / "folder.json").string().c_str(), root));
    EXPECT_FALSE(LoadBlueprint((folder_ / "missing.json").string().c_str(), root));
    EXPECT_FALSE(LoadBlueprint(Write("empty.json", "").c_str(), root));
}

}  // namespace
}  // namespace quillmere
