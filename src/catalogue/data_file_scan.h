// What the scans of the two data files (ScanModelFile, ScanCourtList) share:
// reading a file they are handed, piece by piece.
#pragma once

#include <cstddef>
#include <cstdio>

namespace zeseal::catalogue {

// Reads exactly size bytes; false at the end of the file or on an error.
inline bool ReadExactly(std::FILE* file, void* buffer, std::size_t size) noexcept {
    return std::fread(buffer, 1, size, file) == size;
}

}  // namespace zeseal::catalogue
