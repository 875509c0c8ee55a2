// The library's diagnostic stream: trace lines, the job listing's lines and
// the debugger output. It never changes a result; on POSIX it is silent
// unless the environment asks for it.
#pragma once

#include <cstdint>
#include <string_view>

namespace zeseal::frame {

// True when lines sent to the stream go anywhere.
bool DiagnosticsEnabled() noexcept;

// Sends text (usually one line ending in "\n") to the stream. On Windows it
// goes to the debugger output. On POSIX, with ZESEAL_DIAGNOSTICS set to
// "stderr" or "1" it goes to the standard error stream, with any other
// value other than "" and "0" it is appended to the file of that name, and
// otherwise nowhere.
void DiagnosticText(std::string_view text) noexcept;

// The calling thread's last system error, for trace lines: GetLastError on
// Windows, errno on POSIX.
std::uint32_t LastSystemError() noexcept;

}  // namespace zeseal::frame
