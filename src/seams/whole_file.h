// Reads an installed file whole, for the data files and logo files of the
// system directory.
#pragma once

#include <cstdint>
#include <cstdio>

#include "frame/frame_heap.h"

namespace zeseal::platform {

// Reads the whole of the regular file at path into contents, a heap block
// that a fault frame can release. Returns false, with contents empty, when
// the file cannot be opened, is not a regular file (a FIFO or a device is
// refused without waiting on it), holds more than maxBytes
// bytes, memory runs out, or fewer bytes than its size could be read.
bool ReadWholeFile(const char* path, std::uint64_t maxBytes, frame::HeapBlock& contents) noexcept;

// Opens the regular file at path for binary reading, for the data files that
// are read record by record. Returns nullptr when it cannot be opened or is
// not a regular file; a FIFO or a device is refused without waiting on it.
std::FILE* OpenRegularFile(const char* path) noexcept;

}  // namespace zeseal::platform
