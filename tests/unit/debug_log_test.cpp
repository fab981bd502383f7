#include "common/debug_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/platform.h"
#include "test_support.h"

namespace quillmere {
namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;

void LogAt(LogLevel level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    IDebugLog::Emit(level, format, args);
    va_end(args);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    EXPECT_EQ(start, text.size()) << "text does not end with a newline";
    return lines;
}

// The log is process-wide: every test starts and ends with it closed.
class DebugLogTest : public ::testing::Test {
  protected:
    void SetUp() override { IDebugLog::Close(); }
    void TearDown() override { IDebugLog::Close(); }
    TempFolder temp;
};

struct LayoutCall {
    int32_t indent;
    bool inBlock;
    const char* text;
    const char* source;
    bool newline;
};

TEST_F(DebugLogTest, LineLayout) {
    struct Case {
        const char* name;
        std::vector<LayoutCall> calls;
        const char* file;
    };
    const Case cases[] = {
        {"plain", {{0, false, "hello", nullptr, true}}, "hello\n"},
        {"empty text", {{0, false, "", nullptr, true}}, "\n"},
        {"source tag is kept for later lines",
         {{0, false, "text", "vm", true}, {0, false, "next", nullptr, true}},
         "[vm      ]\ttext\n[vm      ]\tnext\n"},
        {"tag cut to eight", {{0, false, "t", "blueprint-writer", true}}, "[blueprin]\tt\n"},
        {"indent before the header", {{2, false, "x", "vm", true}}, "\t\t[vm      ]\tx\n"},
        {"block pads past the header", {{0, true, "x", "vm", true}}, "\t\t\tx\n"},
        {"block with indent rounds up", {{1, true, "x", "tag", true}}, "\t\t\t\tx\n"},
        {"block without a header", {{0, true, "x", nullptr, true}}, "x\n"},
        {"tab in text advances to the next stop",
         {{0, false, "a\tb", nullptr, false}, {2, false, "c", nullptr, true}},
         "a\tb\tc\n"},
        {"no padding behind the target",
         {{0, false, "abcdefghij", nullptr, false}, {1, false, "k", nullptr, true}},
         "abcdefghijk\n"},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = temp / ("layout" + std::to_string(index++) + ".log");
        IDebugLog::OpenAt(path.c_str());
        ASSERT_TRUE(IDebugLog::IsOpen());
        for (const LayoutCall& call : c.calls) {
            IDebugLog::SetIndentLevel(call.indent);
            IDebugLog::SetInBlock(call.inBlock);
            IDebugLog::WriteLine(call.text, call.source, call.newline);
        }
        IDebugLog::Close();
        EXPECT_EQ(ReadFile(path), c.file);
    }
}

TEST_F(DebugLogTest, LevelsReachFileAndStandardOutput) {
    const std::string path = temp / "levels.log";
    IDebugLog::OpenAt(path.c_str());
    ::testing::internal::CaptureStdout();
    for (int level = 0; level <= 5; ++level) LogAt(static_cast<LogLevel>(level), "level %d", level);
    LogMessage("%s", "");
    const std::string echoed = ::testing::internal::GetCapturedStdout();
    IDebugLog::Close();
    EXPECT_EQ(ReadFile(path), "level 0\nlevel 1\nlevel 2\nlevel 3\nlevel 4\nlevel 5\n\n");
    EXPECT_EQ(echoed, "level 0\nlevel 1\nlevel 2\nlevel 3\n\n");
}

TEST_F(DebugLogTest, MicrosoftSizePrefixesPrintAlikeOnEveryBuild) {
    const std::string path = temp / "prefixes.log";
    IDebugLog::OpenAt(path.c_str());
    ::testing::internal::CaptureStdout();
    LogAt(LogLevel::Error, "%16I64X (%I64d) %I32u %Iu %08X", 0xFFFFFFFF80004005ull,
          static_cast<int64_t>(0xFFFFFFFF80004005ull), 7u, static_cast<std::size_t>(9), 0x2Au);
    LogAt(LogLevel::Error, "%16I64X|%-5I64d|", 0x1ull, static_cast<int64_t>(-3));
    ::testing::internal::GetCapturedStdout();
    IDebugLog::Close();
    EXPECT_EQ(ReadFile(path),
              "FFFFFFFF80004005 (-2147467259) 7 9 0000002A\n"
              "               1|-3   |\n");
}

TEST_F(DebugLogTest, LongMessageIsTruncatedToTheBuffer) {
    const std::string path = temp / "long.log";
    IDebugLog::OpenAt(path.c_str());
    const std::string longText(20000, 'x');
    ::testing::internal::CaptureStdout();
    LogMessage("%s", longText.c_str());
    LogMessage("after");
    const std::string echoed = ::testing::internal::GetCapturedStdout();
    IDebugLog::Close();
    const std::string kept(8191, 'x');
    EXPECT_EQ(ReadFile(path), kept + "\nafter\n");
    EXPECT_EQ(echoed, kept + "\nafter\n");
}

TEST_F(DebugLogTest, MessagesFromSeveralThreadsStayWhole) {
    const std::string path = temp / "threads.log";
    IDebugLog::OpenAt(path.c_str());
    constexpr int kThreads = 4;
    constexpr int kMessages = 300;
    // Long enough that an unserialised writer would interleave.
    const std::string payload(300, 'p');
    ::testing::internal::CaptureStdout();
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &payload] {
            for (int m = 0; m < kMessages; ++m)
                LogMessage("thread %d message %d %s", t, m, payload.c_str());
        });
    }
    for (std::thread& thread : threads) thread.join();
    const std::string echoed = ::testing::internal::GetCapturedStdout();
    IDebugLog::Close();

    for (const std::string& text : {ReadFile(path), echoed}) {
        std::map<int, int> nextMessage;
        const std::vector<std::string> lines = Lines(text);
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kMessages));
        for (const std::string& line : lines) {
            int t = -1;
            int m = -1;
            int consumed = 0;
            ASSERT_EQ(std::sscanf(line.c_str(), "thread %d message %d %n", &t, &m, &consumed), 2)
                << line;
            ASSERT_EQ(line.substr(static_cast<std::size_t>(consumed)), payload) << line;
            // Each thread's lines arrive whole and in its own order.
            ASSERT_EQ(m, nextMessage[t]++) << line;
        }
    }
}

// Makes one name unusable for the log. Windows: held open for writing with
// the same share mode as the log, so the refusal is the real one. POSIX has no
// share modes; a folder of that name refuses the open instead.
class NameBlocker {
  public:
    explicit NameBlocker(const std::string& name) {
#if defined(_WIN32)
        file_ = platform::OpenDenyWrite(name.c_str());
        EXPECT_NE(file_, nullptr) << name;
#else
        EXPECT_TRUE(platform::MakeDirectory(name.c_str())) << name;
#endif
    }
    ~NameBlocker() {
        if (file_ != nullptr) std::fclose(file_);
    }
    NameBlocker(const NameBlocker&) = delete;
    NameBlocker& operator=(const NameBlocker&) = delete;

  private:
    std::FILE* file_ = nullptr;
};

TEST_F(DebugLogTest, FallsBackToNumberedNamesWhenNamesAreTaken) {
    const char* const suffixes[] = {"", "0", "1", "2", "3", "4"};
    for (int blocked = 0; blocked <= 6; ++blocked) {
        SCOPED_TRACE("names taken: " + std::to_string(blocked));
        const std::string base = temp / ("run" + std::to_string(blocked) + "\\quillmere.log");
        const std::string folder = temp / ("run" + std::to_string(blocked));
        platform::MakeDirectory(folder.c_str());
        std::vector<std::unique_ptr<NameBlocker>> blockers;
        for (int i = 0; i < blocked; ++i) {
            blockers.push_back(std::make_unique<NameBlocker>(base + suffixes[i]));
        }
        ::testing::internal::CaptureStdout();
        IDebugLog::OpenAt(base.c_str());
        const std::string expected = blocked < 6 ? base + suffixes[blocked] : "";
        EXPECT_EQ(IDebugLog::IsOpen(), blocked < 6);
        EXPECT_EQ(IDebugLog::OpenedPath(), expected);
        IDebugLog::WriteLine("still logging", nullptr, true);
        // Nothing is reported when no name opens.
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
        IDebugLog::Close();
        if (!expected.empty()) {
            std::string native = expected;
            std::replace(native.begin(), native.end(), '\\', '/');
            EXPECT_EQ(ReadFile(native), "still logging\n");
        }
    }
}

TEST_F(DebugLogTest, OpensBelowTheDocumentsFolder) {
#if !defined(_WIN32)
    // Windows uses the (test) prefix's own Documents folder; here a scratch one.
    testing_support::ScopedEnv documents("XDG_DOCUMENTS_DIR", temp.path().string());
#endif
    IDebugLog::OpenInShellFolder(platform::kDocumentsFolder, kLogRelativePath);
    ASSERT_TRUE(IDebugLog::IsOpen());
    std::string path = IDebugLog::OpenedPath();
    // Another test program may hold the plain name; then a numbered one is used.
    EXPECT_NE(path.find("\\My Games\\Korvane\\Plexor\\quillmere.log"), std::string::npos) << path;
    ::testing::internal::CaptureStdout();
    LogMessage("Quillmere plugin found.");
    ::testing::internal::GetCapturedStdout();
    IDebugLog::Close();
    std::replace(path.begin(), path.end(), '\\', '/');
    EXPECT_EQ(ReadFile(path), "Quillmere plugin found.\n");
#if !defined(_WIN32)
    EXPECT_EQ(path, temp.path().string() + "/My Games/Korvane/Plexor/quillmere.log");
#endif
}

// Without a documents folder the failure is written to standard output and
// the plug-in runs on without a log file.
TEST_F(DebugLogTest, MissingDocumentsFolderIsReportedAndSurvived) {
    ::testing::internal::CaptureStdout();
    // No shell folder has this id, so the lookup fails on every build.
    IDebugLog::OpenInShellFolder(0x7F, kLogRelativePath);
    LogMessage("still running");
    const std::vector<std::string> lines = Lines(::testing::internal::GetCapturedStdout());
    EXPECT_FALSE(IDebugLog::IsOpen());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("SHGetFolderPath 0000007F failed (result = 8", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("Assertion failed in debug_log.cpp (", 0), 0u) << lines[1];
    // The negative result is widened with its sign: the 64-bit form.
    EXPECT_NE(lines[1].find("): SUCCEEDED(err) (code = FFFFFFFF8"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[2], "still running");
}

#if !defined(_WIN32)
TEST_F(DebugLogTest, NoHomeMeansNoLogButTheLinesStillReachStandardOutput) {
    testing_support::ScopedEnv documents("XDG_DOCUMENTS_DIR", std::nullopt);
    testing_support::ScopedEnv home("HOME", std::nullopt);
    ::testing::internal::CaptureStdout();
    IDebugLog::OpenInShellFolder(platform::kDocumentsFolder, kLogRelativePath);
    LogMessage("still running");
    const std::vector<std::string> lines = Lines(::testing::internal::GetCapturedStdout());
    EXPECT_FALSE(IDebugLog::IsOpen());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "SHGetFolderPath 00000005 failed (result = 80004005 lasterr = 00000002)");
    EXPECT_EQ(lines[1].rfind("Assertion failed in debug_log.cpp (", 0), 0u) << lines[1];
    EXPECT_NE(lines[1].find("): SUCCEEDED(err) (code = FFFFFFFF80004005 (-2147467259))"),
              std::string::npos)
        << lines[1];
    EXPECT_EQ(lines[2], "still running");
}
#endif

}  // namespace
}  // namespace quillmere
