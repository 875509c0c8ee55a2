// A driver name's standing in the supported-model file.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/name_cut.h"

namespace zeseal::printers {

inline constexpr std::int32_t kModelClass0 = 60002;
inline constexpr std::int32_t kModelClass1 = 60003;

// Normalises the driver name (upper case, blanks removed) and looks it up:
// 60002 registered with support class 0, 60003 with class 1, 0 with any other
// class, 60000 not registered, 60001 the file cannot be opened or is invalid.
std::int32_t LookupModelCode(std::string_view driver) noexcept;

// The driver name as the model lookups take it: cut as a name buffer cuts
// it (base::CutLongName), then normalised.
void NormalizedModelName(std::string_view driver, char (&out)[base::kNameBufferSize]) noexcept;

}  // namespace zeseal::printers
