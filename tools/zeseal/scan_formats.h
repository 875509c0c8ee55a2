// Scans as scanners and phones save them: TIFF (through libtiff) and JPEG
// (through libjpeg-turbo), the decoders behind DecodeImage beside PNG and PNM.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "image_io.h"

namespace zeseal::tool {

bool LooksLikeTiff(std::span<const std::uint8_t> bytes);
bool LooksLikeJpeg(std::span<const std::uint8_t> bytes);

// Decode the first page (TIFF) or the picture (JPEG) as grey or RGB, with
// the resolution the file states. Throw ToolError naming name on a damaged
// file or one larger than the limits.
Image DecodeTiff(std::span<const std::uint8_t> bytes, std::string_view name);
Image DecodeJpeg(std::span<const std::uint8_t> bytes, std::string_view name);

}  // namespace zeseal::tool
