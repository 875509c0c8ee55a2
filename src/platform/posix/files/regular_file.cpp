#include "platform/posix/files/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace zeseal::platform::posix {

int OpenRegularFileForReading(const char* path, bool* notRegular) noexcept {
    if (notRegular != nullptr) *notRegular = false;
    if (path == nullptr || *path == '\0') {
        errno = ENOENT;
        return -1;
    }
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; the
    // fstat then turns it away before anything reads from it.
    int fd;
    do {
        fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        if (notRegular != nullptr) *notRegular = true;
        errno = EINVAL;
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

}  // namespace zeseal::platform::posix
