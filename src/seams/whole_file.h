// Reads an installed file whole, for the data files and logo files of the
// system directory.
#pragma once

#include <cstdint>

#include "frame/frame_heap.h"

namespace zeseal::platform {

// Reads the whole of the regular file at path into contents, a heap block
// that a fault frame can release. Returns false, with contents empty, when
// the file cannot be opened, is not a regular file, holds more than maxBytes
// bytes, memory runs out, or fewer bytes than its size could be read.
bool ReadWholeFile(const char* path, std::uint64_t maxBytes, frame::HeapBlock& contents) noexcept;

}  // namespace zeseal::platform
