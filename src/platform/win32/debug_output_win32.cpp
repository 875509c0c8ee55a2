// The debugger output on Windows.
#include <windows.h>

#include "platform/debug_output.h"

namespace zeseal::platform {

void WriteDebuggerOutput(const char* line) noexcept {
    if (line != nullptr) OutputDebugStringA(line);
}

}  // namespace zeseal::platform
