#include "frame/debug_output.h"

#include <cstdarg>
#include <cstdio>

#include "platform/diagnostics.h"

namespace zeseal::frame {

void DebugOutput(const char* format, ...) noexcept {
    char line[kDebugLineSize] = {};
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    platform::DiagnosticText(line);
}

}  // namespace zeseal::frame
