// iZeCourtLogo: a caller's BMP image with a stated length.
//
// Input layout:
//   byte 0     bit 0: which page
//   bytes 1-4  imageLength, big-endian, signed; a non-negative one is taken
//              modulo the image's size + 1, so it never claims more bytes
//              than the caller has
//   bytes 5-6  x, bytes 7-8 y (big-endian, signed 16-bit)
//   the rest   the image, in a block of exactly its size
//
// Checked:
//  - the result is 0 exactly when the picture lies within imageLength bytes
//    from the fixed pixel offset, and 4100 otherwise (a negative length too);
//  - nothing past imageLength is read (AddressSanitizer watches the block);
//  - the page keeps every bit it had, and changes only when drawn.
#include <zeseal/zeseal.h>

#include <cstring>

#include "base/byte_order.h"
#include "bmp_fuzz_support.h"

using namespace zeseal;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 9;
    if (size < kHeader || size - kHeader > fuzz::kMaxBmpInput) return 0;
    const fuzz::FuzzPage& page = fuzz::PageFor(data[0] & 1);
    const auto stated = static_cast<std::int32_t>(base::ReadBe32(data + 1));
    const auto x = static_cast<std::int16_t>(base::ReadBe16(data + 5));
    const auto y = static_cast<std::int16_t>(base::ReadBe16(data + 7));
    const std::size_t imageSize = size - kHeader;
    fuzz::ExactBuffer image(imageSize);
    if (imageSize != 0) std::memcpy(image.data(), data + kHeader, imageSize);

    const std::int32_t length =
        stated < 0 ? stated : static_cast<std::int32_t>(std::size_t(stated) % (imageSize + 1));
    const bool drawable = length >= 30 &&
                          fuzz::Drawable(image.data(), std::size_t(length), marks::FixedPixelOffset(image.data()));
    const auto before = page.Read();
    const std::int32_t result = iZeCourtLogo(page.dc, image.data(), length, 0, 0, x, y);
    const auto after = page.Read();
    ZESEAL_FUZZ_CHECK(result == (drawable ? ZE_OK : ZE_COURTLOGO_FAILED));
    fuzz::CheckPageAfter(before, after, result == ZE_OK);
    return 0;
}
