#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/posix/files/atomic_file.h"
#include "tool_error.h"

namespace zeseal::tool {
namespace {

std::string SystemMessage(int error) { return std::generic_category().message(error); }

// Closes a descriptor when the scope ends.
class Descriptor {
public:
    explicit Descriptor(int fd) noexcept : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const noexcept { return fd_; }

private:
    int fd_;
};

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::uint64_t maxBytes) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) throw ToolError("cannot open '" + path + "': " + SystemMessage(errno));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        throw ToolError("cannot read '" + path + "': " + SystemMessage(errno));
    }
    if (S_ISDIR(info.st_mode)) throw ToolError("'" + path + "' is a directory, not a file");
    if (!S_ISREG(info.st_mode)) throw ToolError("'" + path + "' is not a regular file");
    const auto tooLarge = [&] {
        return ToolError("'" + path + "' is larger than the " + std::to_string(maxBytes >> 20) +
                         " MiB this tool reads");
    };
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes) throw tooLarge();

    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t block[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd.get(), block, sizeof block);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw ToolError("cannot read '" + path + "': " + SystemMessage(errno));
        }
        if (got == 0) break;
        if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) throw tooLarge();
        bytes.insert(bytes.end(), block, block + got);
    }
    return bytes;
}

void EnsureParentDirectory(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(parent, error);
    if (error) {
        throw ToolError("cannot create the directory '" + parent.string() + "': " + error.message());
    }
}

void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (path.empty()) throw ToolError("no output file name given");
    EnsureParentDirectory(path);
    platform::posix::AtomicWriteFailure failure;
    const bool written = platform::posix::WriteFileAtomically(
        path,
        [&](std::FILE* file) {
            return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        },
        &failure);
    if (!written) {
        throw ToolError("cannot " + std::string(failure.step) + " '" + path + "'" +
                        (failure.error != 0 ? ": " + SystemMessage(failure.error) : std::string()));
    }
}

void WriteFileAtomically(const std::string& path, std::string_view text) {
    WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()),
                                        text.size()));
}

}  // namespace zeseal::tool
