// Whole-file reads on Windows: an existing file opened for reading with read
// sharing and the sequential-scan hint, its size, one read loop.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>

#include "seams/whole_file.h"

namespace zeseal::platform {
namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE h) noexcept : h_(h) {}
    ~FileHandle() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const noexcept { return h_; }

private:
    HANDLE h_;
};

// Opens path for reading when it is a file on disk; a pipe or a device is
// refused before anything reads from it.
HANDLE OpenDiskFile(const char* path) noexcept {
    if (path == nullptr || *path == '\0') return INVALID_HANDLE_VALUE;
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        return INVALID_HANDLE_VALUE;
    }
    return h;
}

}  // namespace

bool ReadWholeFile(const char* path, std::uint64_t maxBytes, frame::HeapBlock& contents) noexcept {
    contents.reset();
    if (path == nullptr || *path == '\0') return false;
    const FileHandle file(OpenDiskFile(path));
    if (file.get() == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    const DWORD low = GetFileSize(file.get(), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
    const std::uint64_t size = (std::uint64_t{high} << 32) | low;
    if (high != 0 || size > maxBytes) return false;
    frame::HeapBlock block(static_cast<std::size_t>(size));
    if (!block) return false;
    DWORD done = 0;
    while (done < low) {
        DWORD n = 0;
        if (!ReadFile(file.get(), block.data() + done, low - done, &n, nullptr) || n == 0) {
            return false;
        }
        done += n;
    }
    contents = std::move(block);
    return true;
}

std::FILE* OpenRegularFile(const char* path) noexcept {
    HANDLE h = OpenDiskFile(path);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "rb");
    if (file == nullptr) _close(fd);  // closes the handle too
    return file;
}

}  // namespace zeseal::platform
