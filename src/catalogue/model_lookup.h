// Looking printer model names up in the installed data files: the
// supported-model file and the court printer list.
#pragma once

#include <cstdint>

namespace zeseal::catalogue {

inline constexpr std::int32_t kModelFound = 0;
inline constexpr std::int32_t kModelNotFound = 60000;
inline constexpr std::int32_t kModelFileBad = 60001;  // missing, unreadable or corrupt
inline constexpr std::int32_t kCourtPrinterFound = 70000;
inline constexpr std::int32_t kCourtPrinterNotFound = 80000;
inline constexpr std::int32_t kCourtListMissing = 60004;

// Upper-cases the ASCII letters and removes every space, in place.
void NormalizeModelName(char* name) noexcept;

// Looks a normalised name up in the supported-model file; on kModelFound the
// record is in CurrentModelRecord().
std::int32_t LookupSupportedModel(const char* name) noexcept;

// Looks a normalised name up in the court printer list.
std::int32_t LookupCourtPrinter(const char* name) noexcept;

}  // namespace zeseal::catalogue
