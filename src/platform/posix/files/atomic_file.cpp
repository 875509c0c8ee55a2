#include "platform/posix/files/atomic_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace zeseal::platform::posix {

bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write) {
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".tmp-XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);  // with the NUL
    const int fd = mkstemp(name.data());
    if (fd < 0) return false;
    // mkstemp creates 0600; a printed page is an ordinary file.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);

    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        close(fd);
        unlink(name.data());
        return false;
    }
    bool ok = write(file);
    ok = std::fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (ok && std::rename(name.data(), path.c_str()) == 0) return true;
    unlink(name.data());
    return false;
}

}  // namespace zeseal::platform::posix
