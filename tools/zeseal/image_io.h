// Pictures the tool reads and writes: 8-bit grey or 24-bit RGB, top row
// first, rows packed without padding.
//
// Readers accept PNG, binary PNM (PGM "P5", PPM "P6"), TIFF and JPEG, and reject anything
// malformed, truncated or larger than kMaxImageSide on a side or
// kMaxPictureBytes in all with a ToolError that names the file and the fault.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zeseal::tool {

struct Image {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t channels = 0;  // 1: grey; 3: red, green, blue
    std::int32_t dpi = 0;       // as the file states it, or 0 when it does not
    std::vector<std::uint8_t> pixels;

    std::size_t RowBytes() const { return std::size_t(width) * std::size_t(channels); }
};

// Decodes a PNG or PNM file image; name is used in error messages.
Image DecodeImage(std::span<const std::uint8_t> bytes, std::string_view name);

// Reads and decodes a picture file.
Image ReadImageFile(const std::string& path);

// Converts between grey and RGB. Grey from colour uses the luma weights
// 0.299, 0.587, 0.114; a picture already in the wanted form is returned as is.
Image ToGray(Image image);
Image ToRgb(Image image);

// Writes the picture as a PNG file (png_codec.h), atomically. Throws
// ToolError on failure.
void WritePngFile(const std::string& path, const Image& image);

// Checks a picture's size against the limits; throws ToolError naming name.
void CheckImageSize(std::int64_t width, std::int64_t height, std::int32_t channels,
                    std::string_view name);

// True when the bytes start with the PNG signature.
bool LooksLikePng(std::span<const std::uint8_t> bytes);

// True when the bytes start as a picture DecodeImage reads.
bool LooksLikePicture(std::span<const std::uint8_t> bytes);

}  // namespace zeseal::tool
