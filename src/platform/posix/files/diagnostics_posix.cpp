// The diagnostic stream of the POSIX build, chosen by ZESEAL_DIAGNOSTICS.
#include "frame/diagnostics.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace zeseal::frame {
namespace {

const char* Destination() noexcept {
    const char* value = std::getenv("ZESEAL_DIAGNOSTICS");
    if (value == nullptr || *value == '\0' || std::strcmp(value, "0") == 0) return nullptr;
    return value;
}

std::mutex writeMutex;  // keeps lines from two threads whole

}  // namespace

bool DiagnosticsEnabled() noexcept { return Destination() != nullptr; }

void DiagnosticText(std::string_view text) noexcept {
    const char* destination = Destination();
    if (destination == nullptr || text.empty()) return;
    std::lock_guard lock(writeMutex);
    const bool toStderr = std::strcmp(destination, "stderr") == 0 || std::strcmp(destination, "1") == 0;
    std::FILE* out = toStderr ? stderr : std::fopen(destination, "a");
    if (out == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), out);
    if (toStderr) std::fflush(out);
    else std::fclose(out);
}

std::uint32_t LastSystemError() noexcept { return static_cast<std::uint32_t>(errno); }

}  // namespace zeseal::frame
