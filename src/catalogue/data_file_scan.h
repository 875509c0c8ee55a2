// The scans behind the two lookups, over a file the caller has opened for
// reading. Kept apart from the opening so that tests and fuzz targets can
// hand in any stream.
#pragma once

#include <cstdint>
#include <cstdio>

namespace zeseal::catalogue {

// LookupSupportedModel after the file is open: the same results and the same
// effect on CurrentModelRecord.
std::int32_t ScanModelFile(std::FILE* file, const char* name) noexcept;

// LookupCourtPrinter after the file is open.
std::int32_t ScanCourtList(std::FILE* file, const char* name) noexcept;

// Reads exactly size bytes; false at the end of the file or on an error.
inline bool ReadExactly(std::FILE* file, void* buffer, std::size_t size) noexcept {
    return std::fread(buffer, 1, size, file) == size;
}

}  // namespace zeseal::catalogue
