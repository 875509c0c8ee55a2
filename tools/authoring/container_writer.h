// Authoring side of the mark formats, which the library itself only reads:
// Base64 encoding, the compressed image container and the MarkRaster header.
// Used by the zeseal tool, the tests, the fuzz seeds and the benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zeseal::authoring {

// Standard Base64 (RFC 4648 section 4) with "=" padding.
std::string EncodeBase64(std::span<const std::uint8_t> bytes);

// The most picture bytes one chunk may carry (its inflated size, terminator
// included, is at most 45000).
inline constexpr std::size_t kMaxChunkShare = 44999;

// Packs a picture into a container: its length, then zlib chunks of at most
// maxShare picture bytes (each followed by a terminator byte before
// compression) whose compressed size stays within 30000 bytes, then a zero
// chunk length. maxShare is clamped to 1..kMaxChunkShare.
std::vector<std::uint8_t> PackContainer(std::span<const std::uint8_t> picture,
                                        std::size_t maxShare = kMaxChunkShare);

// A MarkRaster: width, height and bits per pixel as big-endian words, then
// the packed rows, top row first.
std::vector<std::uint8_t> MakeMarkRaster(std::int32_t width, std::int32_t height,
                                         std::int32_t bitsPerPixel,
                                         std::span<const std::uint8_t> rows);

// Appends a big-endian 32-bit word.
void AppendBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value);

}  // namespace zeseal::authoring
