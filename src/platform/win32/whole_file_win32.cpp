// Whole-file reads on Windows: an existing file opened for reading with read
// sharing and the sequential-scan hint, its size, one read loop.
#include <windows.h>

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

}  // namespace

bool ReadWholeFile(const char* path, std::uint64_t maxBytes, frame::HeapBlock& contents) noexcept {
    contents.reset();
    if (path == nullptr || *path == '\0') return false;
    const FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
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

}  // namespace zeseal::platform
