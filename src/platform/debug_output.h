// The debugger output: one diagnostic line at a time, for whoever watches.
#pragma once

namespace zeseal::platform {

// Sends a NUL-terminated line to the debugger output. On Windows that is
// OutputDebugStringA. On POSIX the line goes to the standard error stream
// when the environment variable ZESEAL_DEBUG_OUTPUT is set to anything but
// "" or "0", and nowhere otherwise.
void WriteDebuggerOutput(const char* line) noexcept;

}  // namespace zeseal::platform
