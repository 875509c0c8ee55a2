#include "raster/stretch_dib.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "base/byte_order.h"
#include "frame/frame_heap.h"

namespace zeseal::raster {
namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

struct DibSource {
    std::int32_t width = 0;
    std::int32_t height = 0;  // absolute
    bool topDown = false;
    std::int32_t bitCount = 0;
    std::int64_t stride = 0;
    std::array<std::array<std::uint8_t, 3>, 256> palette{};  // red, green, blue
};

// The 12-byte core header: 16-bit width, height and bit count, rows always
// bottom-up, a full colour table of 3-byte (blue, green, red) entries.
bool ParseCoreHeader(const std::uint8_t* info, DibSource& src) {
    const std::int32_t width = base::ReadLe16(info + 4);
    const std::int32_t height = base::ReadLe16(info + 6);
    const std::uint16_t bitCount = base::ReadLe16(info + 10);
    if (width < 1 || height < 1) return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return false;
    src.width = width;
    src.height = height;
    src.topDown = false;
    src.bitCount = bitCount;
    src.stride = (std::int64_t{width} * bitCount + 31) / 32 * 4;
    if (bitCount <= 8) {
        const std::uint8_t* table = info + 12;
        for (std::uint32_t i = 0; i < (1u << bitCount); ++i) {
            src.palette[i] = {table[3 * i + 2], table[3 * i + 1], table[3 * i]};
        }
    }
    return true;
}

bool ParseHeader(const std::uint8_t* info, DibSource& src) {
    const std::uint32_t size = base::ReadLe32(info);
    if (size == 12) return ParseCoreHeader(info, src);
    if (size < 40) return false;
    const auto width = static_cast<std::int32_t>(base::ReadLe32(info + 4));
    const auto height = static_cast<std::int32_t>(base::ReadLe32(info + 8));
    const std::uint16_t bitCount = base::ReadLe16(info + 14);
    const std::uint32_t compression = base::ReadLe32(info + 16);
    if (compression != 0 || width < 1 || height == 0 || height == INT32_MIN) return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return false;
    src.width = width;
    src.height = height < 0 ? -height : height;
    src.topDown = height < 0;
    src.bitCount = bitCount;
    src.stride = (std::int64_t{width} * bitCount + 31) / 32 * 4;
    if (bitCount <= 8) {
        const std::uint32_t maxColours = 1u << bitCount;
        std::uint32_t used = base::ReadLe32(info + 32);
        if (used == 0 || used > maxColours) used = maxColours;
        const std::uint8_t* table = info + size;
        for (std::uint32_t i = 0; i < used; ++i) {
            src.palette[i] = {table[4 * i + 2], table[4 * i + 1], table[4 * i]};
        }
    }
    return true;
}

// The colour table as red, green and blue in the low three bytes of a word
// in memory order, so that a pixel is stored with one four-byte write.
using PackedPalette = std::array<std::uint32_t, 256>;

PackedPalette PackPalette(const DibSource& src) {
    PackedPalette packed{};
    for (std::size_t i = 0; i < packed.size(); ++i) {
        const std::uint8_t bytes[4] = {src.palette[i][0], src.palette[i][1], src.palette[i][2], 0};
        std::memcpy(&packed[i], bytes, 4);
    }
    return packed;
}

// The bytes past a line's last triple that the eight-byte writes of
// ExpandRow may touch.
constexpr std::size_t kLineSlack = 8;

// A run of destination columns that show the same source column.
struct ColumnRun {
    std::int32_t x;      // the source column, counted from the stored row's start
    std::int32_t count;  // how many destination columns in a row show it
};

// The runs of columns, in storage as long as columns (the most runs there
// can be); runCount gets how many there are.
frame::HeapBlock ColumnRuns(std::span<const std::int32_t> columns, std::size_t& runCount) {
    frame::HeapBlock block(columns.size() * sizeof(ColumnRun));
    runCount = 0;
    if (!block) return block;
    auto* runs = reinterpret_cast<ColumnRun*>(block.data());
    for (const std::int32_t x : columns) {
        if (runCount != 0 && runs[runCount - 1].x == x) ++runs[runCount - 1].count;
        else runs[runCount++] = {x, 1};
    }
    return block;
}

// Writes the RGB triples of one row, run by run, from the stored row in for
// one depth: each source pixel is read and looked up once, however many
// columns show it. out has kLineSlack bytes of room past the last triple.
template <int kBitCount>
void ExpandRowOfDepth(const std::uint8_t* in, std::span<const ColumnRun> runs,
                      const PackedPalette& palette, std::uint8_t* out) {
    for (const ColumnRun& run : runs) {
        const std::size_t x = static_cast<std::size_t>(run.x);
        std::uint32_t colour;
        if constexpr (kBitCount == 24) {
            const std::uint8_t bytes[4] = {in[3 * x + 2], in[3 * x + 1], in[3 * x], 0};
            std::memcpy(&colour, bytes, 4);
        } else if constexpr (kBitCount == 8) {
            colour = palette[in[x]];
        } else if constexpr (kBitCount == 4) {
            colour = palette[(in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu];
        } else {
            colour = palette[(in[x >> 3] >> (7 - (x & 7))) & 1u];
        }
        // The first two pixels of a run in one eight-byte write (most runs
        // are one or two pixels long), the rest one by one.
        const std::uint64_t twice = std::uint64_t{colour} | std::uint64_t{colour} << 24;
        std::memcpy(out, &twice, 8);
        for (std::int32_t k = 2; k < run.count; ++k) std::memcpy(out + 3 * k, &colour, 4);
        out += 3 * static_cast<std::size_t>(run.count);
    }
}

void ExpandRow(std::int32_t bitCount, const std::uint8_t* in, std::span<const ColumnRun> runs,
               const PackedPalette& palette, std::uint8_t* out) {
    switch (bitCount) {
    case 24: ExpandRowOfDepth<24>(in, runs, palette, out); break;
    case 8: ExpandRowOfDepth<8>(in, runs, palette, out); break;
    case 4: ExpandRowOfDepth<4>(in, runs, palette, out); break;
    default: ExpandRowOfDepth<1>(in, runs, palette, out); break;
    }
}

// out[i] &= line[i] for count bytes, a machine word at a time.
void AndInto(std::uint8_t* out, const std::uint8_t* line, std::size_t count) {
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        std::uint64_t a[2], b[2];
        std::memcpy(a, out + i, 16);
        std::memcpy(b, line + i, 16);
        a[0] &= b[0];
        a[1] &= b[1];
        std::memcpy(out + i, a, 16);
    }
    for (; i < count; ++i) out[i] &= line[i];
}

// Destination pixels [first, last) of one axis and the source each shows,
// plus offset. An empty block when memory runs out.
frame::HeapBlock AxisMap(std::int32_t first, std::int32_t last, std::int64_t sourceCount,
                         std::int64_t destCount, Axis axis, std::int32_t offset) {
    frame::HeapBlock map(std::size_t(last - first) * sizeof(std::int32_t));
    if (!map) return map;
    auto* source = reinterpret_cast<std::int32_t*>(map.data());
    for (std::int32_t d = first; d < last; ++d) {
        *source++ = static_cast<std::int32_t>(SourceForDestination(d, sourceCount, destCount, axis)) + offset;
    }
    return map;
}

}  // namespace

std::int64_t SourceForDestination(std::int64_t d, std::int64_t sourceCount, std::int64_t destCount,
                                  Axis axis) noexcept {
    const std::int64_t s = sourceCount;
    const std::int64_t dd = destCount;
    if (dd >= s) {
        // ceil((2d + 1) S / 2D) - 1
        return ((2 * d + 1) * s + 2 * dd - 1) / (2 * dd) - 1;
    }
    if (axis == Axis::Across) {
        // The largest s with (2s + 1) D <= 2S (d + 1).
        return FloorDiv(2 * s * (d + 1) - dd, 2 * dd);
    }
    // The smallest s with (2s + 1) D > 2S d.
    return FloorDiv(2 * s * d - dd, 2 * dd) + 1;
}

std::int32_t StretchDibOntoPage(RgbPage& page, const platform::DibTransfer& t) {
    if (t.info == nullptr || t.bits == nullptr) return -1;
    DibSource src;
    if (!ParseHeader(static_cast<const std::uint8_t*>(t.info), src)) return -1;
    if (t.srcWidth <= 0 || t.srcHeight <= 0 || t.srcX < 0 || t.srcY < 0 ||
        std::int64_t{t.srcX} + t.srcWidth > src.width ||
        std::int64_t{t.srcY} + t.srcHeight > src.height) {
        return -1;
    }
    if (t.destWidth < 0 || t.destHeight < 0) return -1;
    if (t.rop != platform::kRopSourceCopy && t.rop != platform::kRopSourceAnd) return -1;
    if (t.destWidth == 0 || t.destHeight == 0) return t.srcHeight;

    // The visible part of the destination rectangle.
    const std::int64_t x0 = std::max<std::int64_t>(0, -std::int64_t{t.destX});
    const std::int64_t x1 = std::min<std::int64_t>(t.destWidth, std::int64_t{page.width} - t.destX);
    const std::int64_t y0 = std::max<std::int64_t>(0, -std::int64_t{t.destY});
    const std::int64_t y1 = std::min<std::int64_t>(t.destHeight, std::int64_t{page.height} - t.destY);
    if (x0 >= x1 || y0 >= y1) return t.srcHeight;

    // Scratch storage lives in frame heap blocks: the transfer reads the
    // caller's pixels, and a fault caught there must not lose it.
    // The source column of every visible destination column, worked out once
    // and gathered into runs.
    const auto colCount = std::size_t(x1 - x0);
    const auto rowCount = std::size_t(y1 - y0);
    const frame::HeapBlock colMap =
        AxisMap(std::int32_t(x0), std::int32_t(x1), t.srcWidth, t.destWidth, Axis::Across, t.srcX);
    if (!colMap) return -1;
    std::size_t runCount = 0;
    const frame::HeapBlock runBlock =
        ColumnRuns({reinterpret_cast<const std::int32_t*>(colMap.data()), colCount}, runCount);
    const frame::HeapBlock rowMap =
        AxisMap(std::int32_t(y0), std::int32_t(y1), t.srcHeight, t.destHeight, Axis::Down, 0);
    // One source row is scaled once into an RGB line, then copied or ANDed
    // into every destination row that shows it.
    const std::size_t lineBytes = colCount * 3;
    const frame::HeapBlock lineBlock(lineBytes + kLineSlack);
    if (!runBlock || !rowMap || !lineBlock) return -1;
    const std::span runs(reinterpret_cast<const ColumnRun*>(runBlock.data()), runCount);
    const std::span rows(reinterpret_cast<const std::int32_t*>(rowMap.data()), rowCount);
    std::uint8_t* const line = lineBlock.data();
    const auto* bits = static_cast<const std::uint8_t*>(t.bits);
    const PackedPalette palette = PackPalette(src);

    std::int32_t lineSource = -1;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::int32_t sourceRow = rows[r];
        if (sourceRow != lineSource) {
            // sourceRow counts from the top of the source rectangle.
            const std::int64_t fromBottom = std::int64_t{t.srcY} + t.srcHeight - 1 - sourceRow;
            const std::int64_t stored = src.topDown ? src.height - 1 - fromBottom : fromBottom;
            ExpandRow(src.bitCount, bits + stored * src.stride, runs, palette, line);
            lineSource = sourceRow;
        }
        std::uint8_t* out = page.Row(t.destY + std::int32_t(y0 + std::int64_t(r))) + (t.destX + x0) * 3;
        if (t.rop == platform::kRopSourceCopy) {
            std::memcpy(out, line, lineBytes);
        } else {
            AndInto(out, line, lineBytes);
        }
    }
    return t.srcHeight;
}

}  // namespace zeseal::raster
