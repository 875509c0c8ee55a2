#include "platform/posix/files/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace zeseal::platform::posix {
namespace {

bool Fail(AtomicWriteFailure* failure, const char* step, int error) {
    if (failure != nullptr) *failure = {step, error};
    return false;
}

// The folder part of path, with its slash ("" for a bare name).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Follows symbolic links from path to the name that is not one (which may
// not exist yet: a dangling link names the file to create). Returns false
// with errno set when a link cannot be read or there are too many.
bool FollowLinks(const std::string& path, std::string& target) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0) return errno == ENOENT;
        if (!S_ISLNK(info.st_mode)) return true;
        std::vector<char> link(PATH_MAX + 1);
        const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
        if (length < 0) return false;
        if (static_cast<std::size_t>(length) >= link.size()) {
            errno = ENAMETOOLONG;
            return false;
        }
        const std::string next(link.data(), static_cast<std::size_t>(length));
        target = !next.empty() && next[0] == '/' ? next : FolderOf(target) + next;
    }
    errno = ELOOP;
    return false;
}

// Flushes the folder's entry for a renamed file; a folder that cannot be
// opened or flushed leaves the file in place all the same.
void FlushFolder(const std::string& path) {
    const std::string folder = FolderOf(path);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write,
                         AtomicWriteFailure* failure) {
    if (path.empty()) return Fail(failure, "create a temporary file beside", ENOENT);
    // A symbolic link stays a link: the file it leads to is the one replaced.
    std::string target;
    if (!FollowLinks(path, target)) return Fail(failure, "replace", errno);
    struct stat existing {};
    const bool exists = ::lstat(target.c_str(), &existing) == 0;
    // Only a regular file is replaced; a directory, device, FIFO or socket
    // is refused before a temporary file is made.
    if (exists && S_ISDIR(existing.st_mode)) return Fail(failure, "replace", EISDIR);
    if (exists && !S_ISREG(existing.st_mode)) return Fail(failure, "replace", EINVAL);
    mode_t mode = existing.st_mode & 0777;
    if (!exists) {
        // What the umask leaves of 0666 (mkstemp creates 0600).
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    std::vector<char> name(target.begin(), target.end());
    const char suffix[] = ".tmp-XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);  // with the NUL
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return Fail(failure, "create a temporary file beside", errno);
    const auto abandon = [&](const char* step, int error) {
        ::unlink(name.data());
        return Fail(failure, step, error);
    };
    // The old owner, where the process may give it (as root).
    if (exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) &&
        ::fchown(fd, existing.st_uid, existing.st_gid) != 0 && errno != EPERM) {
        const int error = errno;
        ::close(fd);
        return abandon("set the owner of", error);
    }
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
    // Never rename over something that became a link, FIFO or device meanwhile.
    struct stat now {};
    if (::lstat(target.c_str(), &now) == 0 && !S_ISREG(now.st_mode)) {
        return abandon("replace", S_ISDIR(now.st_mode) ? EISDIR : EINVAL);
    }
    if (std::rename(name.data(), target.c_str()) != 0) return abandon("replace", errno);
    FlushFolder(target);
    return true;
}

}  // namespace zeseal::platform::posix
