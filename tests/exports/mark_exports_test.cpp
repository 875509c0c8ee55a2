// The watermark and water-code exports, through the C interface, onto pages.
#include <zeseal/zeseal_posix.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <limits>
#include <string>
#include <vector>

#include "authoring/container_writer.h"
#include "support/test_pages.h"

namespace zeseal {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::ContainerText;
using testing::MarkBuffers;
using testing::OwnedPage;

std::string Text(const Bytes& container) { return authoring::EncodeBase64(container); }

Bytes Words(std::initializer_list<std::int64_t> words) {
    Bytes out;
    for (const auto w : words) authoring::AppendBigEndian32(out, static_cast<std::uint32_t>(w));
    return out;
}

Bytes Compressed(const Bytes& plain) {
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    Bytes out(size);
    compress(out.data(), &size, plain.data(), static_cast<uLong>(plain.size()));
    out.resize(size);
    return out;
}

Bytes WithChunk(Bytes head, const Bytes& chunk) {
    authoring::AppendBigEndian32(head, static_cast<std::uint32_t>(chunk.size()));
    head.insert(head.end(), chunk.begin(), chunk.end());
    return head;
}

struct Calls {
    std::int32_t data;
    std::int32_t draw;
};

Calls RunWatermark(const std::string& text, HDC dc, std::size_t rasterSize = 4096) {
    MarkBuffers a(text, rasterSize), b(text, rasterSize);
    const auto length = static_cast<std::int32_t>(text.size());
    return {iZeWaterMarkData(text.c_str(), a.work.data(), a.raster.data(), length),
            iZeWaterMark(dc, text.c_str(), b.work.data(), b.raster.data(), length, 0, 0, 1, 1)};
}

Calls RunWaterCode(const std::string& text, HDC dc, std::int32_t rasterBytes = 0,
                   std::size_t rasterSize = 4096) {
    MarkBuffers a(text, rasterSize), b(text, rasterSize);
    const auto length = static_cast<std::int32_t>(text.size());
    return {iZeWaterCodeData(text.c_str(), a.work.data(), a.raster.data(), length),
            iZeWaterCode(dc, text.c_str(), b.work.data(), b.raster.data(), length, 0, rasterBytes, 1, 1, 0)};
}

TEST(MarkExports, DecodingResultsOfBothFamilies) {
    OwnedPage page(64, 64, 300);
    const Bytes pixel = authoring::MakeMarkRaster(1, 1, 8, Bytes{0});
    const Bytes cutStream = [] {
        Bytes c = Compressed(Bytes{1, 2, 3, 0});
        c.resize(c.size() - 4);
        return c;
    }();
    struct Case {
        const char* name;
        std::string text;
        std::int32_t watermarkData, watercodeData;
    };
    const Case cases[] = {
        {"valid", ContainerText(pixel), 0, 0},
        {"no Base64 digits", "-_-_ !!", 2002, 3002},
        {"empty text", "", 2002, 3002},
        {"one digit gives no byte", "Q", 2002, 3002},
        {"negative chunk length", Text(Words({4, -7})), 2004, 3004},
        {"total length 0", Text(Words({0, 0})), 2005, 3005},
        {"negative total length", Text(Words({-1, 0})), 2005, 3005},
        {"zlib refuses the stream", Text(WithChunk(Words({4}), cutStream)), 2000, 3000},
        {"chunk above 30000 bytes", Text(Words({4, 30001})), 2000, 3000},
        {"chunk past the input", Text(Words({4, 40, 0x789C0000})), 2000, 3000},
        {"inflates to nothing", Text(WithChunk(Words({4}), Compressed({}))), 2000, 3000},
        {"more than the total", Text(WithChunk(Words({1}), Compressed({1, 2, 3, 0}))), 2000, 3000},
        {"shorter than two words", Text(Bytes{0, 0, 0, 9, 0}), 2000, 3000},
    };
    for (const auto& c : cases) {
        const Calls watermark = RunWatermark(c.text, page.dc());
        EXPECT_EQ(watermark.data, c.watermarkData) << c.name;
        if (c.watermarkData != 0) {
            EXPECT_EQ(watermark.draw, c.watermarkData) << c.name;
        }
        const Calls watercode = RunWaterCode(c.text, page.dc(), 1);
        EXPECT_EQ(watercode.data, c.watercodeData) << c.name;
        if (c.watercodeData != 0) {
            EXPECT_EQ(watercode.draw, c.watercodeData) << c.name;
        }
    }
}

TEST(MarkExports, AFailedDecodeLeavesTheRasterAlone) {
    const std::string text = Text(Words({4, -7}));
    MarkBuffers buffers(text, 16);
    std::fill(buffers.raster.begin(), buffers.raster.end(), 0xEE);
    EXPECT_EQ(iZeWaterCodeData(text.c_str(), buffers.work.data(), buffers.raster.data(),
                               static_cast<std::int32_t>(text.size())),
              3004);
    EXPECT_EQ(std::count(buffers.raster.begin(), buffers.raster.end(), 0xEE), 16);
}

TEST(iZeWaterMark, PrintsPixelsAt300DotsPerInch) {
    struct Case {
        const char* name;
        Bytes raster;
        std::int32_t dpi;
        std::string art;  // the 4 x 3 device pixels from (39, 19)
    };
    const Case cases[] = {
        {"one black pixel", authoring::MakeMarkRaster(1, 1, 8, Bytes{0}), 300, "....\n.#..\n...."},
        {"one red pixel", authoring::MakeMarkRaster(1, 1, 24, Bytes{255, 0, 0}), 300, "....\n.r..\n...."},
        {"doubled at 600 dpi", authoring::MakeMarkRaster(1, 1, 8, Bytes{0}), 600, "...."},
        {"two by one, top row first", authoring::MakeMarkRaster(2, 2, 8, Bytes{0, 255, 255, 0}), 300,
         "....\n.#..\n..#."},
    };
    for (const auto& c : cases) {
        OwnedPage page(200, 200, c.dpi);
        const std::string text = ContainerText(c.raster);
        MarkBuffers buffers(text, c.raster.size());
        // x = 10 is device column 40 at 300 dpi (10 + 30 units of margin).
        ASSERT_EQ(iZeWaterMark(page.dc(), text.c_str(), buffers.work.data(), buffers.raster.data(),
                               static_cast<std::int32_t>(text.size()), 0, 0, 10, 20),
                  0)
            << c.name;
        if (c.dpi == 300) {
            EXPECT_EQ(page.Art(39, 19, 4, 3), c.art) << c.name;
        } else {
            EXPECT_EQ(page.Art(80, 40, 2, 2), "##\n##") << c.name;
            EXPECT_EQ(page.InkedPixels(), 4u) << c.name;
        }
    }
}

TEST(iZeWaterMark, CopiesWhiteOverInkAndRefusesBadRasters) {
    OwnedPage page(100, 100, 300);
    const Bytes black = authoring::MakeMarkRaster(2, 1, 8, Bytes{0, 0});
    const Bytes white = authoring::MakeMarkRaster(1, 1, 8, Bytes{255});
    for (const Bytes* raster : {&black, &white}) {
        const std::string text = ContainerText(*raster);
        MarkBuffers b(text, raster->size());
        ASSERT_EQ(iZeWaterMark(page.dc(), text.c_str(), b.work.data(), b.raster.data(),
                               static_cast<std::int32_t>(text.size()), 0, 0, 1, 1), 0);
    }
    EXPECT_EQ(page.Art(31, 1, 2, 1), ".#");

    struct Case {
        const char* name;
        Bytes raster;
        std::int32_t data, draw;
    };
    const Case cases[] = {
        {"16 bits per pixel", authoring::MakeMarkRaster(2, 2, 16, Bytes(8, 0)), 0, 2000},
        {"header asks for more than arrived", authoring::MakeMarkRaster(100, 100, 8, Bytes(10, 0)), 0, 2000},
        {"header cut short", Bytes{0, 0, 0, 1, 0, 0}, 0, 2000},
    };
    for (const auto& c : cases) {
        const std::string text = ContainerText(c.raster);
        const Calls calls = RunWatermark(text, page.dc(), c.raster.size());
        EXPECT_EQ(calls.data, c.data) << c.name;
        EXPECT_EQ(calls.draw, c.draw) << c.name;
    }
}

TEST(iZeWaterCode, DrawsTheTestPageCodeWhereItBelongs) {
    OwnedPage page(5620, 4460, 600);
    Bytes code(2528 * 128, 255);
    code[0] = 0;                 // bottom-left corner of the code
    code[code.size() - 1] = 0;   // top-right corner
    const std::string text = ContainerText(code);
    MarkBuffers buffers(text, code.size());
    ASSERT_EQ(iZeWaterCode(page.dc(), text.c_str(), buffers.work.data(), buffers.raster.data(),
                           static_cast<std::int32_t>(text.size()), 0, 0, 250, 2100, 3),
              0);
    // 5056 x 256 device pixels from (560, 4200): each code pixel is 2 x 2.
    EXPECT_EQ(page.Art(559, 4453, 3, 3), "...\n.##\n.##");
    EXPECT_EQ(page.Art(5614, 4199, 3, 3), "...\n##.\n##.");
    EXPECT_EQ(page.InkedPixels(), 8u);
}

TEST(iZeWaterCode, AndsOntoWhatIsPrinted) {
    OwnedPage page(64, 64, 300);
    const Bytes red = authoring::MakeMarkRaster(2, 1, 24, Bytes{255, 0, 0, 255, 0, 0});
    const std::string redText = ContainerText(red);
    MarkBuffers r(redText, red.size());
    ASSERT_EQ(iZeWaterMark(page.dc(), redText.c_str(), r.work.data(), r.raster.data(),
                           static_cast<std::int32_t>(redText.size()), 0, 0, 1, 0), 0);
    // An 8 x 128 code whose top row starts black, white.
    Bytes code(8 * 128, 255);
    code[127 * 8] = 0;
    const std::string text = ContainerText(code);
    MarkBuffers c(text, code.size());
    ASSERT_EQ(iZeWaterCode(page.dc(), text.c_str(), c.work.data(), c.raster.data(),
                           static_cast<std::int32_t>(text.size()), 0, 8 * 128, 1, 0, 0), 0);
    EXPECT_EQ(page.Art(31, 0, 3, 1), "#r.");
}

TEST(iZeWaterCode, RefusesCountsAndDevicesItCannotUse) {
    OwnedPage page(64, 64, 300);
    const Bytes code(8 * 128, 0);
    const std::string text = ContainerText(code);
    struct Case {
        const char* name;
        HDC dc;
        std::int32_t rasterBytes;
        std::int32_t layout;
        std::int32_t result;
    };
    HDC destroyed = iZeHostPageCreate(10, 10, 300, 300);
    iZeHostPageDestroy(destroyed);
    const Case cases[] = {
        {"fits", page.dc(), 8 * 128, 0, 0},
        {"negative byte count", page.dc(), -1024, 0, 3000},
        {"more than arrived", page.dc(), 0, 3, 3000},
        {"a handle that was never a page", reinterpret_cast<HDC>(0x1234), 8 * 128, 0, 3000},
        {"a null handle", nullptr, 8 * 128, 0, 3000},
        {"a destroyed page", destroyed, 8 * 128, 0, 3000},
    };
    for (const auto& c : cases) {
        MarkBuffers b(text, code.size());
        EXPECT_EQ(iZeWaterCode(c.dc, text.c_str(), b.work.data(), b.raster.data(),
                               static_cast<std::int32_t>(text.size()), 0, c.rasterBytes, 1, 1, c.layout),
                  c.result)
            << c.name;
    }
    const Bytes mark = authoring::MakeMarkRaster(1, 1, 8, Bytes{0});
    EXPECT_EQ(RunWatermark(ContainerText(mark), destroyed).draw, 2000);
}

}  // namespace
}  // namespace zeseal

namespace zeseal {
namespace {

TEST(MarkExports, ExtremePositionsPlaceTheWatermarkOffThePage) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const std::string text =
        testing::ContainerText(authoring::MakeMarkRaster(2, 2, 24, std::vector<std::uint8_t>(12, 0)));
    struct Case {
        const char* name;
        std::int32_t x, y;
        bool inked;
    };
    const Case cases[] = {
        {"in range", 1, 1, true},
        {"largest x", kMax, 1, false},
        {"y of 2^30", 1, 1 << 30, false},
        {"smallest x", kMin, 1, false},
        {"smallest y", 1, kMin, false},
        {"both largest", kMax, kMax, false},
    };
    for (const auto& c : cases) {
        testing::OwnedPage page(64, 64, 600);
        testing::MarkBuffers buffers(text, 4096);
        EXPECT_EQ(iZeWaterMark(page.dc(), text.c_str(), buffers.work.data(), buffers.raster.data(),
                               static_cast<std::int32_t>(text.size()), 0, 0, c.x, c.y),
                  ZE_OK)
            << c.name;
        EXPECT_EQ(page.InkedPixels() > 0, c.inked) << c.name;
    }
}

}  // namespace
}  // namespace zeseal
