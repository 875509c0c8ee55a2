// Binary PNM pictures (PGM "P5", PPM "P6"): the decoder behind DecodeImage.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "image_io.h"

namespace zeseal::tool {

// Decodes a PNM file image; name is used in error messages. Throws ToolError.
Image DecodePnm(std::span<const std::uint8_t> bytes, std::string_view name);

}  // namespace zeseal::tool
