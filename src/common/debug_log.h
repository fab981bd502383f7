// The process-wide debug log: one text file below the documents folder that
// receives every diagnostic line of the plug-in, each line echoed to standard
// output. Safe to call from any thread, before or after the log is opened.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

#if defined(_WIN32)
#define QUILLMERE_PRINTF(fmt, args) __attribute__((format(ms_printf, fmt, args)))
#else
#define QUILLMERE_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#endif

namespace quillmere {

enum class LogLevel : int32_t {
    Fatal = 0,
    Error = 1,
    Warning = 2,
    Message = 3,
    Verbose = 4,  // admitted to the file, emitted by nothing
    Debug = 5,    // admitted to the file, emitted by nothing
};

class IDebugLog {
public:
    // Opens the log at `relativePath` (which begins with a backslash) below
    // the shell folder `folderId` (5: the user's documents folder).
    static void OpenInShellFolder(int folderId, const char* relativePath);
    // Opens the log at a full path, falling back to path0 .. path4 when an
    // earlier name is held open for writing by someone else.
    static void OpenAt(const char* path);
    static void WriteLine(const char* text, const char* source, bool newline);
    // Formats and emits one message (Microsoft printf conventions, I64 included).
    static void Emit(LogLevel level, const char* format, va_list args);

    // For the host's report and the tests: whether a file is open, and which.
    static bool IsOpen();
    static std::string OpenedPath();
    // Closes the file (the process-exit path, also used by tests).
    static void Close();
};

void LogFatal(const char* format, ...) QUILLMERE_PRINTF(1, 2);
void LogError(const char* format, ...) QUILLMERE_PRINTF(1, 2);
void LogWarning(const char* format, ...) QUILLMERE_PRINTF(1, 2);
void LogMessage(const char* format, ...) QUILLMERE_PRINTF(1, 2);

}  // namespace quillmere
