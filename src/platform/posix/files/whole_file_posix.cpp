// Whole-file reads on POSIX: open, fstat, read until the stated size.
#include "seams/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "frame/trace_log.h"
#include "platform/posix/files/regular_file.h"

namespace zeseal::platform {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) noexcept : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const noexcept { return fd_; }

private:
    int fd_;
};

// Opens path when it is a regular file; says why a special file is refused.
int OpenInstalledFile(const char* path) noexcept {
    bool notRegular = false;
    const int fd = posix::OpenRegularFileForReading(path, &notRegular);
    if (notRegular) frame::TraceLog("file '%s' is not a regular file: not read\n", path);
    return fd;
}

}  // namespace

bool ReadWholeFile(const char* path, std::uint64_t maxBytes, frame::HeapBlock& contents) noexcept {
    contents.reset();
    if (path == nullptr || *path == '\0') return false;
    const Descriptor file(OpenInstalledFile(path));
    if (file.get() < 0) return false;
    struct stat info = {};
    if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
        static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        return false;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    frame::HeapBlock block(size);
    if (!block) return false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = read(file.get(), block.data() + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    contents = std::move(block);
    return true;
}

std::FILE* OpenRegularFile(const char* path) noexcept {
    const int fd = OpenInstalledFile(path);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) close(fd);
    return file;
}

}  // namespace zeseal::platform
