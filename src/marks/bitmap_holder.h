// A device-independent bitmap in memory: the 40-byte info header (with a
// 256-entry colour table for 8-bit pictures), bottom-up pixel rows padded to
// four bytes, and a row table whose entry 0 is the picture's top row.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/frame_heap.h"

namespace zeseal::marks {

inline constexpr std::int32_t kInfoHeaderSize = 40;
inline constexpr std::int32_t kBmpFileHeaderSize = 14;

class BitmapHolder {
public:
    // Results of Create.
    static constexpr std::int32_t kCreated = 0;
    static constexpr std::int32_t kAlreadyCreated = 1;
    static constexpr std::int32_t kBadDepth = 5;
    static constexpr std::int32_t kBadSize = 6;      // width or height below 1, or too large
    static constexpr std::int32_t kOutOfMemory = 7;
    // Result of SetResolution and WriteBmpFile when the holder is empty.
    static constexpr std::int32_t kNotCreated = 1;
    static constexpr std::int32_t kWriteNotCreated = 3;

    BitmapHolder() = default;
    ~BitmapHolder() { Release(); }
    BitmapHolder(const BitmapHolder&) = delete;
    BitmapHolder& operator=(const BitmapHolder&) = delete;

    // colourTable: 256 entries of (blue, green, red, 0), or nullptr for the
    // grey ramp. Ignored for 24-bit pictures.
    std::int32_t Create(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                        const std::uint8_t* colourTable = nullptr) noexcept;
    void Release() noexcept;
    const std::uint8_t* PaletteOf() const noexcept;
    std::int32_t CopyFrom(const BitmapHolder& other) noexcept;
    // unit 0: dots per inch; unit 1: pixels per metre as given; others: no change.
    std::int32_t SetResolution(std::int32_t x, std::int32_t y, std::int32_t unit) noexcept;
    // The size of the BMP file image that WriteBmpFile writes (0 when empty).
    std::size_t BmpFileSize() const noexcept;
    // Writes the BMP file image into out (BmpFileSize() bytes); returns its size.
    std::int32_t WriteBmpFile(std::uint8_t* out) const noexcept;
    // 3x3 weighted smoothing of source into this 8-bit holder (border kept).
    std::int32_t Smooth3x3(const BitmapHolder& source) noexcept;

    bool created() const noexcept { return created_; }
    std::int32_t width() const noexcept { return width_; }
    std::int32_t height() const noexcept { return height_; }
    std::int32_t bitsPerPixel() const noexcept { return bitsPerPixel_; }
    std::int32_t stride() const noexcept { return stride_; }
    std::size_t pixelBytes() const noexcept { return pixels_.size(); }
    std::size_t headerBytes() const noexcept { return header_.size(); }
    // The info header followed by its colour table.
    const std::uint8_t* header() const noexcept { return header_.data(); }
    std::uint8_t* pixels() noexcept { return pixels_.data(); }
    const std::uint8_t* pixels() const noexcept { return pixels_.data(); }
    // rows()[k] is the k-th row from the top of the picture.
    std::uint8_t* const* rows() const noexcept {
        return reinterpret_cast<std::uint8_t* const*>(rowTable_.data());
    }

    // The stride of a row of width pixels, or -1 when it does not fit an int32.
    static std::int32_t StrideOf(std::int32_t width, std::int32_t bitsPerPixel) noexcept;

private:
    frame::HeapBlock header_;
    frame::HeapBlock pixels_;
    frame::HeapBlock rowTable_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t bitsPerPixel_ = 0;
    std::int32_t stride_ = 0;
    bool created_ = false;
};

// Width and height of a picture from its info header: the 12-byte core form
// holds unsigned 16-bit values at offsets 4 and 6; other forms a signed
// 32-bit width at 4 and a height at 8, taken as its absolute value.
struct BitmapSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
BitmapSize BitmapExtent(const std::uint8_t* infoHeader) noexcept;

}  // namespace zeseal::marks
