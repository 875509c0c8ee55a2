#include "platform/posix/files/atomic_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace zeseal::platform::posix {
namespace {

// The permission bits of the file written: those of the regular file it
// replaces, else what the umask leaves of 0666 (mkstemp creates 0600).
mode_t ModeFor(const std::string& path) {
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        return existing.st_mode & 0777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool Fail(AtomicWriteFailure* failure, const char* step, int error) {
    if (failure != nullptr) *failure = {step, error};
    return false;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write,
                         AtomicWriteFailure* failure) {
    if (path.empty()) return Fail(failure, "create a temporary file beside", ENOENT);
    // A directory cannot be replaced: say so before a temporary file is made.
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        return Fail(failure, "replace", EISDIR);
    }
    const mode_t mode = ModeFor(path);

    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".tmp-XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);  // with the NUL
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return Fail(failure, "create a temporary file beside", errno);
    const auto abandon = [&](const char* step, int error) {
        ::unlink(name.data());
        return Fail(failure, step, error);
    };
    if (::fchmod(fd, mode) != 0) {
        const int error = errno;
        ::close(fd);
        return abandon("set the permissions of", error);
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        ::close(fd);
        return abandon("write", error);
    }

    errno = 0;
    const char* failedStep = nullptr;
    int error = 0;
    if (!write(file) || std::fflush(file) != 0) {
        failedStep = "write";
        error = errno;
    } else if (::fsync(::fileno(file)) != 0) {
        failedStep = "flush";
        error = errno;
    }
    if (std::fclose(file) != 0 && failedStep == nullptr) {
        failedStep = "write";
        error = errno;
    }
    if (failedStep != nullptr) return abandon(failedStep, error);
    if (std::rename(name.data(), path.c_str()) != 0) return abandon("replace", errno);
    return true;
}

}  // namespace zeseal::platform::posix
