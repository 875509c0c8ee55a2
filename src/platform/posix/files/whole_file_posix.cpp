// Whole-file reads on POSIX: open, fstat, read until the stated size.
#include "seams/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

}  // namespace

bool ReadWholeFile(const char* path, std::uint64_t maxBytes, frame::HeapBlock& contents) noexcept {
    contents.reset();
    if (path == nullptr || *path == '\0') return false;
    const Descriptor file(open(path, O_RDONLY | O_CLOEXEC));
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

}  // namespace zeseal::platform
