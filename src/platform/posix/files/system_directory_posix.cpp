// The system directory of the POSIX build: the one the host chose with
// iZeHostSetSystemDirectory, else ZESEAL_SYSTEM_DIR from the environment,
// else the directory fixed when the library was built.
#include "seams/system_directory.h"

#include "platform/posix/files/system_directory_posix.h"

#include <sys/stat.h>

#include <cstdlib>
#include <mutex>

#include "frame/frame_lock.h"

#ifndef ZESEAL_DEFAULT_SYSTEM_DIR
#define ZESEAL_DEFAULT_SYSTEM_DIR "/usr/local/share/zeseal/system"
#endif

namespace zeseal::platform {
namespace {

std::mutex chosenMutex;
std::string& Chosen() {
    static std::string chosen;
    return chosen;
}

std::string WithoutTrailingSlashes(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

}  // namespace

namespace posix {

int ChooseSystemDirectory(const char* dir) {
    std::string chosen;
    if (dir != nullptr && *dir != '\0') {
        struct stat info = {};
        if (stat(dir, &info) != 0 || !S_ISDIR(info.st_mode)) return -1;
        chosen = WithoutTrailingSlashes(dir);
    }
    frame::FrameLock lock(chosenMutex);
    Chosen() = std::move(chosen);
    return 0;
}

}  // namespace posix

std::string SystemDirectory() {
    {
        frame::FrameLock lock(chosenMutex);
        if (!Chosen().empty()) return Chosen();
    }
    if (const char* env = std::getenv("ZESEAL_SYSTEM_DIR"); env != nullptr && *env != '\0') {
        return WithoutTrailingSlashes(env);
    }
    return WithoutTrailingSlashes(ZESEAL_DEFAULT_SYSTEM_DIR);
}

std::string SystemFilePath(std::string_view fileName) {
    std::string dir = SystemDirectory();
    if (dir.empty()) return {};
    if (dir.back() != '/') dir += '/';
    dir += fileName;
    return dir;
}

}  // namespace zeseal::platform
