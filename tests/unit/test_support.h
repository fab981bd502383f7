// Small helpers shared by the unit tests: a scratch folder per test, whole-file
// reads, and (POSIX only) environment variables set for one scope.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

namespace quillmere::testing_support {

// A fresh folder below the system's temporary folder, named after the running
// test and the process, removed again at the end of the scope.
class TempFolder {
  public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "quillmere-";
        name.append(info->test_suite_name()).append("-").append(info->name());
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') c = '_';
        }
#if defined(_WIN32)
        name.append("-").append(std::to_string(_getpid()));
#else
        name.append("-").append(std::to_string(getpid()));
#endif
        path_ = std::filesystem::temp_directory_path() / name;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const {
        return path_;
    }
    // `relative` below the folder, as a narrow string for the library.
    std::string operator/(const std::string& relative) const {
        return (path_ / relative).string();
    }

  private:
    std::filesystem::path path_;
};

// The file's content in text mode (so Windows line ends read as "\n").
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

#if !defined(_WIN32)
// Sets (or, with nullopt, removes) an environment variable until the end of
// the scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};
#endif

}  // namespace quillmere::testing_support
