// A game with the plug-in loaded and its natives registered, running in a
// fresh working folder of its own, as every host test needs it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "korvane_sim.h"

namespace quillmere_test {

namespace fs = std::filesystem;
using korvane::ScriptValue;

std::string ReadFile(const fs::path& path);
// A file name as the game's narrow (ANSI code page) calls see it.
std::string NarrowName(const fs::path& path);
void WriteFile(const fs::path& path, const std::string& bytes);

// The debug log's lines written since the watch began.
class LogWatch {
  public:
    LogWatch();
    std::vector<std::string> Lines() const;
    bool Contains(const std::string& line) const;

  private:
    std::size_t start_ = 0;
};

class PluginTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    ScriptValue Call(const std::string& name, const std::vector<ScriptValue>& args = {}) {
        return host.Call("Quillmere", name, args);
    }

    korvane::Host host;
    fs::path gameDir;

  private:
    fs::path previousDir_;
};

}  // namespace quillmere_test
