// Drawing a water code (iZeWaterCode) or a watermark (iZeWaterMark) onto a
// page, with fuzzed placement and size arguments.
//
// Input layout:
//   byte 0      bit 0: 1 draws a watermark, 0 a water code
//               bit 1: 1 when the payload is a picture to pack into a
//                      container here, 0 when it is the container itself
//               bits 2-3: which of four pages (resolutions below)
//   byte 1      the water code's layout
//   bytes 2-5   x, big-endian
//   bytes 6-9   y, big-endian
//   bytes 10-13 the water code's rasterBytes, big-endian
//   the rest    the payload
// The container is Base64-encoded here, so the fuzzer works on the container
// or the picture directly rather than on text.
//
// Checked:
//  - the result is the container's decoding result when that fails, else 0
//    exactly when the picture is drawable by the export's contract;
//  - a page is left exactly as it was whenever nothing is drawn;
//  - ANDing a water code never sets a bit the page did not already have;
//  - the raster receives the same bytes as the container decoder gives.
// The pages are created once and kept; drawings pile up on them.
#include <zeseal/zeseal.h>
#include <zeseal/zeseal_posix.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "authoring/container_writer.h"
#include "base/byte_order.h"
#include "codec/image_container.h"
#include "fuzz_support.h"
#include "marks/water_code.h"

namespace {

namespace codec = zeseal::codec;
using zeseal::fuzz::ExactBuffer;
using zeseal::base::ReadBe32;

struct PageSpec {
    std::int32_t width, height, dpiX, dpiY;
};

// Resolutions: the marks' own, shrunk, enlarged, and unequal per axis. The
// pages are small, since each run reads a page twice and compares every
// byte; a mark reaches past their edges, which exercises the clipping.
constexpr PageSpec kPages[4] = {
    {96, 96, 300, 300}, {80, 80, 150, 150}, {128, 128, 600, 600}, {112, 64, 450, 200}};

struct Page {
    HDC dc = nullptr;
    std::size_t bytes = 0;
};

Page& PageFor(int which) {
    static Page pages[4];
    Page& page = pages[which];
    if (page.dc == nullptr) {
        const PageSpec& s = kPages[which];
        page.dc = iZeHostPageCreate(s.width, s.height, s.dpiX, s.dpiY);
        ZESEAL_FUZZ_CHECK(page.dc != nullptr);
        page.bytes = std::size_t(s.width) * std::size_t(s.height) * 3;
    }
    return page;
}

std::vector<std::uint8_t> ReadPage(const Page& page) {
    std::vector<std::uint8_t> rgb(page.bytes);
    const std::int32_t read =
        iZeHostPageRead(page.dc, rgb.data(), static_cast<std::int32_t>(rgb.size()));
    ZESEAL_FUZZ_CHECK(read == static_cast<std::int32_t>(page.bytes));
    return rgb;
}

// Whether the export's contract lets a decoded MarkRaster be drawn.
bool WatermarkDrawable(const std::uint8_t* raster, std::uint32_t length) {
    if (length < 12) return false;
    const auto width = static_cast<std::int32_t>(ReadBe32(raster));
    const auto height = static_cast<std::int32_t>(ReadBe32(raster + 4));
    const auto depth = static_cast<std::int32_t>(ReadBe32(raster + 8));
    if (depth != 8 && depth != 24) return false;
    if (width < 1 || height < 1) return false;
    const std::uint64_t needed = std::uint64_t(width) * std::uint64_t(height) * std::uint64_t(depth / 8);
    return needed <= length - 12;
}

// Whether a decoded water code of length bytes can be drawn with rasterBytes.
bool WaterCodeDrawable(std::int32_t layout, std::int32_t rasterBytes, std::uint32_t length) {
    if (rasterBytes < 0) return false;
    const auto shape = zeseal::marks::WaterCodeShapeOf(layout, rasterBytes);
    return std::uint64_t(shape.width) * std::uint64_t(shape.rows) <= length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 14;
    if (size < kHeader || size > (1u << 20)) return 0;
    const bool watermark = (data[0] & 1) != 0;
    const bool packHere = (data[0] & 2) != 0;
    const Page& page = PageFor((data[0] >> 2) & 3);
    const std::int32_t layout = data[1];
    const auto x = static_cast<std::int32_t>(ReadBe32(data + 2));
    const auto y = static_cast<std::int32_t>(ReadBe32(data + 6));
    const auto rasterBytes = static_cast<std::int32_t>(ReadBe32(data + 10));
    const std::uint8_t* payload = data + kHeader;
    const std::size_t payloadSize = size - kHeader;

    std::vector<std::uint8_t> container;
    if (packHere) {
        if (payloadSize == 0 || payloadSize > (64u << 10)) return 0;
        container = zeseal::authoring::PackContainer({payload, payloadSize});
    } else {
        container.assign(payload, payload + payloadSize);
    }
    const auto stated = container.size() >= 4 ? static_cast<std::int32_t>(ReadBe32(container.data())) : 0;
    if (stated > 0 && static_cast<std::uint32_t>(stated) > zeseal::fuzz::kMaxStatedTotal) return 0;
    const std::size_t rasterSize = zeseal::fuzz::RasterBytesFor(stated, container.data(), container.size());

    // What the container decoder makes of it on its own.
    ExactBuffer expectedRaster(rasterSize);
    std::uint32_t pictureLength = 0;
    const std::int32_t decoded =
        container.empty() ? codec::kContainerTruncatedHeader
                          : codec::DecodeImageContainer(expectedRaster.data(), &pictureLength,
                                                        container.data(),
                                                        static_cast<std::uint32_t>(container.size()));

    const std::string text = zeseal::authoring::EncodeBase64(container);
    const auto textLength = static_cast<std::int32_t>(text.size());
    ExactBuffer work(zeseal::fuzz::WorkBytesFor(textLength));
    ExactBuffer raster(rasterSize);

    const std::vector<std::uint8_t> before = ReadPage(page);
    std::int32_t result = 0;
    std::int32_t base = 0;
    bool drawable = false;
    if (watermark) {
        base = ZE_WATERMARK_FAILED;
        result = iZeWaterMark(page.dc, text.c_str(), work.data(), raster.data(), textLength, 0, 0,
                              x, y);
        drawable = decoded == 0 && WatermarkDrawable(expectedRaster.data(), pictureLength);
    } else {
        base = ZE_WATERCODE_FAILED;
        result = iZeWaterCode(page.dc, text.c_str(), work.data(), raster.data(), textLength, 0,
                              rasterBytes, x, y, layout);
        drawable = decoded == 0 && WaterCodeDrawable(layout, rasterBytes, pictureLength);
    }
    const std::vector<std::uint8_t> after = ReadPage(page);

    if (container.empty()) {
        ZESEAL_FUZZ_CHECK(result == base + 2);  // no text, no bytes
    } else if (decoded != 0) {
        ZESEAL_FUZZ_CHECK(result == codec::ContainerResultCode(base, decoded));
    } else {
        ZESEAL_FUZZ_CHECK(result == (drawable ? 0 : base));
        ZESEAL_FUZZ_CHECK(std::memcmp(raster.data(), expectedRaster.data(), rasterSize) == 0);
    }
    if (result != 0) ZESEAL_FUZZ_CHECK(before == after);
    if (!watermark) {
        ZESEAL_FUZZ_CHECK(zeseal::fuzz::OnlyClearsBits(before.data(), after.data(), after.size()));
    }
    return 0;
}
