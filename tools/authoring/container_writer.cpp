#include "authoring/container_writer.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "base/byte_order.h"

namespace zeseal::authoring {

std::string EncodeBase64(std::span<const std::uint8_t> bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t v = (std::uint32_t{bytes[i]} << 16) | (std::uint32_t{bytes[i + 1]} << 8) |
                                bytes[i + 2];
        text += kAlphabet[v >> 18];
        text += kAlphabet[(v >> 12) & 63];
        text += kAlphabet[(v >> 6) & 63];
        text += kAlphabet[v & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest != 0) {
        std::uint32_t v = std::uint32_t{bytes[i]} << 16;
        if (rest == 2) v |= std::uint32_t{bytes[i + 1]} << 8;
        text += kAlphabet[v >> 18];
        text += kAlphabet[(v >> 12) & 63];
        text += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        text += '=';
    }
    return text;
}

void AppendBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.resize(out.size() + 4);
    base::WriteBe32(out.data() + out.size() - 4, value);
}

namespace {

std::vector<std::uint8_t> CompressShare(std::span<const std::uint8_t> share) {
    std::vector<std::uint8_t> plain(share.begin(), share.end());
    plain.push_back(0);  // the terminator the decoder drops
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    std::vector<std::uint8_t> packed(size);
    if (compress2(packed.data(), &size, plain.data(), static_cast<uLong>(plain.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("zlib could not compress a chunk");
    }
    packed.resize(size);
    return packed;
}

// The most compressed bytes one chunk may hold.
constexpr std::size_t kMaxCompressedChunk = 30000;

}  // namespace

std::vector<std::uint8_t> PackContainer(std::span<const std::uint8_t> picture,
                                        std::size_t maxShare) {
    if (picture.size() > 0x7FFFFFFF) throw std::length_error("picture too large for a container");
    maxShare = std::clamp<std::size_t>(maxShare, 1, kMaxChunkShare);
    std::vector<std::uint8_t> out;
    AppendBigEndian32(out, static_cast<std::uint32_t>(picture.size()));
    std::size_t at = 0;
    while (at < picture.size()) {
        std::size_t share = std::min(maxShare, picture.size() - at);
        std::vector<std::uint8_t> packed = CompressShare(picture.subspan(at, share));
        // Incompressible data: shrink the share until the chunk fits.
        while (packed.size() > kMaxCompressedChunk) {
            share = std::max<std::size_t>(1, share * kMaxCompressedChunk / packed.size() * 97 / 100);
            packed = CompressShare(picture.subspan(at, share));
        }
        AppendBigEndian32(out, static_cast<std::uint32_t>(packed.size()));
        out.insert(out.end(), packed.begin(), packed.end());
        at += share;
    }
    AppendBigEndian32(out, 0);
    return out;
}

std::vector<std::uint8_t> MakeMarkRaster(std::int32_t width, std::int32_t height,
                                         std::int32_t bitsPerPixel,
                                         std::span<const std::uint8_t> rows) {
    std::vector<std::uint8_t> out;
    out.reserve(12 + rows.size());
    AppendBigEndian32(out, static_cast<std::uint32_t>(width));
    AppendBigEndian32(out, static_cast<std::uint32_t>(height));
    AppendBigEndian32(out, static_cast<std::uint32_t>(bitsPerPixel));
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

}  // namespace zeseal::authoring
