#include "fuzz_host.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillmere_fuzz {

namespace fs = std::filesystem;

void Fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    std::abort();
}

namespace {

std::string* scratchFolder = nullptr;

void RemoveScratchFolder() {
    if (scratchFolder == nullptr) return;
    std::error_code ignored;
    fs::current_path("/", ignored);
    fs::remove_all(*scratchFolder, ignored);
}

std::string MakeScratchFolder() {
    // Memory-backed where the machine has it: inputs write files all the time.
    std::string base = "/dev/shm";
    if (!fs::is_directory(base)) base = fs::temp_directory_path().string();
    std::string pattern = base + "/quillmere-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        Fail("cannot make a scratch folder below %s", base.c_str());
    return pattern;
}

}  // namespace

FuzzGame& FuzzGame::Get() {
    static FuzzGame* game = new FuzzGame();
    return *game;
}

FuzzGame::FuzzGame() {
    folder_ = MakeScratchFolder();
    scratchFolder = new std::string(folder_);
    std::atexit(RemoveScratchFolder);
    fs::current_path(folder_);
    // The log goes below this folder's own documents folder, and nowhere:
    // its name and all five fall-backs are folders, so millions of inputs do
    // not fill the disk with lines. Lines are still formatted and echoed to
    // standard output.
    const std::string documents = folder_ + "/Documents";
    setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);
    const std::string log = documents + "/My Games/Korvane/Plexor/quillmere.log";
    fs::create_directories(log);
    for (int i = 0; i < 5; ++i) fs::create_directories(log + std::to_string(i));
    // Every log line is echoed to standard output; libFuzzer reports on
    // standard error.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) Fail("cannot silence stdout");
    Start();
}

void FuzzGame::Start() {
    host_ = new korvane::Host();
    const korvane::LoadReport report = host_->LoadPlugin(korvane::DefaultPluginPath());
    if (!report.loaded) Fail("the plug-in did not load: %s", report.error.c_str());
    host_->DeclareQuillmereStructs();
    if (!host_->Register()) Fail("the plug-in's natives were not registered");
    host_->SetLoadOrder({"Korvane.esm", "DLCRobot.esm", "DLCworkshop02.esm", "DLCCoast.esm",
                         "DLCBrightvale.esm", "DLCworkshop01.esm"});
}

void FuzzGame::Restart() {
    delete host_;
    host_ = nullptr;
    Start();
}

ScriptValue FuzzGame::Call(const std::string& name, const std::vector<ScriptValue>& args) {
    try {
        return host_->Call("Quillmere", name, args);
    } catch (const std::exception& e) {
        Fail("an exception reached the host from %s: %s", name.c_str(), e.what());
    } catch (...) {
        Fail("an exception reached the host from %s", name.c_str());
    }
}

void FuzzGame::CheckNothingLeaked(const korvane::Counters& before, const char* step) const {
    const korvane::Counters now = host_->GetCounters();
    const auto check = [&](uint64_t was, uint64_t is, const char* what) {
        if (was != is) {
            Fail("%s: %s went from %llu to %llu", step, what, static_cast<unsigned long long>(was),
                 static_cast<unsigned long long>(is));
        }
    };
    check(before.liveHeapBlocks, now.liveHeapBlocks, "live heap blocks");
    check(before.liveStringRefs, now.liveStringRefs, "live string references");
    check(before.liveIdentifiers, now.liveIdentifiers, "live identifiers");
    check(before.liveArrays, now.liveArrays, "live arrays");
    check(before.liveStructs, now.liveStructs, "live structs");
    check(before.typeInfoRefs, now.typeInfoRefs, "type information references");
    check(before.persistedHandles, now.persistedHandles, "persisted handles");
}

void WriteBytes(const std::string& path, const void* data, std::size_t size) {
    const fs::path p(path);
    if (p.has_parent_path()) fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) Fail("cannot write %s", path.c_str());
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    if (!fs::exists(folder, error)) return files;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file(error) || it->is_symlink(error)) {
            files.push_back(it->path().lexically_normal().generic_string());
        }
    }
    return files;
}

uint32_t FloatBits(float f) {
    uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

bool SameValue(const ScriptValue& a, const ScriptValue& b) {
    if (a.type != b.type || a.isNone != b.isNone || a.i != b.i || a.s != b.s ||
        FloatBits(a.f) != FloatBits(b.f) || a.form != b.form ||
        a.elements.size() != b.elements.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.elements.size(); ++i) {
        if (!SameValue(a.elements[i], b.elements[i])) return false;
    }
    return true;
}

std::string Show(const ScriptValue& v) {
    return korvane::Describe(v);
}

}  // namespace quillmere_fuzz
