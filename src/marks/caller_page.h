// The page and the caller's BMP images of the drawing exports.
#pragma once

#include <zeseal/zeseal.h>

#include <cstdint>
#include <memory>

#include "seams/page_device.h"

namespace zeseal::marks {

// Binds the device outside the fault frame, so a caught fault never strands
// it. Null when dc names no page or the binding throws.
std::unique_ptr<platform::PageDevice> AttachOutsideFrame(HDC dc) noexcept;

// ANDs the BMP image in a caller's buffer onto dc's page at (x, y), scaled
// from dpiBase. The buffer has no stated length: the image's file-size field
// bounds it. ZE_OK, or failed for no page, no image, an image that does not
// draw, or a fault while reading it.
std::int32_t DrawCallerBmp(HDC dc, const std::uint8_t* bmpImage, std::int32_t x, std::int32_t y,
                           std::int32_t dpiBase, std::int32_t failed) noexcept;

}  // namespace zeseal::marks
