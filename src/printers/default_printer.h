// The name of the printer the platform treats as default.
#pragma once

#include <cstddef>

namespace zeseal::printers {

// Fills out (at least 255 bytes; outSize counts them) with the default
// printer's name: the profile value cut at the first ',' that follows a
// non-comma character, so "Laser 1,winspool,Ne00:" gives "Laser 1" and the
// unset value ",,," stays ",,," (which no printer is called). Returns 1 when
// filled, 0 when the profile gave no characters (out is untouched).
int ReadDefaultPrinterName(char* out, std::size_t outSize) noexcept;

}  // namespace zeseal::printers
