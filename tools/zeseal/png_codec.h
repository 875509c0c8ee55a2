// PNG pictures: the decoder behind DecodeImage, and the encoder behind
// WritePngFile.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "image_io.h"

namespace zeseal::tool {

// Decodes a PNG file image; name is used in error messages. Throws ToolError.
Image DecodePng(std::span<const std::uint8_t> bytes, std::string_view name);

// Encodes a PNG (8-bit grey or RGB, with a pHYs chunk when dpi is set).
// Throws ToolError on failure.
std::vector<std::uint8_t> EncodePng(const Image& image);

}  // namespace zeseal::tool
