// The debugger output on POSIX: the standard error stream, on request only,
// so a host's terminal and logs stay quiet by default.
#include "platform/debug_output.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace zeseal::platform {

void WriteDebuggerOutput(const char* line) noexcept {
    if (line == nullptr) return;
    const char* wanted = std::getenv("ZESEAL_DEBUG_OUTPUT");
    if (wanted == nullptr || *wanted == '\0' || std::strcmp(wanted, "0") == 0) return;
    std::size_t left = std::strlen(line);
    while (left > 0) {
        const ssize_t n = write(STDERR_FILENO, line, left);
        if (n <= 0) return;
        line += n;
        left -= static_cast<std::size_t>(n);
    }
}

}  // namespace zeseal::platform
