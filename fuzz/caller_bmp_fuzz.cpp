// Drawing a caller's BMP image that comes without a length
// (iZeCourtLogoAddVista, iZeCopyDetector), whose file-size field bounds it.
//
// Input layout:
//   byte 0     bit 0: 1 iZeCopyDetector, 0 iZeCourtLogoAddVista
//              bit 1: which page
//   bytes 1-2  x, bytes 3-4 y (big-endian, signed 16-bit)
//   the rest   the image
// The image (at least the 6 bytes up to its size field) lies in a block as
// large as its size field says, or its own size when that is larger: the
// caller's side of the contract. The rest of the block holds a marker.
//
// Checked:
//  - the result is 0 exactly when the header, colour table and rows lie
//    within the size field, from the fixed pixel offset;
//  - the caller's block is never written;
//  - the page keeps every bit it had, and changes only when drawn.
#include <zeseal/zeseal.h>

#include <algorithm>
#include <cstring>

#include "base/byte_order.h"
#include "bmp_fuzz_support.h"

using namespace zeseal;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 5;
    if (size < kHeader || size - kHeader > fuzz::kMaxBmpInput) return 0;
    const bool detector = (data[0] & 1) != 0;
    const fuzz::FuzzPage& page = fuzz::PageFor((data[0] >> 1) & 1);
    const auto x = static_cast<std::int16_t>(base::ReadBe16(data + 1));
    const auto y = static_cast<std::int16_t>(base::ReadBe16(data + 3));
    const std::uint8_t* image = data + kHeader;
    const std::size_t imageSize = size - kHeader;

    // A caller hands over at least a file header's size field.
    if (imageSize < 6) return 0;
    // A size field far beyond the bytes given only makes a larger block of
    // marker bytes to allocate, copy and compare on every run; past 64 KiB
    // it reaches no new path.
    constexpr std::size_t kMaxBlockBeyondInput = 64u << 10;
    const std::size_t stated = marks::StatedFileSize(image);
    if (stated > std::max(imageSize, kMaxBlockBeyondInput)) return 0;
    fuzz::ExactBuffer buffer(std::max(stated, imageSize));
    std::memcpy(buffer.data(), image, imageSize);
    const std::vector<std::uint8_t> callerBytes(buffer.data(), buffer.data() + buffer.size());

    const bool drawable = stated >= 30 && fuzz::Drawable(buffer.data(), stated, marks::FixedPixelOffset(buffer.data()));
    const auto before = page.Read();
    const std::int32_t result = detector ? iZeCopyDetector(page.dc, 0, buffer.data(), x, y, 0, 0)
                                         : iZeCourtLogoAddVista(page.dc, buffer.data(), 0, 0, 0, x, y);
    const auto after = page.Read();
    const std::int32_t failed = detector ? ZE_COPYDETECTOR_FAILED : ZE_COURTLOGO_FAILED;
    ZESEAL_FUZZ_CHECK(result == (drawable ? ZE_OK : failed));
    ZESEAL_FUZZ_CHECK(std::memcmp(buffer.data(), callerBytes.data(), callerBytes.size()) == 0);
    fuzz::CheckPageAfter(before, after, result == ZE_OK);
    return 0;
}
