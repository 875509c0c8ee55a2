// The diagnostic stream of the POSIX build, chosen by ZESEAL_DIAGNOSTICS.
#include "frame/diagnostics.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "frame/frame_lock.h"

namespace zeseal::frame {
namespace {

const char* Destination() noexcept {
    const char* value = std::getenv("ZESEAL_DIAGNOSTICS");
    if (value == nullptr || *value == '\0' || std::strcmp(value, "0") == 0) return nullptr;
    return value;
}

std::mutex writeMutex;  // keeps lines from two threads whole

void WriteLine(const char* destination, std::string_view text) noexcept {
    const bool toStderr = std::strcmp(destination, "stderr") == 0 || std::strcmp(destination, "1") == 0;
    if (toStderr) {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
        return;
    }
    // O_NONBLOCK: a FIFO named as the destination with no reader drops the
    // line (ENXIO) rather than holding the host's thread.
    const int saved = errno;
    const int fd = ::open(destination, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd >= 0) {
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ::close(fd);
    }
    errno = saved;
}

}  // namespace

bool DiagnosticsEnabled() noexcept { return Destination() != nullptr; }

void DiagnosticText(std::string_view text) noexcept {
    const char* destination = Destination();
    if (destination == nullptr || text.empty()) return;
    try {
        FrameLock lock(writeMutex);
        WriteLine(destination, text);
    } catch (...) {
        // The mutex could not be taken: the line is dropped.
    }
}

std::uint32_t LastSystemError() noexcept { return static_cast<std::uint32_t>(errno); }

}  // namespace zeseal::frame
