// Opening a file for reading only when it is a regular file. The open itself
// never waits: a FIFO without a writer, or a device that blocks on open, is
// refused instead of holding the host's thread.
#pragma once

namespace zeseal::platform::posix {

// Opens path read-only (close-on-exec) and checks it is a regular file.
// Returns the descriptor, in blocking mode, or -1 with errno set: EINVAL
// for a FIFO, device, socket or directory (and *notRegular set to true
// when given), the open's or fstat's own error otherwise.
int OpenRegularFileForReading(const char* path, bool* notRegular = nullptr) noexcept;

}  // namespace zeseal::platform::posix
