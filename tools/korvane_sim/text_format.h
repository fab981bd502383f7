// printf-style formatting into a std::string, for the commands' output.
#pragma once

#include <string>

#if defined(_WIN32)
// MinGW's own printf family (__USE_MINGW_ANSI_STDIO) takes the C99 formats.
#define KORVANE_PRINTF_FORMAT(f, a) __attribute__((format(gnu_printf, f, a)))
#else
#define KORVANE_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#endif

namespace korvane_tool {

std::string Format(const char* format, ...) KORVANE_PRINTF_FORMAT(1, 2);

}  // namespace korvane_tool
