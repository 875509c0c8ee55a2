// The system directory of the Windows build: GetSystemDirectoryA.
#include <windows.h>

#include "seams/system_directory.h"

namespace zeseal::platform {

std::string SystemDirectory() {
    char buffer[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(buffer, length);
}

std::string SystemFilePath(std::string_view fileName) {
    std::string dir = SystemDirectory();
    if (dir.empty()) return {};
    dir += '\\';
    dir += fileName;
    return dir;
}

}  // namespace zeseal::platform
