#include "marks/bitmap_holder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "base/byte_order.h"

namespace zeseal::marks {

std::int32_t BitmapHolder::StrideOf(std::int32_t width, std::int32_t bitsPerPixel) noexcept {
    const std::int64_t rowBytes = std::int64_t{bitsPerPixel / 8} * width;
    const std::int64_t stride = (rowBytes + 3) / 4 * 4;
    if (width < 0 || stride > std::numeric_limits<std::int32_t>::max()) return -1;
    return static_cast<std::int32_t>(stride);
}

namespace {

constexpr std::int32_t kColourTableSize = 256 * 4;

}  // namespace

std::int32_t BitmapHolder::Create(std::int32_t width, std::int32_t height,
                                  std::int32_t bitsPerPixel,
                                  const std::uint8_t* colourTable) noexcept {
    if (created_) return kAlreadyCreated;
    if (bitsPerPixel != 8 && bitsPerPixel != 24) return kBadDepth;
    if (width < 1 || height < 1) return kBadSize;
    const std::int32_t stride = StrideOf(width, bitsPerPixel);
    if (stride < 0) return kBadSize;
    const std::uint64_t pixelBytes = std::uint64_t(stride) * std::uint64_t(height);
    if (pixelBytes > std::uint64_t{std::numeric_limits<std::int32_t>::max()}) return kBadSize;

    frame::HeapBlock pixels(static_cast<std::size_t>(pixelBytes));
    frame::HeapBlock rowTable(sizeof(std::uint8_t*) * static_cast<std::size_t>(height));
    const std::int32_t headerSize =
        bitsPerPixel == 8 ? kInfoHeaderSize + kColourTableSize : kInfoHeaderSize;
    frame::HeapBlock header(static_cast<std::size_t>(headerSize));
    if (!pixels || !rowTable || !header) return kOutOfMemory;

    auto** rows = reinterpret_cast<std::uint8_t**>(rowTable.data());
    for (std::int32_t k = 0; k < height; ++k) {
        rows[k] = pixels.data() + std::size_t(height - 1 - k) * std::size_t(stride);
    }

    std::uint8_t* h = header.data();
    base::WriteLe32(h + 0, kInfoHeaderSize);
    base::WriteLe32(h + 4, static_cast<std::uint32_t>(width));
    base::WriteLe32(h + 8, static_cast<std::uint32_t>(height));
    base::WriteLe16(h + 12, 1);
    base::WriteLe16(h + 14, static_cast<std::uint16_t>(bitsPerPixel));
    // Compression, image size, resolution and colour counts stay 0.
    if (bitsPerPixel == 8) {
        std::uint8_t* table = h + kInfoHeaderSize;
        if (colourTable != nullptr) {
            std::memcpy(table, colourTable, kColourTableSize);
        } else {
            for (int i = 0; i < 256; ++i) {
                table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = static_cast<std::uint8_t>(i);
                table[4 * i + 3] = 0;
            }
        }
    }

    header_ = std::move(header);
    pixels_ = std::move(pixels);
    rowTable_ = std::move(rowTable);
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    stride_ = stride;
    created_ = true;
    return kCreated;
}

void BitmapHolder::Release() noexcept {
    if (!created_) return;
    rowTable_.reset();
    header_.reset();
    pixels_.reset();
    width_ = height_ = bitsPerPixel_ = stride_ = 0;
    created_ = false;
}

const std::uint8_t* BitmapHolder::PaletteOf() const noexcept {
    if (!created_ || bitsPerPixel_ != 8) return nullptr;
    return header_.data() + kInfoHeaderSize;
}

std::int32_t BitmapHolder::CopyFrom(const BitmapHolder& other) noexcept {
    if (!other.created_) return kBadSize;
    if (!created_) {
        const std::int32_t r =
            Create(other.width_, other.height_, other.bitsPerPixel_, other.PaletteOf());
        if (r != kCreated) return r;
    }
    // A holder created earlier with another shape takes what fits.
    const std::size_t n = std::min(pixels_.size(), other.pixels_.size());
    std::memcpy(pixels_.data(), other.pixels_.data(), n);
    return 0;
}

std::int32_t BitmapHolder::SetResolution(std::int32_t x, std::int32_t y,
                                         std::int32_t unit) noexcept {
    if (!created_) return kNotCreated;
    if (unit == 0) {
        constexpr float kInchesPerMetre = 39.37008f;
        x = static_cast<std::int32_t>(std::trunc(double(float(x) * kInchesPerMetre) + 0.5));
        y = static_cast<std::int32_t>(std::trunc(double(float(y) * kInchesPerMetre) + 0.5));
    } else if (unit != 1) {
        return 0;
    }
    base::WriteLe32(header_.data() + 24, static_cast<std::uint32_t>(x));
    base::WriteLe32(header_.data() + 28, static_cast<std::uint32_t>(y));
    return 0;
}

std::size_t BitmapHolder::BmpFileSize() const noexcept {
    if (!created_) return 0;
    return kBmpFileHeaderSize + header_.size() + pixels_.size();
}

std::int32_t BitmapHolder::WriteBmpFile(std::uint8_t* out) const noexcept {
    if (!created_) return kWriteNotCreated;
    const auto headerSize = static_cast<std::uint32_t>(header_.size());
    const auto fileSize = static_cast<std::uint32_t>(BmpFileSize());
    out[0] = 'B';
    out[1] = 'M';
    base::WriteLe32(out + 2, fileSize);
    base::WriteLe16(out + 6, 0);
    base::WriteLe16(out + 8, 0);
    base::WriteLe32(out + 10, kBmpFileHeaderSize + headerSize);
    std::memcpy(out + kBmpFileHeaderSize, header_.data(), headerSize);
    std::memcpy(out + kBmpFileHeaderSize + headerSize, pixels_.data(), pixels_.size());
    return static_cast<std::int32_t>(fileSize);
}

std::int32_t BitmapHolder::Smooth3x3(const BitmapHolder& source) noexcept {
    if (!created_ || bitsPerPixel_ != 8) return 0;
    if (!source.created_ || source.bitsPerPixel_ != 8 || source.width_ < width_ ||
        source.height_ < height_) {
        return 0;
    }
    static constexpr int kWeight[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
    std::uint8_t* const* src = source.rows();
    std::uint8_t* const* dst = rows();
    for (std::int32_t k = 1; k < height_ - 1; ++k) {
        for (std::int32_t m = 1; m < width_ - 1; ++m) {
            int s = 0;
            for (int i = -1; i <= 1; ++i) {
                for (int j = -1; j <= 1; ++j) s += kWeight[i + 1][j + 1] * src[k + i][m + j];
            }
            // trunc(s / 16 + 0.5) for a non-negative s, limited to a byte.
            const int v = (s + 8) / 16;
            dst[k][m] = static_cast<std::uint8_t>(v > 255 ? 255 : v);
        }
    }
    return 1;
}

BitmapSize BitmapExtent(const std::uint8_t* infoHeader) noexcept {
    if (base::ReadLe32(infoHeader) == 12) {
        return {base::ReadLe16(infoHeader + 4), base::ReadLe16(infoHeader + 6)};
    }
    const auto width = static_cast<std::int32_t>(base::ReadLe32(infoHeader + 4));
    const auto height = static_cast<std::int32_t>(base::ReadLe32(infoHeader + 8));
    // The absolute value; the most negative height has none and counts as 0.
    const std::int32_t absHeight =
        height == std::numeric_limits<std::int32_t>::min() ? 0 : (height < 0 ? -height : height);
    return {width, absHeight};
}

}  // namespace zeseal::marks
