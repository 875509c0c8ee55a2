// StretchDibOntoPage against a plain transfer that scales one pixel at a
// time, on a table of depths, headers, scales and clips, onto pages of noise:
// every byte of the page and every result must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "base/byte_order.h"
#include "raster/stretch_dib.h"

namespace zeseal::raster {
namespace {

using platform::DibTransfer;

// The plain transfer: the header read as StretchDibOntoPage reads it, then
// for every visible destination pixel its source pixel through
// SourceForDestination, copied or ANDed.
std::int32_t PlainStretch(RgbPage& page, const DibTransfer& t) {
    if (t.info == nullptr || t.bits == nullptr) return -1;
    const auto* info = static_cast<const std::uint8_t*>(t.info);
    std::int32_t width = 0, height = 0, bitCount = 0;
    bool topDown = false;
    std::array<std::array<std::uint8_t, 3>, 256> palette{};
    const std::uint32_t size = base::ReadLe32(info);
    if (size == 12) {
        width = base::ReadLe16(info + 4);
        height = base::ReadLe16(info + 6);
        bitCount = base::ReadLe16(info + 10);
        if (width < 1 || height < 1) return -1;
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return -1;
        for (std::int32_t i = 0; bitCount <= 8 && i < (1 << bitCount); ++i) {
            palette[std::size_t(i)] = {info[12 + 3 * i + 2], info[12 + 3 * i + 1], info[12 + 3 * i]};
        }
    } else {
        if (size < 40) return -1;
        width = std::int32_t(base::ReadLe32(info + 4));
        const auto h = std::int32_t(base::ReadLe32(info + 8));
        bitCount = base::ReadLe16(info + 14);
        if (base::ReadLe32(info + 16) != 0 || width < 1 || h == 0 || h == INT32_MIN) return -1;
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return -1;
        height = h < 0 ? -h : h;
        topDown = h < 0;
        if (bitCount <= 8) {
            std::uint32_t used = base::ReadLe32(info + 32);
            if (used == 0 || used > (1u << bitCount)) used = 1u << bitCount;
            for (std::uint32_t i = 0; i < used; ++i) {
                palette[i] = {info[size + 4 * i + 2], info[size + 4 * i + 1], info[size + 4 * i]};
            }
        }
    }
    const std::int64_t stride = (std::int64_t{width} * bitCount + 31) / 32 * 4;
    if (t.srcWidth <= 0 || t.srcHeight <= 0 || t.srcX < 0 || t.srcY < 0 ||
        std::int64_t{t.srcX} + t.srcWidth > width || std::int64_t{t.srcY} + t.srcHeight > height) {
        return -1;
    }
    if (t.destWidth < 0 || t.destHeight < 0) return -1;
    if (t.rop != platform::kRopSourceCopy && t.rop != platform::kRopSourceAnd) return -1;
    const auto* bits = static_cast<const std::uint8_t*>(t.bits);
    for (std::int64_t dy = 0; dy < t.destHeight; ++dy) {
        const std::int64_t py = t.destY + dy;
        if (py < 0 || py >= page.height) continue;
        const std::int64_t sy = SourceForDestination(dy, t.srcHeight, t.destHeight, Axis::Down);
        const std::int64_t fromBottom = std::int64_t{t.srcY} + t.srcHeight - 1 - sy;
        const std::uint8_t* in = bits + (topDown ? height - 1 - fromBottom : fromBottom) * stride;
        for (std::int64_t dx = 0; dx < t.destWidth; ++dx) {
            const std::int64_t px = t.destX + dx;
            if (px < 0 || px >= page.width) continue;
            const std::int64_t x = t.srcX + SourceForDestination(dx, t.srcWidth, t.destWidth, Axis::Across);
            std::array<std::uint8_t, 3> rgb;
            switch (bitCount) {
            case 24: rgb = {in[3 * x + 2], in[3 * x + 1], in[3 * x]}; break;
            case 8: rgb = palette[in[x]]; break;
            case 4: rgb = palette[(in[x / 2] >> (x % 2 ? 0 : 4)) & 0xF]; break;
            default: rgb = palette[(in[x / 8] >> (7 - x % 8)) & 1]; break;
            }
            std::uint8_t* p = page.Row(std::int32_t(py)) + 3 * px;
            for (int i = 0; i < 3; ++i) p[i] = t.rop == platform::kRopSourceCopy ? rgb[i] : p[i] & rgb[i];
        }
    }
    return t.srcHeight;
}

enum class Header { kBottomUp, kTopDown, kCore, kFewColours };

// A picture of random pixels and a random colour table.
struct Picture {
    std::vector<std::uint8_t> info;
    std::vector<std::uint8_t> bits;

    Picture(std::int32_t width, std::int32_t height, int bitCount, Header header, std::mt19937& random) {
        const bool core = header == Header::kCore;
        const std::size_t entry = core ? 3 : 4;
        info.assign((core ? 12 : 40) + entry * 256, 0);
        if (core) {
            base::WriteLe16(info.data(), 12);
            base::WriteLe16(info.data() + 4, std::uint16_t(width));
            base::WriteLe16(info.data() + 6, std::uint16_t(height));
            base::WriteLe16(info.data() + 8, 1);
            base::WriteLe16(info.data() + 10, std::uint16_t(bitCount));
        } else {
            base::WriteLe32(info.data(), 40);
            base::WriteLe32(info.data() + 4, std::uint32_t(width));
            base::WriteLe32(info.data() + 8, std::uint32_t(header == Header::kTopDown ? -height : height));
            base::WriteLe16(info.data() + 12, 1);
            base::WriteLe16(info.data() + 14, std::uint16_t(bitCount));
            if (header == Header::kFewColours && bitCount <= 8) base::WriteLe32(info.data() + 32, 1);
        }
        // Mostly black and white, as marks are, with some colour.
        for (std::size_t i = core ? 12 : 40; i < info.size(); ++i) {
            const unsigned r = random() % 4;
            info[i] = r == 0 ? 0 : r == 1 ? 255 : std::uint8_t(random());
        }
        const std::size_t stride = (std::size_t(width) * std::size_t(bitCount) + 31) / 32 * 4;
        bits.resize(stride * std::size_t(height));
        for (auto& b : bits) b = std::uint8_t(random());
    }
};

std::shared_ptr<RgbPage> NoisePage(std::int32_t width, std::int32_t height, std::mt19937& random) {
    auto page = MakeWhitePage(width, height, 600, 600);
    for (auto& b : page->rgb) b = (random() % 3) ? 255 : std::uint8_t(random());
    return page;
}

struct Case {
    const char* name;
    std::int32_t srcW, srcH;                // the picture
    std::int32_t srcX, srcY, useW, useH;    // the part of it drawn
    std::int32_t destX, destY, destW, destH;
    std::int32_t pageW, pageH;
};

const Case kCases[] = {
    {"same size", 19, 7, 0, 0, 19, 7, 3, 2, 19, 7, 40, 20},
    {"doubled", 23, 9, 0, 0, 23, 9, 1, 1, 46, 18, 60, 30},
    {"doubled, clipped on all sides", 23, 9, 0, 0, 23, 9, -5, -3, 46, 18, 30, 12},
    {"8.33 times", 7, 3, 0, 0, 7, 3, 2, 0, 58, 25, 64, 30},
    {"uneven enlargement", 13, 11, 0, 0, 13, 11, 0, 0, 31, 17, 40, 40},
    {"halved", 40, 22, 0, 0, 40, 22, 4, 4, 20, 11, 30, 30},
    {"uneven shrink", 37, 29, 0, 0, 37, 29, 0, 0, 15, 10, 20, 20},
    {"grown across, shrunk down", 17, 30, 0, 0, 17, 30, 2, 1, 50, 7, 60, 10},
    {"shrunk across, grown down", 45, 5, 0, 0, 45, 5, 2, 1, 9, 23, 12, 30},
    {"a part of the picture", 33, 21, 5, 3, 17, 11, 1, 2, 40, 30, 50, 40},
    {"one pixel onto many", 1, 1, 0, 0, 1, 1, 0, 0, 13, 9, 20, 20},
    {"a single column", 1, 12, 0, 0, 1, 12, 3, 0, 5, 30, 10, 40},
    {"a single row", 31, 1, 0, 0, 31, 1, 0, 3, 70, 2, 80, 6},
    {"off the right edge", 20, 8, 0, 0, 20, 8, 30, 0, 40, 16, 50, 20},
    {"entirely off the page", 20, 8, 0, 0, 20, 8, 60, 0, 40, 16, 50, 20},
    {"nothing to draw", 20, 8, 0, 0, 20, 8, 0, 0, 0, 16, 50, 20},
    {"a part, not from the top", 12, 40, 2, 17, 9, 20, 0, 0, 27, 40, 27, 40},
    {"water code on a 600-dpi page, clipped", 253, 13, 0, 0, 253, 13, 56, 42, 506, 26, 496, 60},
};

TEST(StretchDibOntoPage, AgreesWithThePlainTransferByteForByte) {
    std::mt19937 random(2024);
    for (const Case& c : kCases) {
        for (const int bitCount : {1, 4, 8, 24}) {
            for (const Header header : {Header::kBottomUp, Header::kTopDown, Header::kCore, Header::kFewColours}) {
                const Picture picture(c.srcW, c.srcH, bitCount, header, random);
                for (const std::uint32_t rop : {platform::kRopSourceCopy, platform::kRopSourceAnd}) {
                    DibTransfer t;
                    t.srcX = c.srcX;
                    t.srcY = c.srcY;
                    t.srcWidth = c.useW;
                    t.srcHeight = c.useH;
                    t.destX = c.destX;
                    t.destY = c.destY;
                    t.destWidth = c.destW;
                    t.destHeight = c.destH;
                    t.info = picture.info.data();
                    t.bits = picture.bits.data();
                    t.rop = rop;
                    const auto fast = NoisePage(c.pageW, c.pageH, random);
                    const auto plain = std::make_shared<RgbPage>(*fast);
                    const std::int32_t expected = PlainStretch(*plain, t);
                    ASSERT_EQ(StretchDibOntoPage(*fast, t), expected)
                        << c.name << ", " << bitCount << " bits, header " << int(header) << ", rop " << rop;
                    ASSERT_TRUE(fast->rgb == plain->rgb)
                        << c.name << ", " << bitCount << " bits, header " << int(header) << ", rop " << rop;
                }
            }
        }
    }
}

// Random shapes and placements beyond the table.
TEST(StretchDibOntoPage, AgreesWithThePlainTransferOnRandomPlacements) {
    std::mt19937 random(77);
    const int depths[] = {1, 4, 8, 24};
    const Header headers[] = {Header::kBottomUp, Header::kTopDown, Header::kCore, Header::kFewColours};
    for (int n = 0; n < 400; ++n) {
        const std::int32_t srcW = 1 + std::int32_t(random() % 70), srcH = 1 + std::int32_t(random() % 20);
        const int bitCount = depths[random() % 4];
        const Picture picture(srcW, srcH, bitCount, headers[random() % 4], random);
        DibTransfer t;
        t.srcX = std::int32_t(random() % std::uint32_t(srcW));
        t.srcY = std::int32_t(random() % std::uint32_t(srcH));
        t.srcWidth = 1 + std::int32_t(random() % std::uint32_t(srcW - t.srcX));
        t.srcHeight = 1 + std::int32_t(random() % std::uint32_t(srcH - t.srcY));
        t.destWidth = std::int32_t(random() % 150);
        t.destHeight = std::int32_t(random() % 40);
        t.destX = std::int32_t(random() % 120) - 30;
        t.destY = std::int32_t(random() % 40) - 10;
        t.info = picture.info.data();
        t.bits = picture.bits.data();
        t.rop = random() % 2 ? platform::kRopSourceCopy : platform::kRopSourceAnd;
        const auto fast = NoisePage(1 + std::int32_t(random() % 100), 1 + std::int32_t(random() % 30), random);
        const auto plain = std::make_shared<RgbPage>(*fast);
        const std::int32_t expected = PlainStretch(*plain, t);
        ASSERT_EQ(StretchDibOntoPage(*fast, t), expected) << "case " << n;
        ASSERT_TRUE(fast->rgb == plain->rgb) << "case " << n;
    }
}

}  // namespace
}  // namespace zeseal::raster
