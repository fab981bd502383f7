#include "plugin_fixture.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace quillmere_test {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string NarrowName(const fs::path& path) {
#if defined(_WIN32)
    const std::wstring wide = path.filename().wstring();
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), narrow.data(), size,
                        nullptr, nullptr);
    return narrow;
#else
    return path.filename().string();
#endif
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

LogWatch::LogWatch() {
    std::error_code error;
    const auto size = fs::file_size(korvane::DebugLogPath(), error);
    start_ = error ? 0 : static_cast<std::size_t>(size);
}

std::vector<std::string> LogWatch::Lines() const {
    const std::string text = ReadFile(korvane::DebugLogPath());
    std::vector<std::string> lines;
    std::istringstream in(start_ <= text.size() ? text.substr(start_) : text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool LogWatch::Contains(const std::string& line) const {
    for (const std::string& l : Lines()) {
        if (l == line) return true;
    }
    return false;
}

namespace {
unsigned long CurrentProcessId() {
#if defined(_WIN32)
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}
}  // namespace

void PluginTest::SetUp() {
    // One folder per test: ctest runs tests in parallel processes.
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    previousDir_ = fs::current_path();
    // The process id keeps apart runs of the same test from several build
    // trees that share one temporary folder (and one Wine prefix).
    gameDir = fs::temp_directory_path() /
              ("quillmere-game-" + name + "-" + std::to_string(CurrentProcessId()));
    fs::remove_all(gameDir);
    fs::create_directories(gameDir);
    fs::current_path(gameDir);
#if !defined(_WIN32)
    // A documents folder (and so a debug log) of this test's own. Under Wine
    // the prefix's Documents is shared, so host tests run one at a time there.
    setenv("XDG_DOCUMENTS_DIR", (gameDir / "Documents").c_str(), 1);
#endif

    const korvane::LoadReport report = host.LoadPlugin(korvane::DefaultPluginPath());
    ASSERT_TRUE(report.loaded) << report.error;
    host.DeclareQuillmereStructs();
    ASSERT_TRUE(host.Register());
}

void PluginTest::TearDown() {
    fs::current_path(previousDir_);
    std::error_code ignored;
    fs::remove_all(gameDir, ignored);
}

}  // namespace quillmere_test
