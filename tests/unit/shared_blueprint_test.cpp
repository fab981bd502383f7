// The parse that readers share: reused only for the very bytes it was made
// from, and safe when natives run on several threads at once.
#include <gtest/gtest.h>
#include <json/value.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "blueprint/blueprint_loader.h"

namespace quillmere {
namespace {

namespace fs = std::filesystem;

class SharedBlueprintTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("quillmere-shared-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::string Write(const std::string& name, const std::string& player, int items) {
        std::string json = "{\"header\": {\"player_name\": \"" + player + "\"}, \"items\": [";
        for (int k = 0; k < items; ++k) json += k ? ",{}" : "{}";
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << json << "]}";
        return path.string();
    }

    fs::path folder_;
};

TEST_F(SharedBlueprintTest, UnchangedBytesShareOneTreeAndChangedBytesGetANewOne) {
    const std::string path = Write("a.json", "Alpha", 2);
    const auto first = LoadSharedBlueprint(path.c_str());
    ASSERT_TRUE(first);
    EXPECT_EQ(LoadSharedBlueprint(path.c_str()), first);

    Write("a.json", "Omega", 2);
    const auto changed = LoadSharedBlueprint(path.c_str());
    ASSERT_TRUE(changed);
    EXPECT_NE(changed, first);
    EXPECT_EQ((*changed)["header"]["player_name"].asString(), "Omega");
    // A caller still holding the earlier tree keeps it whole.
    EXPECT_EQ((*first)["header"]["player_name"].asString(), "Alpha");
}

// Threads read two blueprints in turns, so the one kept keeps changing under
// them; every load must give the tree of the file it named.
TEST_F(SharedBlueprintTest, ConcurrentReadersEachGetTheirOwnFile) {
    const std::string paths[2] = {Write("a.json", "Alpha", 200), Write("b.json", "Bravo", 300)};
    const std::string players[2] = {"Alpha", "Bravo"};
    const Json::ArrayIndex counts[2] = {200, 300};
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 50; ++round) {
                const int which = (t + round) % 2;
                const auto root = LoadSharedBlueprint(paths[which].c_str());
                if (!root || (*root)["header"]["player_name"].asString() != players[which] ||
                    (*root)["items"].size() != counts[which]) {
                    ++wrong;
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace quillmere
