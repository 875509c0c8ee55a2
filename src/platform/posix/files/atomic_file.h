// Writes a file so that it appears whole or not at all: the bytes go to a
// temporary file beside it, which is flushed and then renamed over the name.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace zeseal::platform::posix {

// Why a write failed: the step ("create a temporary file beside", "write",
// "set the owner of", "set the permissions of", "flush" or "replace") and
// the system's error number then, 0 when there was none.
struct AtomicWriteFailure {
    const char* step = "";
    int error = 0;
};

// write receives an open stream and returns false to abandon the file.
// Returns true when the file is in place. A symbolic link is followed: the
// file it leads to is replaced (the temporary file sits beside that one) and
// the link stays. A regular file that is replaced keeps its permission bits
// and, where the process may set it, its owner; a new file gets the bits the
// umask leaves. Only a regular file is ever replaced: a directory fails with
// EISDIR, and a device, FIFO or socket with EINVAL, before anything is
// written. On failure the temporary file is gone and *failure (when given)
// says why.
bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write,
                         AtomicWriteFailure* failure = nullptr);

}  // namespace zeseal::platform::posix
