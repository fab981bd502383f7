#include "result_output.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#define KORVANE_DUP _dup
#define KORVANE_DUP2 _dup2
#define KORVANE_FDOPEN _fdopen
#else
#include <unistd.h>
#define KORVANE_DUP dup
#define KORVANE_DUP2 dup2
#define KORVANE_FDOPEN fdopen
#endif

namespace korvane_tool {

namespace {

std::FILE* results = nullptr;

std::FILE* Results() {
    return results ? results : stdout;
}

}  // namespace

void SeparatePluginOutput() {
    if (results) return;
    std::fflush(stdout);
    const int saved = KORVANE_DUP(1);
    if (saved < 0) return;
    std::FILE* stream = KORVANE_FDOPEN(saved, "w");
    if (!stream) return;
    // Unbuffered: nothing is lost if the plug-in brings the process down.
    // Large results are written in one piece by Print anyway.
    std::setvbuf(stream, nullptr, _IONBF, 0);
    if (KORVANE_DUP2(2, 1) < 0) {
        std::fclose(stream);
        return;
    }
    results = stream;
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), Results());
    std::fflush(Results());
}

}  // namespace korvane_tool
