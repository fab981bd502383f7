// The extender's view of the plug-in: query, load, registration.
#include "plugin_fixture.h"

namespace quillmere_test {
namespace {

class EntryTest : public ::testing::Test {
  protected:
    void SetUp() override {
#if !defined(_WIN32)
        documents_ = fs::temp_directory_path() / "quillmere-entry-documents";
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        documents_ += std::string("-") + info->name() + "-" + std::to_string(getpid());
        fs::remove_all(documents_);
        setenv("XDG_DOCUMENTS_DIR", documents_.c_str(), 1);
#endif
    }
    void TearDown() override {
        std::error_code ignored;
        if (!documents_.empty()) fs::remove_all(documents_, ignored);
    }

    // The log is a text file: CRLF on Windows.
    std::string Log() const {
        std::string text = ReadFile(korvane::DebugLogPath());
        std::erase(text, '\r');
        return text;
    }

    korvane::Host host;
    fs::path documents_;
};

TEST_F(EntryTest, StartUpLogsThreeLinesDescribesItselfAndRegisters) {
    const korvane::LoadReport report = host.LoadPlugin(korvane::DefaultPluginPath());
    ASSERT_TRUE(report.loaded) << report.error;
    EXPECT_TRUE(report.queryReturned);
    EXPECT_TRUE(report.loadReturned);
    EXPECT_EQ(report.descriptionVersion, 1u);
    EXPECT_EQ(report.descriptionName, "Quillmere");
    EXPECT_EQ(report.descriptionVersionNumber, 1u);
    EXPECT_TRUE(report.pluginHandleAsked);
    EXPECT_EQ(report.interfacesQueried, std::vector<uint32_t>{3});
    EXPECT_TRUE(report.callbackAccepted);
    EXPECT_EQ(Log(),
              "Quillmere plugin found.\nQuillmere plugin started to load.\nRegister Succeeded\n");

    // The name the extender keeps pointing at lives as long as the library.
    korvane::Host later;
    const korvane::LoadReport again = later.LoadPlugin(korvane::DefaultPluginPath());
    EXPECT_EQ(again.descriptionNamePointer, report.descriptionNamePointer);
    EXPECT_STREQ(report.descriptionNamePointer, "Quillmere");
}

TEST_F(EntryTest, RuntimeVersionWarningBoundary) {
    struct Case {
        uint32_t version;
        bool warns;
    };
    for (const Case& c : {Case{0x01090040, false}, Case{0x0109003F, true}, Case{0x00000000, true},
                          Case{0x010A0000, false}, Case{0xFFFFFFFF, false}}) {
        const korvane::LoadReport report =
            host.LoadPlugin(korvane::DefaultPluginPath(), {.runtimeVersion = c.version});
        ASSERT_TRUE(report.loaded) << report.error;
        EXPECT_TRUE(report.callbackAccepted);
        char warning[128];
        std::snprintf(warning, sizeof warning,
                      "WARNING: Unsupported runtime version %08X. Only v1.9.4 and higher is "
                      "supported.\n",
                      c.version);
        const std::string log = Log();
        EXPECT_EQ(log.find(warning) != std::string::npos, c.warns) << std::hex << c.version;
        EXPECT_NE(log.find("Register Succeeded"), std::string::npos);
    }
}

TEST_F(EntryTest, RefusedCallbackLogsNothingAfterTheLoadLine) {
    const korvane::LoadReport report =
        host.LoadPlugin(korvane::DefaultPluginPath(), {.refuseRegistrationCallback = true});
    ASSERT_TRUE(report.loaded) << report.error;
    EXPECT_TRUE(report.callbackOffered);
    EXPECT_FALSE(report.callbackAccepted);
    EXPECT_TRUE(report.loadReturned);
    EXPECT_EQ(Log(), "Quillmere plugin found.\nQuillmere plugin started to load.\n");
}

TEST_F(EntryTest, MissingScriptInterfaceIsReportedNotCalled) {
    const korvane::LoadReport report =
        host.LoadPlugin(korvane::DefaultPluginPath(), {.nullScriptInterface = true});
    ASSERT_TRUE(report.loaded) << report.error;
    EXPECT_FALSE(report.callbackOffered);
    EXPECT_FALSE(report.loadReturned);
    const std::string log = Log();
    EXPECT_EQ(log.rfind("Quillmere plugin found.\nQuillmere plugin started to load.\n", 0), 0u);
    EXPECT_NE(log.find("no script interface"), std::string::npos) << log;
}

}  // namespace
}  // namespace quillmere_test
