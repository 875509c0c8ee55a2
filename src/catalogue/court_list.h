// Looking printer model names up in the court printer list, the installed
// data file of the printers a court issues certificates on.
#pragma once

#include <cstdint>
#include <cstdio>

namespace zeseal::catalogue {

inline constexpr std::int32_t kCourtPrinterFound = 70000;
inline constexpr std::int32_t kCourtPrinterNotFound = 80000;
inline constexpr std::int32_t kCourtListMissing = 60004;

// Looks a normalised name up in the court printer list.
std::int32_t LookupCourtPrinter(const char* name) noexcept;

// LookupCourtPrinter after the file is open, over any stream the caller has
// opened for reading (tests and fuzz targets hand in their own).
std::int32_t ScanCourtList(std::FILE* file, const char* name) noexcept;

}  // namespace zeseal::catalogue
