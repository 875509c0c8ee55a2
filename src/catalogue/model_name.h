// Comparing printer model names the way the data-file lookups do.
#pragma once

#include <cstddef>

namespace zeseal::catalogue {

// Upper-cases the ASCII letters and removes every space, in place.
void NormalizeModelName(char* name) noexcept;

// True when name equals the name stored in a fixed field of fieldSize bytes,
// ignoring the case of the ASCII letters. The stored name ends at its first
// NUL or at the end of the field; every other byte must be equal.
bool SameNameIgnoringCase(const char* name, const char* field, std::size_t fieldSize) noexcept;

}  // namespace zeseal::catalogue
