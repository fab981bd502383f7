// Failed-check reporting. Both reporters write a fatal log line and stop the
// process; code after a check relies on them never returning.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillmere {

[[noreturn]] void ReportAssertion(const char* file, int32_t line, const char* expression);
[[noreturn]] void ReportAssertionWithCode(const char* file, int32_t line, const char* expression,
                                          uint64_t code);

// Write the same fatal line as the reporters and return, for a failed check
// that the caller can survive.
void LogAssertion(const char* file, int32_t line, const char* expression);
void LogAssertionWithCode(const char* file, int32_t line, const char* expression, uint64_t code);

// The texts the reporters write, exposed so they can be checked without
// stopping a process. "Assertion failed in <file> (<line>): <expression>",
// followed for a code by " (code = 0000002A (42))" when its upper 32 bits are
// zero, else by the whole 64-bit code, blank-padded to 16 hex digits, and its
// signed decimal value. Truncated to `size`.
void FormatAssertion(char* buffer, std::size_t size, const char* file, int32_t line,
                     const char* expression);
void FormatAssertionWithCode(char* buffer, std::size_t size, const char* file, int32_t line,
                             const char* expression, uint64_t code);

}  // namespace quillmere
