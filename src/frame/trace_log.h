// The library's trace hook: progress and fault lines of the printer code.
// They go to the diagnostic stream and never change a result.
#pragma once

namespace zeseal::frame {

// Formats one printf-style line (at most 1023 bytes; longer lines are cut)
// and sends it to the diagnostic stream. Does nothing when the stream is off.
void TraceLog(const char* format, ...) noexcept
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace zeseal::frame
