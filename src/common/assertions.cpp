#include "common/assertions.h"

#include <cstdio>
#include <cstdlib>

#include "common/debug_log.h"

namespace quillmere {
namespace {

constexpr std::size_t kTextSize = 1024;

[[noreturn]] void Stop() {
    // Standard output may be fully buffered (redirected under Windows): the
    // report must not die in the buffer with the process.
    std::fflush(stdout);
    std::abort();
}

}  // namespace

void FormatAssertion(char* buffer, std::size_t size, const char* file, int32_t line,
                     const char* expression) {
    std::snprintf(buffer, size, "Assertion failed in %s (%d): %s", file, line, expression);
}

void FormatAssertionWithCode(char* buffer, std::size_t size, const char* file, int32_t line,
                             const char* expression, uint64_t code) {
    if ((code >> 32) == 0) {
        const auto low = static_cast<uint32_t>(code);
        std::snprintf(buffer, size, "Assertion failed in %s (%d): %s (code = %08X (%d))", file,
                      line, expression, low, static_cast<int32_t>(low));
    } else {
        std::snprintf(buffer, size, "Assertion failed in %s (%d): %s (code = %16llX (%lld))", file,
                      line, expression, static_cast<unsigned long long>(code),
                      static_cast<long long>(code));
    }
}

void LogAssertion(const char* file, int32_t line, const char* expression) {
    char text[kTextSize];
    FormatAssertion(text, sizeof text, file, line, expression);
    LogFatal("%s", text);
}

void LogAssertionWithCode(const char* file, int32_t line, const char* expression, uint64_t code) {
    char text[kTextSize];
    FormatAssertionWithCode(text, sizeof text, file, line, expression, code);
    LogFatal("%s", text);
}

void ReportAssertion(const char* file, int32_t line, const char* expression) {
    LogAssertion(file, line, expression);
    Stop();
}

void ReportAssertionWithCode(const char* file, int32_t line, const char* expression,
                             uint64_t code) {
    LogAssertionWithCode(file, line, expression, code);
    Stop();
}

}  // namespace quillmere
