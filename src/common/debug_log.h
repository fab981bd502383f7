// The process-wide debug log: one text file below the documents folder that
// receives every diagnostic line of the plug-in, each line echoed to standard
// output. Safe to call from any thread, before or after the log is opened;
// one lock keeps the formatting, file write and echo of a message together.
// Nothing here throws or reports failure to the caller: without a file the
// lines still reach standard output.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

// Formats follow the Microsoft printf conventions (I64 and friends), which
// only GCC's ms_printf archetype checks; it exists for Windows targets, and
// the Windows build checks every call. glibc's archetype would reject I64.
#if defined(_WIN32)
#define QUILLMERE_PRINTF(fmt, args) __attribute__((format(ms_printf, fmt, args)))
#else
#define QUILLMERE_PRINTF(fmt, args)
#endif

namespace quillmere {

enum class LogLevel : int32_t {
    Fatal = 0,
    Error = 1,
    Warning = 2,
    Message = 3,  // the last level echoed to standard output
    Verbose = 4,  // admitted to the file, emitted by nothing
    Debug = 5,    // admitted to the file, emitted by nothing
};

// The log file's name below the documents folder.
inline constexpr const char* kLogRelativePath = "\\My Games\\Korvane\\Plexor\\quillmere.log";

class IDebugLog {
  public:
    // Opens the log at `relativePath` (which begins with a backslash) below
    // the shell folder `folderId` (5: the user's documents folder), creating
    // the folders on the way. When the folder cannot be found it writes the
    // failure as a fatal line and an assertion text and returns with the log
    // still closed: the plug-in runs on without a file.
    static void OpenInShellFolder(int folderId, const char* relativePath);
    // Opens the log at a full path (truncating it), falling back to path0 ..
    // path4 when a name cannot be opened, for example because another process
    // holds it open for writing. With all six refused the log stays closed.
    // A file already open is closed first and the line layout starts afresh.
    static void OpenAt(const char* path);
    // Writes an already formatted text with the line layout: indentation,
    // then the header built from the last source tag (or, in block mode,
    // padding past where the header would be), the text, and a newline.
    static void WriteLine(const char* text, const char* source, bool newline);
    // Formats and emits one message (Microsoft printf conventions, I64
    // included). Levels up to 5 reach the file, up to 3 standard output as
    // "%s\n". Messages longer than 8191 characters are truncated.
    static void Emit(LogLevel level, const char* format, va_list args);

    // Layout settings; one indent level is 4 columns.
    static void SetIndentLevel(int32_t level);
    static void SetInBlock(bool inBlock);

    // For the host's report and the tests: whether a file is open, and which.
    static bool IsOpen();
    static std::string OpenedPath();
    // Closes the file and returns the layout to its start-up state. Process
    // exit does the same by itself.
    static void Close();
};

void LogFatal(const char* format, ...) QUILLMERE_PRINTF(1, 2);
void LogError(const char* format, ...) QUILLMERE_PRINTF(1, 2);
void LogWarning(const char* format, ...) QUILLMERE_PRINTF(1, 2);
void LogMessage(const char* format, ...) QUILLMERE_PRINTF(1, 2);

}  // namespace quillmere
