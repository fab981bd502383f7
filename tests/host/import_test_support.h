// Shared pieces of the import-side host tests: a host with the plug-in
// loaded and registered, a fresh working folder per test (the game's folder,
// against which the plug-in resolves every relative path), the debug level
// through Init, and the log lines the plug-in echoes to standard output.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "korvane_sim.h"

namespace import_test {

namespace fs = std::filesystem;
using korvane::ScriptType;
using korvane::ScriptValue;

inline constexpr char kClass[] = "Quillmere";

// The log lines written while it lives, taken from standard output, where
// the plug-in echoes every line.
class LogCapture {
  public:
    LogCapture() { testing::internal::CaptureStdout(); }
    ~LogCapture() {
        if (!taken_) testing::internal::GetCapturedStdout();
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Every captured line that starts with `prefix`, in order.
    std::vector<std::string> Lines(const std::string& prefix = "") {
        if (!taken_) {
            std::istringstream in(testing::internal::GetCapturedStdout());
            for (std::string line; std::getline(in, line);) {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                lines_.push_back(line);
            }
            taken_ = true;
        }
        std::vector<std::string> matching;
        for (const std::string& line : lines_) {
            if (line.rfind(prefix, 0) == 0) matching.push_back(line);
        }
        return matching;
    }
    int Count(const std::string& line) {
        const std::vector<std::string> all = Lines();
        return static_cast<int>(std::count(all.begin(), all.end(), line));
    }

  private:
    bool taken_ = false;
    std::vector<std::string> lines_;
};

class ImportTest : public testing::Test {
  protected:
    void SetUp() override {
        host_ = std::make_unique<korvane::Host>();
        host_->DeclareQuillmereStructs();
        const korvane::LoadReport report = host_->LoadPlugin(korvane::DefaultPluginPath());
        ASSERT_TRUE(report.loaded) << report.error;
        ASSERT_TRUE(host_->Register());

        // A folder of its own per test, so that slot folders and blueprint
        // files of parallel tests never meet.
        std::random_device random;
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("quillmere-") + info->test_suite_name() + "-" +
                           info->name() + "-" + std::to_string(random());
        std::replace(name.begin(), name.end(), '/', '_');
        previous_ = fs::current_path();
        folder_ = fs::temp_directory_path() / name;
        fs::create_directories(folder_);
        fs::current_path(folder_);
    }

    void TearDown() override {
        if (levelChanged_) SetDebugLevel(0);
        if (!previous_.empty()) fs::current_path(previous_);
        std::error_code ignored;
        if (!folder_.empty()) fs::remove_all(folder_, ignored);
        host_.reset();
    }

    korvane::Host& host() { return *host_; }

    ScriptValue Call(const std::string& name, const std::vector<ScriptValue>& args = {}) {
        return host_->Call(kClass, name, args);
    }

    // The level lives in the plug-in and only Init sets it. False when Init
    // is not registered; the test then skips its log checks.
    bool SetDebugLevel(int32_t level) {
        if (host_->FindFunction(kClass, "Init") == nullptr) return false;
        Call("Init",
             {ScriptValue::Reference(nullptr), ScriptValue::Float(1.0f), ScriptValue::Int(level)});
        levelChanged_ = level != 0;
        return true;
    }

    // A file of exactly these bytes below the working folder, folders made.
    static void WriteFile(const fs::path& path, const std::string& bytes) {
        if (path.has_parent_path()) fs::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

  private:
    std::unique_ptr<korvane::Host> host_;
    fs::path previous_;
    fs::path folder_;
    bool levelChanged_ = false;
};

// The texts of a string array's elements (empty for None).
inline std::vector<std::string> Texts(const ScriptValue& array) {
    std::vector<std::string> texts;
    for (const ScriptValue& element : array.elements) texts.push_back(element.s);
    return texts;
}

}  // namespace import_test
