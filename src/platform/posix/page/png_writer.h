// Saves an RGB raster as a PNG file, atomically.
#pragma once

#include <cstdint>
#include <string>

namespace zeseal::platform::posix {

// How hard a PNG is compressed.
enum class PngCompression {
    kSmall,  // zlib level 6, a filter chosen per row: files kept and looked at
    kFast,   // zlib level 1, no row filter: printed pages, which are large
             // and mostly white, so speed matters more than a few percent
};

// rgb holds height top-down rows of 3 x width bytes. The resolution is stored
// in the file's pHYs chunk. Returns true when the file is in place.
bool SaveRgbPng(const std::string& path, std::int32_t width, std::int32_t height,
                const std::uint8_t* rgb, std::int32_t dpiX, std::int32_t dpiY,
                PngCompression compression = PngCompression::kSmall);

}  // namespace zeseal::platform::posix
