#include "marks/bmp_image.h"

#include "base/byte_order.h"
#include "marks/bitmap_holder.h"

namespace zeseal::marks {
namespace {

constexpr std::size_t kInfoAt = kBmpFileHeaderSize;
constexpr std::uint32_t kCoreHeaderSize = 12;

bool DepthDrawable(std::uint32_t bitCount) noexcept {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24;
}

}  // namespace

std::size_t FixedPixelOffset(const std::uint8_t* image) noexcept {
    const std::uint16_t bitCount = base::ReadLe16(image + 28);
    return bitCount == 24 ? 54 : bitCount == 8 ? 1078 : 62;
}

std::uint32_t StatedFileSize(const std::uint8_t* image) noexcept {
    return base::ReadLe32(image + 2);
}

bool LocateBmpPicture(const std::uint8_t* image, std::size_t imageLength, std::size_t pixelOffset,
                      BmpPicture& picture) noexcept {
    if (image == nullptr || imageLength < kInfoAt + kCoreHeaderSize) return false;
    const std::uint8_t* info = image + kInfoAt;
    const std::uint32_t infoSize = base::ReadLe32(info);
    const std::size_t afterFileHeader = imageLength - kInfoAt;

    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bitCount = 0;
    std::uint64_t colourBytes = 0;
    if (infoSize == kCoreHeaderSize) {
        width = base::ReadLe16(info + 4);
        height = base::ReadLe16(info + 6);
        bitCount = base::ReadLe16(info + 10);
        if (bitCount <= 8) colourBytes = 3ull << bitCount;
    } else {
        if (infoSize < kInfoHeaderSize || infoSize > afterFileHeader) return false;
        if (base::ReadLe32(info + 16) != 0) return false;  // compressed rows have no fixed size
        const BitmapSize extent = BitmapExtent(info);
        width = extent.width;
        height = extent.height;
        bitCount = base::ReadLe16(info + 14);
        if (bitCount <= 8 && DepthDrawable(bitCount)) {
            const std::uint32_t most = 1u << bitCount;
            const std::uint32_t used = base::ReadLe32(info + 32);
            colourBytes = 4ull * (used == 0 || used > most ? most : used);
        }
    }
    if (!DepthDrawable(bitCount) || width < 1 || height < 1) return false;
    if (std::uint64_t{infoSize} + colourBytes > afterFileHeader) return false;

    const std::uint64_t stride = (std::uint64_t(width) * bitCount + 31) / 32 * 4;
    const std::uint64_t pixelBytes = stride * std::uint64_t(height);
    if (pixelOffset > imageLength || pixelBytes > imageLength - pixelOffset) return false;

    picture.info = info;
    picture.bits = image + pixelOffset;
    picture.width = static_cast<std::int32_t>(width);
    picture.height = static_cast<std::int32_t>(height);
    return true;
}

}  // namespace zeseal::marks
