// Writes indexed-colour BMP files (1 or 8 bits per pixel): the court-logo
// files the installation ships, and pictures for tests and fuzz seeds.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace zeseal::authoring {

using Rgb = std::array<std::uint8_t, 3>;  // red, green, blue

struct IndexedPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bitsPerPixel = 8;       // 1 or 8
    std::vector<Rgb> palette;            // at most 2 or 256 entries; the rest are black
    std::vector<std::uint8_t> indices;   // width x height, top row first
    std::int32_t dotsPerInch = 72;
};

// The BMP file: 14-byte file header, 40-byte info header, a full colour
// table (2 or 256 entries, so an 8-bit file's rows start at offset 1078 and
// a 1-bit file's at 62), then the rows bottom-up, each padded to 4 bytes.
// Throws std::invalid_argument for a size below 1, a depth other than 1 or
// 8, a palette too large for the depth, or an index outside the palette.
std::vector<std::uint8_t> EncodeIndexedBmp(const IndexedPicture& picture);

}  // namespace zeseal::authoring
