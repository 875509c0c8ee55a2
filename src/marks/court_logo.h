// The court logo: BMP pictures ANDed onto the page at 72 dots per inch, from
// a caller's image or from the logo file installed for a printer model class.
#pragma once

#include <cstddef>
#include <cstdint>

#include "seams/page_device.h"

namespace zeseal::marks {

inline constexpr std::int32_t kCourtLogoDpiBase = 72;  // one picture pixel per point

// "court_ink" for model class 1201, "court_laser" for any other.
const char* CourtLogoFileName(std::int32_t model) noexcept;

// The checks a logo file's bytes pass before they are drawn: at least 6 of
// them, "BM" first, and a file-size field equal to size.
bool IsWholeBmpFile(const std::uint8_t* file, std::size_t size) noexcept;

// Draws a BMP file from its stored pixel offset, ANDed onto the page at
// (x, y) in 1/dpiBase inch. Returns false when the file cannot be read, its
// headers are not those of a drawable picture, or the drawing fails. Passes on
// what the device throws when setting its background mode.
bool DrawBmpFile(platform::PageDevice& page, const char* path, std::int32_t x, std::int32_t y,
                 std::int32_t dpiBase);

// The drawing step of DrawBmpFile, for a file of size bytes read whole.
bool DrawBmpFileImage(platform::PageDevice& page, const std::uint8_t* file, std::size_t size,
                      std::int32_t x, std::int32_t y, std::int32_t dpiBase);

}  // namespace zeseal::marks
