// DebugOutput: one printf-style diagnostic line for the debugger output.
#pragma once

namespace zeseal::frame {

inline constexpr int kDebugLineSize = 1024;

// Formats one line into a buffer of kDebugLineSize bytes (longer lines are
// cut) and sends it to the platform's debugger output.
void DebugOutput(const char* format, ...) noexcept
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace zeseal::frame
