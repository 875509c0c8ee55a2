#include "frame/trace_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "frame/diagnostics.h"

namespace zeseal::frame {

void TraceLog(const char* format, ...) noexcept {
    if (format == nullptr || !DiagnosticsEnabled()) return;
    char line[1024];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    if (length < 0) return;
    DiagnosticText(std::string_view(line, std::strlen(line)));
}

}  // namespace zeseal::frame
