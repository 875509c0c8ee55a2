// The diagnostic stream of the Windows build: the debugger output.
#include <windows.h>

#include <string>

#include "frame/diagnostics.h"

namespace zeseal::frame {

bool DiagnosticsEnabled() noexcept { return true; }

void DiagnosticText(std::string_view text) noexcept {
    try {
        const std::string line(text);
        OutputDebugStringA(line.c_str());
    } catch (...) {
    }
}

std::uint32_t LastSystemError() noexcept { return GetLastError(); }

}  // namespace zeseal::frame
