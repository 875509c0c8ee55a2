// A grey picture as JPEG bytes, written with libjpeg: for the scans the
// reader's tests make and for the tool's format tests.
#pragma once

#include <cstdint>
#include <vector>

namespace zeseal::testing {

// grey: width x height bytes, top row first. dpi 0 leaves the resolution
// unstated.
std::vector<std::uint8_t> GreyJpeg(const std::vector<std::uint8_t>& grey, std::int32_t width, std::int32_t height,
                                   std::int32_t quality, std::int32_t dpi = 0);

}  // namespace zeseal::testing
