// What the POSIX system directory adds to the seam of seams/system_directory.h:
// the host's own choice of directory (iZeHostSetSystemDirectory).
#pragma once

namespace zeseal::platform::posix {

// Makes dir the system directory; NULL or "" returns to the environment's
// or the built-in choice. Returns 0, or -1 when dir is not a directory.
int ChooseSystemDirectory(const char* dir);

}  // namespace zeseal::platform::posix
