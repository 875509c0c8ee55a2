// Writes a file so that it appears whole or not at all: the bytes go to a
// temporary file beside it, which is flushed and then renamed over the name.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace zeseal::platform::posix {

// write receives an open stream and returns false to abandon the file.
// Returns true when the file is in place.
bool WriteFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write);

}  // namespace zeseal::platform::posix
