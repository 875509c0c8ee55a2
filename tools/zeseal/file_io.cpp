#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <istream>
#include <ostream>
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

std::istream* standardInput = nullptr;
std::ostream* standardOutput = nullptr;

std::vector<std::uint8_t> ReadStandardInput(std::uint64_t maxBytes) {
    if (standardInput == nullptr) throw ToolError("no standard input to read");
    std::vector<std::uint8_t> bytes;
    char block[1 << 16];
    while (*standardInput) {
        standardInput->read(block, sizeof block);
        const auto got = static_cast<std::size_t>(standardInput->gcount());
        if (bytes.size() + got > maxBytes) {
            throw ToolError("the standard input holds more than the " + std::to_string(maxBytes >> 20) +
                            " MiB this tool reads");
        }
        bytes.insert(bytes.end(), block, block + got);
    }
    if (standardInput->bad()) throw ToolError("cannot read the standard input");
    return bytes;
}

void WriteStandardOutput(std::span<const std::uint8_t> bytes) {
    if (standardOutput == nullptr) throw ToolError("no standard output to write");
    standardOutput->write(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<std::streamsize>(bytes.size()));
    standardOutput->flush();
    if (!*standardOutput) throw ToolError("cannot write to the standard output");
}

// Writes straight into a device or FIFO that path names (after links): it
// is never replaced by a regular file, and never created or truncated. A
// FIFO that no process reads from is an error, not a wait.
void WriteThrough(const std::string& path, std::span<const std::uint8_t> bytes) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENXIO) throw ToolError("no process is reading from '" + path + "'");
        throw ToolError("cannot open '" + path + "': " + SystemMessage(errno));
    }
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw ToolError("cannot write '" + path + "': " + SystemMessage(errno));
        if (n == 0) throw ToolError("cannot write '" + path + "': no room");
        done += static_cast<std::size_t>(n);
    }
}

bool IsDeviceOrFifo(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 &&
           (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) || S_ISFIFO(info.st_mode));
}

}  // namespace

void UseStandardStreams(std::istream* in, std::ostream* out) {
    standardInput = in;
    standardOutput = out;
}

void CheckOutputPath(const std::string& path) {
    if (path.empty()) throw ToolError("no output file name given");
    if (path == kStandardStream) return;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) throw ToolError("'" + path + "' is a directory, not a file");
        return;
    }
    EnsureParentDirectory(path);
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::uint64_t maxBytes) {
    if (path == kStandardStream) return ReadStandardInput(maxBytes);
    // O_NONBLOCK: a FIFO or device is turned away below, not waited on.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
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
    if (path == kStandardStream) return WriteStandardOutput(bytes);
    if (IsDeviceOrFifo(path)) return WriteThrough(path, bytes);
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
