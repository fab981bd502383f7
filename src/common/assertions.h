// Failed-check reporting. Both reporters write a fatal log line and stop the
// process; code after a check relies on them never returning.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillmere {

[[noreturn]] void ReportAssertion(const char* file, int32_t line, const char* expression);
[[noreturn]] void ReportAssertionWithCode(const char* file, int32_t line, const char* expression,
                                          uint64_t code);

// The texts the reporters write, exposed so they can be checked without
// stopping a process.
void FormatAssertion(char* buffer, std::size_t size, const char* file, int32_t line,
                     const char* expression);
void FormatAssertionWithCode(char* buffer, std::size_t size, const char* file, int32_t line,
                             const char* expression, uint64_t code);

}  // namespace quillmere
