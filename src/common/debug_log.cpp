#include "common/debug_log.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "common/assertions.h"
#include "common/directory_chain.h"
#include "common/ms_format.h"
#include "common/platform.h"

namespace quillmere {
namespace {

constexpr std::size_t kFormatBufferSize = 8192;
constexpr std::size_t kTagSize = 16;
constexpr std::size_t kNameSize = 1024;
constexpr std::size_t kShellPathSize = 260;  // MAX_PATH
constexpr int kFallbackNames = 5;            // path0 .. path4
constexpr int32_t kColumnsPerIndent = 4;
constexpr int32_t kFileThreshold = 5;
constexpr int32_t kPrintThreshold = 3;

// The lock around every use of `state`: created on first use and never
// destroyed, so lines logged from other static initialisers and destructors
// find it working (MinGW's std::mutex cannot be constant-initialised).
std::mutex& LogMutex() {
    static auto* const mutex = new std::mutex;
    return *mutex;
}

// Everything the log shares between callers. Constant-initialised, so it is
// usable from any other static initialiser; its destructor closes the file
// at process exit.
class LogState {
  public:
    constexpr LogState() = default;
    LogState(const LogState&) = delete;
    LogState& operator=(const LogState&) = delete;
    ~LogState() {
        const std::lock_guard lock(LogMutex());
        CloseFile();
    }

    void Open(const char* path) {
        Reset();
        if (path == nullptr) return;
        std::FILE* file = platform::OpenDenyWrite(path);
        const char* opened = path;
        char name[kNameSize];
        for (int i = 0; file == nullptr && i < kFallbackNames; ++i) {
            const int length = std::snprintf(name, sizeof name, "%s%d", path, i);
            // A cut name would be some other file.
            if (length < 0 || static_cast<std::size_t>(length) >= sizeof name) break;
            file = platform::OpenDenyWrite(name);
            opened = name;
        }
        if (file == nullptr) return;
        logFile_ = file;
        std::snprintf(openedPath_, sizeof openedPath_, "%s", opened);
    }

    void Emit(LogLevel level, const char* format, va_list args) {
        const auto value = static_cast<int32_t>(level);
        const bool toFile = value <= kFileThreshold;
        const bool toPrint = value <= kPrintThreshold;
        if (!toFile && !toPrint) return;
        if (format == nullptr) format = "";
        const char* native = TranslateMsFormat(format, formatSpec_, sizeof formatSpec_);
        if (std::vsnprintf(formatBuffer_, sizeof formatBuffer_, native, args) < 0) {
            formatBuffer_[0] = '\0';
        }
        if (toFile) WriteLine(formatBuffer_, nullptr, true);
        if (toPrint) std::printf("%s\n", formatBuffer_);
    }

    void WriteLine(const char* text, const char* source, bool newline) {
        if (source != nullptr) SetSource(source);
        const int32_t indent = indentLevel_ * kColumnsPerIndent;
        if (!inBlock_) {
            Pad(indent);
            Write(headerText_);
        } else {
            const auto header = static_cast<int32_t>(std::strlen(headerText_));
            Pad((indent + header + kColumnsPerIndent - 1) / kColumnsPerIndent * kColumnsPerIndent);
        }
        Write(text != nullptr ? text : "");
        if (newline) {
            if (logFile_ != nullptr) {
                std::fputc('\n', logFile_);
                if (autoFlush_) std::fflush(logFile_);
            }
            cursorColumn_ = 0;
        }
    }

    void SetIndentLevel(int32_t level) { indentLevel_ = level; }
    void SetInBlock(bool inBlock) { inBlock_ = inBlock; }
    bool IsOpen() const { return logFile_ != nullptr; }
    const char* OpenedPath() const { return openedPath_; }

    void Reset() {
        CloseFile();
        sourceTag_[0] = '\0';
        headerText_[0] = '\0';
        indentLevel_ = 0;
        cursorColumn_ = 0;
        inBlock_ = false;
    }

  private:
    void CloseFile() {
        if (logFile_ != nullptr) std::fclose(logFile_);
        logFile_ = nullptr;
        openedPath_[0] = '\0';
    }

    // "[        ]\t" with the first 8 characters of the tag over the blanks.
    void SetSource(const char* source) {
        std::snprintf(sourceTag_, sizeof sourceTag_, "%s", source);
        std::memcpy(headerText_, "[        ]\t", sizeof "[        ]\t");
        const std::size_t length = std::strlen(sourceTag_);
        std::memcpy(headerText_ + 1, sourceTag_, length < 8 ? length : 8);
    }

    // The column is counted even without a file, so the layout is the same
    // whenever a file is there.
    void Write(const char* text) {
        if (logFile_ != nullptr) {
            std::fputs(text, logFile_);
            if (autoFlush_) std::fflush(logFile_);
        }
        for (const char* p = text; *p != '\0'; ++p) {
            cursorColumn_ += *p == '\t' ? kColumnsPerIndent - cursorColumn_ % kColumnsPerIndent : 1;
        }
    }

    // Tabs up to the last tab stop before `column`, blanks for the rest.
    void Pad(int32_t column) {
        while (cursorColumn_ < column) {
            const int32_t nextStop = (cursorColumn_ / kColumnsPerIndent + 1) * kColumnsPerIndent;
            Write(nextStop <= column ? "\t" : " ");
        }
    }

    std::FILE* logFile_ = nullptr;
    char sourceTag_[kTagSize] = {};
    char headerText_[kTagSize] = {};
    int32_t indentLevel_ = 0;
    char formatBuffer_[kFormatBufferSize] = {};
    char formatSpec_[kFormatBufferSize] = {};
    int32_t cursorColumn_ = 0;
    bool inBlock_ = false;
    bool autoFlush_ = true;
    char openedPath_[kNameSize] = {};
};

constinit LogState state;

}  // namespace

void IDebugLog::OpenInShellFolder(int folderId, const char* relativePath) {
    char path[kShellPathSize];
    uint32_t lastError = 0;
    const int32_t err = platform::ShellFolderPath(folderId, path, sizeof path, lastError);
    if (err < 0) {
        LogFatal("SHGetFolderPath %08X failed (result = %08X lasterr = %08X)",
                 static_cast<uint32_t>(folderId), static_cast<uint32_t>(err), lastError);
        // Without a documents folder the plug-in still works, only without a
        // log file, so the failed check is reported but does not stop.
        LogAssertionWithCode(__FILE_NAME__, __LINE__, "SUCCEEDED(err)",
                             static_cast<uint64_t>(static_cast<int64_t>(err)));
        return;
    }
    const std::size_t used = std::strlen(path);
    std::snprintf(path + used, sizeof path - used, "%s",
                  relativePath != nullptr ? relativePath : "");
    CreateDirectoriesForPath(path);
    OpenAt(path);
}

void IDebugLog::OpenAt(const char* path) {
    const std::lock_guard lock(LogMutex());
    state.Open(path);
}

void IDebugLog::WriteLine(const char* text, const char* source, bool newline) {
    const std::lock_guard lock(LogMutex());
    state.WriteLine(text, source, newline);
}

void IDebugLog::Emit(LogLevel level, const char* format, va_list args) {
    const std::lock_guard lock(LogMutex());
    state.Emit(level, format, args);
}

void IDebugLog::SetIndentLevel(int32_t level) {
    const std::lock_guard lock(LogMutex());
    state.SetIndentLevel(level);
}

void IDebugLog::SetInBlock(bool inBlock) {
    const std::lock_guard lock(LogMutex());
    state.SetInBlock(inBlock);
}

bool IDebugLog::IsOpen() {
    const std::lock_guard lock(LogMutex());
    return state.IsOpen();
}

std::string IDebugLog::OpenedPath() {
    const std::lock_guard lock(LogMutex());
    return state.OpenedPath();
}

void IDebugLog::Close() {
    const std::lock_guard lock(LogMutex());
    state.Reset();
}

void LogFatal(const char* format, ...) {
    va_list args;
    va_start(args, format);
    IDebugLog::Emit(LogLevel::Fatal, format, args);
    va_end(args);
}

void LogError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    IDebugLog::Emit(LogLevel::Error, format, args);
    va_end(args);
}

void LogWarning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    IDebugLog::Emit(LogLevel::Warning, format, args);
    va_end(args);
}

void LogMessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    IDebugLog::Emit(LogLevel::Message, format, args);
    va_end(args);
}

}  // namespace quillmere
