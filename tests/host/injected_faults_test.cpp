// Faults injected into a whole export and a whole import: the host declining
// the Nth array, struct or heap block for every N the work reaches, a full
// disk at every size during the blueprint write, folder and file names the
// file system refuses, a blueprint held open, a log that cannot be opened, a
// missing documents folder, and a slot folder reached through a link. In
// every case nothing crashes, the result is the sound one and no blueprint is
// lost.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>

#include "settlement_fixture.h"

#if defined(_WIN32)
#include <windows.h>
// The printer API's AddForm macro would rename the host's method.
#undef AddForm
#else
#include <sys/resource.h>

#include <csignal>
#endif

namespace quillmere_test {
namespace {

constexpr char kBlueprints[] = "Data/Plexor/Plugins/Quillmere/blueprints/";

// An array of structs in which the machine declined some structs: one element
// per item still, each either the item or a None in its place.
bool ElementsNoneOrEqual(const ScriptValue& got, const ScriptValue& expected) {
    if (!got.IsArray() || got.elements.size() != expected.elements.size()) return false;
    for (std::size_t i = 0; i < got.elements.size(); ++i) {
        if (!got.elements[i].isNone && !(got.elements[i] == expected.elements[i])) return false;
    }
    return true;
}
const std::vector<std::string> kReaders = {"GetBlueprintHeader", "GetPluginsRequired",
                                           "GetWorkshopData", "GetItemsFromBlueprint",
                                           "GetExtraPropsFromBlueprint"};

// Every file below a folder with its bytes, for "nothing changed" checks.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    std::error_code error;
    if (!fs::exists(folder, error)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) files[entry.path().generic_string()] = ReadFile(entry.path());
    }
    return files;
}

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    if (!fs::is_directory(folder, error)) return files;
    for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
    return files;
}

// The staging folders left below the blueprints folder ("" when none).
std::string StagingFolders() {
    std::string names;
    for (const auto& entry : fs::directory_iterator(kBlueprints)) {
        if (entry.path().extension() == ".saving") names += NarrowName(entry.path()) + " ";
    }
    return names;
}

class InjectedFaultsTest : public SettlementTest {
  protected:
    // The import as a script runs it: the list, then every reader on the
    // blueprint of the slot.
    std::vector<ScriptValue> Import(int slot) {
        std::vector<ScriptValue> results = {Call("LoadBlueprintList", {ScriptValue::String("")})};
        std::string name = "none";
        if (!results[0].isNone) name = results[0].elements.at(static_cast<std::size_t>(slot - 1)).s;
        const std::string path = kBlueprints + std::to_string(slot) + "/" + name;
        for (const std::string& reader : kReaders) {
            results.push_back(Call(reader, {ScriptValue::String(path)}));
        }
        return results;
    }
};

// The host declines its Nth array, struct or heap block (or every one from
// the Nth on), for N = 1, 2, ... until a whole registration, export and
// import run without reaching N. Each result is then what it is without
// faults, or None; the export is unaffected (it asks the host for nothing it
// could decline); nothing leaks; and the next run without faults is whole
// again.
TEST_F(InjectedFaultsTest, HostDecliningTheNthCreationForEveryN) {
    PrepareExport();
    ASSERT_TRUE(Store(std::string(kBlueprints) + "3"));
    const std::vector<ScriptValue> whole = Import(3);
    for (const ScriptValue& result : whole)
        ASSERT_FALSE(result.isNone) << korvane::Describe(result);
    const std::string blueprint = ReadFile(FilesIn(std::string(kBlueprints) + "3").at(0));

    struct Kind {
        const char* name;
        std::function<void(korvane::FaultPlan&, uint64_t)> set;
        std::function<uint64_t(const korvane::Counters&)> declined;
    };
    const std::vector<Kind> kinds = {
        {"array", [](korvane::FaultPlan& p, uint64_t n) { p.declineArrayAt = n; },
         [](const korvane::Counters& c) { return c.arraysDeclined; }},
        {"struct", [](korvane::FaultPlan& p, uint64_t n) { p.declineStructAt = n; },
         [](const korvane::Counters& c) { return c.structsDeclined; }},
        {"heap block", [](korvane::FaultPlan& p, uint64_t n) { p.declineHeapAt = n; },
         [](const korvane::Counters& c) { return c.heapDeclined; }},
    };
    for (const Kind& kind : kinds) {
        for (const bool persistent : {false, true}) {
            uint64_t n = 1;
            for (;; ++n) {
                SCOPED_TRACE(std::string(kind.name) + (persistent ? " from " : " number ") +
                             std::to_string(n));
                Reset();
                const korvane::Counters start = host.GetCounters();
                korvane::FaultPlan plan;
                plan.persistent = persistent;
                kind.set(plan, n);
                host.SetFaults(plan);

                // The function objects registered stay with the machine.
                host.Register();
                const korvane::Counters before = host.GetCounters();
                PrepareExport();
                const bool stored = Store(std::string(kBlueprints) + "3");
                const std::vector<ScriptValue> results = Import(3);
                Reset();
                host.SetFaults({});
                const korvane::Counters after = host.GetCounters();
                // The same blueprint read without faults.
                const std::vector<ScriptValue> reference = Import(3);

                EXPECT_TRUE(stored);
                const std::vector<fs::path> files = FilesIn(std::string(kBlueprints) + "3");
                ASSERT_EQ(files.size(), 1u);
                EXPECT_EQ(ReadFile(files[0]).size(), blueprint.size());
                for (std::size_t i = 0; i < results.size(); ++i) {
                    ASSERT_FALSE(reference[i].isNone);
                    EXPECT_TRUE(results[i].isNone || results[i] == reference[i] ||
                                ElementsNoneOrEqual(results[i], reference[i]))
                        << korvane::Describe(results[i]);
                }
                EXPECT_EQ(after.liveHeapBlocks, before.liveHeapBlocks);
                EXPECT_EQ(after.liveStringRefs, before.liveStringRefs);
                EXPECT_EQ(after.liveArrays, before.liveArrays);
                EXPECT_EQ(after.liveStructs, before.liveStructs);
                EXPECT_EQ(after.liveIdentifiers, before.liveIdentifiers);
                if (kind.declined(after) == kind.declined(start)) break;  // N not reached
                ASSERT_LT(n, 10000u) << "the work never ends";
            }
            EXPECT_GT(n, 1u) << kind.name << ": the work asked for none";
            std::printf("declining %s %s: %llu runs\n", kind.name,
                        persistent ? "from N on" : "number N", static_cast<unsigned long long>(n));
            PrepareExport();
            ASSERT_TRUE(Store(std::string(kBlueprints) + "3"));
            EXPECT_EQ(Import(3).size(), whole.size());
        }
    }
}

#if !defined(_WIN32)
// The disk fills up at every size from nothing to the whole blueprint: the
// process may write no more than N bytes into any file (RLIMIT_FSIZE, with
// SIGXFSZ ignored, so a write past it fails with EFBIG). Windows: the same
// through prlimit on a helper program, in tests/host/faults/.
TEST_F(InjectedFaultsTest, FullDiskAtEverySizeKeepsThePreviousBlueprint) {
    const std::string slot = std::string(kBlueprints) + "3";
    Call("Init", {ScriptValue::Reference(host.AddReference(0x15, "Earlier")), ScriptValue::Float(1),
                  ScriptValue::Int(0)});
    ASSERT_TRUE(Store(slot));
    const auto previous = Snapshot(slot);
    // With progress lines: the debug log is a file too, and its writes fail
    // past the limit as well.
    PrepareExport();

    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    std::size_t size = 0;
    int failures = 0;
    for (rlim_t limit = 0;; ++limit) {
        rlimit lowered = original;
        lowered.rlim_cur = limit;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
        const bool stored = Store(slot);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &original), 0);

        SCOPED_TRACE("limit " + std::to_string(limit));
        EXPECT_EQ(StagingFolders(), "");
        if (!stored) {
            ++failures;
            ASSERT_EQ(Snapshot(slot), previous);
            continue;
        }
        const auto now = Snapshot(slot);
        ASSERT_EQ(now.size(), 1u);
        size = now.begin()->second.size();
        EXPECT_EQ(limit, size) << "a blueprint that fits was refused, or one too big kept";
        EXPECT_FALSE(Import(3)[1].isNone);
        break;
    }
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(failures, static_cast<int>(size));
    std::printf("full disk: %d limits refused, the %zu-byte blueprint stored at limit %zu\n",
                failures, size, size);
}

// Without a documents folder the plug-in runs on, without a log file.
TEST_F(InjectedFaultsTest, NoDocumentsFolder) {
    WriteFile("not-a-folder", "file");
    setenv("XDG_DOCUMENTS_DIR", (gameDir / "not-a-folder" / "Documents").c_str(), 1);
    korvane::Host other;
    const korvane::LoadReport report = other.LoadPlugin(korvane::DefaultPluginPath());
    ASSERT_TRUE(report.loaded) << report.error;
    EXPECT_TRUE(report.queryReturned && report.loadReturned);
    PrepareExport();
    EXPECT_TRUE(Store(std::string(kBlueprints) + "3"));
    EXPECT_FALSE(Import(3)[4].isNone);
}
#endif

// The log cannot be opened under its name nor any of its five fall-backs
// (all six are folders): the plug-in starts and works without a file.
class LogFaultTest : public InjectedFaultsTest {
  protected:
    static std::vector<fs::path> LogNames() {
        const fs::path log = korvane::DebugLogPath();
        std::vector<fs::path> names = {log};
        for (int i = 0; i < 5; ++i) names.push_back(log.string() + std::to_string(i));
        return names;
    }
    // False when a name cannot be replaced: Windows keeps a file open in
    // this process (the plug-in's own log) from being removed.
    static bool FoldersInPlaceOfTheLog() {
        for (const fs::path& name : LogNames()) {
            std::error_code error;
            if (!fs::is_directory(name, error)) fs::remove(name, error);
            fs::create_directories(name, error);
            if (!fs::is_directory(name, error)) return false;
        }
        return true;
    }
    void SetUp() override {
#if defined(_WIN32)
        // The prefix's documents folder is known before the plug-in is
        // loaded, and so opens its log.
        FoldersInPlaceOfTheLog();
#endif
        InjectedFaultsTest::SetUp();
    }
    void TearDown() override {
        // Shared with the other tests under Wine: give the log its file back.
        std::error_code ignored;
        for (const fs::path& name : LogNames()) fs::remove_all(name, ignored);
        host.LoadPlugin(korvane::DefaultPluginPath());
        InjectedFaultsTest::TearDown();
    }
};

TEST_F(LogFaultTest, LogUnopenableUnderAllSixNames) {
    if (!FoldersInPlaceOfTheLog()) GTEST_SKIP() << "the log is open in this process";
    const korvane::LoadReport report = host.LoadPlugin(korvane::DefaultPluginPath());
    EXPECT_TRUE(report.loaded && report.queryReturned && report.loadReturned);
    PrepareExport();
    EXPECT_TRUE(Store(std::string(kBlueprints) + "3"));
    EXPECT_FALSE(Import(3)[5].isNone);
    EXPECT_TRUE(Call("GetBlueprintHeader", {ScriptValue::String("missing.json")}).isNone);
    for (const fs::path& name : LogNames()) EXPECT_TRUE(fs::is_directory(name));
}

// Slot folders and file names the file system refuses or that lead through
// a file: the store fails or succeeds soundly, other slots are untouched,
// nothing is left staged, and a store that succeeded can be read back.
TEST_F(InjectedFaultsTest, NamesTheFileSystemRefuses) {
    WriteFile(std::string(kBlueprints) + "4/bp_keep.json", "{\"header\": {\"a\": 1}}");
    WriteFile(std::string(kBlueprints) + "afile", "not a folder");
    const auto others = Snapshot(kBlueprints);
    struct Case {
        std::string slot;
        std::string player;
    };
    const std::string base = kBlueprints;
    const std::vector<Case> cases = {
        {base + "3", std::string(300, 'x')},        // file name too long
        {base + std::string(300, 's'), "Settler"},  // folder name too long
        {base + "afile/3", "Settler"},              // a path through a file
        {base + "afile", "Settler"},                // a slot that is a file
        {base + "3.", "Settler"},                   // Windows drops a trailing dot
        {base + "3 ", "Settler"},                   // ... and a trailing space
        {base + "CON", "Settler"},                  // a device name on Windows
        {base + "a<b", "Settler"},                  // a character Windows refuses
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot.substr(base.size(), 40) + " / " + c.player.substr(0, 20));
        PrepareExport(host.AddReference(0x16, c.player));
        const bool stored = Store(c.slot);
        SCOPED_TRACE(stored ? "stored" : "not stored");
        EXPECT_EQ(StagingFolders(), "");
        auto now = Snapshot(kBlueprints);
        for (const auto& [path, bytes] : others) EXPECT_EQ(now[path], bytes) << path;
        if (stored) {
            const std::vector<fs::path> files = FilesIn(c.slot);
            ASSERT_EQ(files.size(), 1u);
            const std::string path = c.slot + "/" + NarrowName(files[0]);
            for (const std::string& reader : kReaders) {
                EXPECT_FALSE(Call(reader, {ScriptValue::String(path)}).isNone) << reader;
            }
            std::error_code ignored;
            fs::remove_all(c.slot, ignored);
        }
    }
    // A name too long is refused everywhere.
    PrepareExport(host.AddReference(0x16, std::string(300, 'x')));
    EXPECT_FALSE(Store(base + "3"));
}

// The blueprint in the slot is held open by another program while a new one
// is stored. Linux never stops the store; Windows refuses to delete or
// replace a file open without delete sharing. Either the store succeeds and
// the slot holds exactly the new blueprint, or it fails and the slot holds
// exactly the old one.
TEST_F(InjectedFaultsTest, BlueprintHeldOpenByAnotherProgram) {
    const std::string slot = std::string(kBlueprints) + "3";
    Call("Init", {ScriptValue::Reference(host.AddReference(0x15, "Earlier")), ScriptValue::Float(1),
                  ScriptValue::Int(0)});
    ASSERT_TRUE(Store(slot));
    const auto previous = Snapshot(slot);
    const fs::path old = FilesIn(slot).at(0);
#if defined(_WIN32)
    HANDLE held = CreateFileA(old.string().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
#else
    std::ifstream held(old);
    ASSERT_TRUE(held.is_open());
#endif
    PrepareExport();
    const bool stored = Store(slot);
#if defined(_WIN32)
    CloseHandle(held);
#else
    held.close();
#endif
    const auto now = Snapshot(slot);
    EXPECT_EQ(StagingFolders(), "");
    if (stored) {
        ASSERT_EQ(now.size(), 1u);
        EXPECT_NE(now.begin()->first, previous.begin()->first);
        EXPECT_EQ(Import(3)[1].elements.at(2).s, "Settler");
    } else {
        EXPECT_EQ(now, previous);
    }
#if !defined(_WIN32)
    EXPECT_TRUE(stored);
#endif
    // Once let go, the store succeeds.
    EXPECT_TRUE(Store(slot));
    EXPECT_EQ(Snapshot(slot).size(), 1u);
}

// A link itself, not followed: a symbolic link, or on Windows any reparse
// point (the standard library there knows only symbolic links).
bool IsFolderLink(const std::string& path) {
#if defined(_WIN32)
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
#else
    return fs::is_symlink(path);
#endif
}

#if defined(_WIN32)
// A junction where the system makes one. Wine makes none (`mklink /J` does
// nothing there), but it shows a Unix symbolic link to a folder as a reparse
// point, as Windows shows a junction: make one of those through Wine's Unix
// side instead.
bool MakeFolderLink(const std::string& link, const fs::path& target) {
    const std::string command = "cmd /c mklink /J \"" + fs::path(link).make_preferred().string() +
                                "\" \"" + target.string() + "\" >NUL 2>&1";
    std::system(command.c_str());
    if (IsFolderLink(link)) return true;
    using UnixName = char*(__cdecl*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (unixName == nullptr || GetFileAttributesA("Z:\\bin\\ln") == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    // Wine's Unix programs take Unix paths.
    const auto unixPath = [&](const fs::path& path) {
        char* name = unixName(fs::absolute(path).wstring().c_str());
        std::string text = name != nullptr ? name : "";
        HeapFree(GetProcessHeap(), 0, name);
        return text;
    };
    std::string arguments =
        "ln -s \"" + unixPath(target) + "\" \"" + unixPath(fs::path(link)) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA("Z:\\bin\\ln", arguments.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // A Unix program's handle cannot be waited for: watch for the link.
    for (int i = 0; i < 100 && !IsFolderLink(link); ++i) Sleep(50);
    return IsFolderLink(link);
}
#endif

// The slot folder is a link (a symbolic link on Linux, a junction on
// Windows) to a folder elsewhere: the store replaces the link by a real slot
// folder and never touches the folder it pointed to. A link the system will
// not remove fails the store, and nothing goes through it.
TEST_F(InjectedFaultsTest, SlotFolderReachedThroughALink) {
    WriteFile("elsewhere/bp_precious.json", "{\"header\": {\"a\": 1}}");
    const auto elsewhere = Snapshot("elsewhere");
    fs::create_directories(kBlueprints);
    const std::string slot = std::string(kBlueprints) + "3";
#if defined(_WIN32)
    if (!MakeFolderLink(slot, gameDir / "elsewhere")) GTEST_SKIP() << "this system made no link";
#else
    fs::create_directory_symlink(gameDir / "elsewhere", slot);
#endif
    PrepareExport();
    const LogWatch log;
    const bool stored = Store(slot);
    EXPECT_EQ(Snapshot("elsewhere"), elsewhere);
    if (stored) {
        EXPECT_FALSE(IsFolderLink(slot));
        EXPECT_EQ(FilesIn(slot).size(), 1u);
        EXPECT_EQ(Import(3)[1].elements.at(2).s, "Settler");
    } else {
        EXPECT_TRUE(IsFolderLink(slot));
        EXPECT_TRUE(log.Contains("failed to clear the slot folder: " + slot));
    }
#if !defined(_WIN32)
    EXPECT_TRUE(stored);
#endif
}

}  // namespace
}  // namespace quillmere_test
