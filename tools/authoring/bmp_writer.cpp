#include "authoring/bmp_writer.h"

#include <cmath>
#include <stdexcept>

#include "base/byte_order.h"

namespace zeseal::authoring {

std::vector<std::uint8_t> EncodeIndexedBmp(const IndexedPicture& p) {
    if (p.width < 1 || p.height < 1 || p.width > 20000 || p.height > 20000) {
        throw std::invalid_argument("picture size out of range");
    }
    if (p.bitsPerPixel != 1 && p.bitsPerPixel != 8) {
        throw std::invalid_argument("only 1- and 8-bit pictures are written");
    }
    const std::size_t entries = std::size_t{1} << p.bitsPerPixel;
    if (p.palette.size() > entries) throw std::invalid_argument("palette too large for the depth");
    if (p.indices.size() != std::size_t(p.width) * std::size_t(p.height)) {
        throw std::invalid_argument("index count does not match the size");
    }
    for (const std::uint8_t i : p.indices) {
        if (i >= p.palette.size()) throw std::invalid_argument("index outside the palette");
    }

    const std::size_t stride = (std::size_t(p.width) * std::size_t(p.bitsPerPixel) + 31) / 32 * 4;
    const std::size_t pixelOffset = 14 + 40 + 4 * entries;
    std::vector<std::uint8_t> out(pixelOffset + stride * std::size_t(p.height), 0);
    out[0] = 'B';
    out[1] = 'M';
    base::WriteLe32(&out[2], static_cast<std::uint32_t>(out.size()));
    base::WriteLe32(&out[10], static_cast<std::uint32_t>(pixelOffset));
    base::WriteLe32(&out[14], 40);
    base::WriteLe32(&out[18], static_cast<std::uint32_t>(p.width));
    base::WriteLe32(&out[22], static_cast<std::uint32_t>(p.height));
    base::WriteLe16(&out[26], 1);
    base::WriteLe16(&out[28], static_cast<std::uint16_t>(p.bitsPerPixel));
    const auto perMetre = static_cast<std::uint32_t>(std::lround(p.dotsPerInch / 0.0254));
    base::WriteLe32(&out[38], perMetre);
    base::WriteLe32(&out[42], perMetre);
    for (std::size_t i = 0; i < p.palette.size(); ++i) {
        out[54 + 4 * i] = p.palette[i][2];
        out[54 + 4 * i + 1] = p.palette[i][1];
        out[54 + 4 * i + 2] = p.palette[i][0];
    }
    for (std::int32_t row = 0; row < p.height; ++row) {
        std::uint8_t* line = out.data() + pixelOffset + std::size_t(p.height - 1 - row) * stride;
        const std::uint8_t* in = p.indices.data() + std::size_t(row) * std::size_t(p.width);
        for (std::int32_t x = 0; x < p.width; ++x) {
            if (p.bitsPerPixel == 8) {
                line[x] = in[x];
            } else if (in[x] != 0) {
                line[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
            }
        }
    }
    return out;
}

}  // namespace zeseal::authoring
