// A grey picture as the scan reader sees it: 8 bits a pixel, 0 black and
// 255 white, top row first, rows `stride` bytes apart. The reader never
// writes to it and never reads outside width x height.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace zeseal::densecode {

struct GreyView {
    const std::uint8_t* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::size_t stride = 0;

    bool valid() const noexcept {
        return pixels != nullptr && width > 0 && height > 0 && stride >= std::size_t(width);
    }
    const std::uint8_t* Row(std::int32_t y) const noexcept { return pixels + std::size_t(y) * stride; }
    std::uint8_t At(std::int32_t x, std::int32_t y) const noexcept { return Row(y)[x]; }
    bool Inside(double x, double y) const noexcept { return x >= 0 && y >= 0 && x < width && y < height; }

    // The level at (x, y), where pixel (i, j) covers [i, i + 1) x [j, j + 1),
    // interpolated between the four nearest pixel centres; points beyond the
    // edges take the nearest edge pixel's level.
    double Bilinear(double x, double y) const noexcept {
        const double fx = std::clamp(x - 0.5, 0.0, double(width - 1));
        const double fy = std::clamp(y - 0.5, 0.0, double(height - 1));
        const auto x0 = static_cast<std::int32_t>(fx);
        const auto y0 = static_cast<std::int32_t>(fy);
        const std::int32_t x1 = std::min(x0 + 1, width - 1);
        const std::int32_t y1 = std::min(y0 + 1, height - 1);
        const double ax = fx - x0;
        const double ay = fy - y0;
        const std::uint8_t* upper = Row(y0);
        const std::uint8_t* lower = Row(y1);
        const double top = upper[x0] + ax * (upper[x1] - upper[x0]);
        const double bottom = lower[x0] + ax * (lower[x1] - lower[x0]);
        return top + ay * (bottom - top);
    }
};

struct PointD {
    double x = 0;
    double y = 0;
};

}  // namespace zeseal::densecode
