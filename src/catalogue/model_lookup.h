// Looking printer model names up in the supported-model file.
#pragma once

#include <cstdint>
#include <cstdio>

namespace zeseal::catalogue {

inline constexpr std::int32_t kModelFound = 0;
inline constexpr std::int32_t kModelNotFound = 60000;
inline constexpr std::int32_t kModelFileBad = 60001;  // missing, unreadable or corrupt

// Looks a normalised name up in the supported-model file; on kModelFound the
// record is in CurrentModelRecord().
std::int32_t LookupSupportedModel(const char* name) noexcept;

// LookupSupportedModel after the file is open, over any stream the caller
// has opened for reading (tests and fuzz targets hand in their own): the
// same results and the same effect on CurrentModelRecord.
std::int32_t ScanModelFile(std::FILE* file, const char* name) noexcept;

}  // namespace zeseal::catalogue
