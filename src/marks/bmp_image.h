// The parts of a BMP file image that drawing reads, located and checked
// against the bytes the image may occupy.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zeseal::marks {

// Where the info header, the colour table and the pixel rows of a BMP image
// lie, once checked.
struct BmpPicture {
    const std::uint8_t* info = nullptr;  // the info header, followed by its colour table
    const std::uint8_t* bits = nullptr;  // the pixel rows
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The pixel offset of an image handed over whole, fixed by the bit count at
// file offset 28 (the 40-byte header's place for it): 54 for 24 bits, 1078
// for 8 bits, 62 for any other. The file header's own offset is not used.
// image must hold at least 30 bytes.
std::size_t FixedPixelOffset(const std::uint8_t* image) noexcept;

// The file-size field of a BMP file header (32 bits at offset 2). image must
// hold at least 6 bytes.
std::uint32_t StatedFileSize(const std::uint8_t* image) noexcept;

// Locates the picture of a BMP image of imageLength bytes whose pixel rows
// start at pixelOffset. Accepts the 12-byte core header (16-bit extent and
// bit count, 3-byte colour entries) and headers of 40 bytes or more
// (uncompressed only). Refuses, returning false, any image whose info
// header, colour table or pixel rows would reach past imageLength, whose
// extent is below 1, or whose bit count is not 1, 4, 8 or 24.
bool LocateBmpPicture(const std::uint8_t* image, std::size_t imageLength, std::size_t pixelOffset,
                      BmpPicture& picture) noexcept;

}  // namespace zeseal::marks
