// The compressed image container: a big-endian total length followed by a
// chain of length-prefixed zlib streams. Each stream inflates to its share of
// the picture plus one terminator byte, which is dropped.
#pragma once

#include <cstdint>

namespace zeseal::codec {

inline constexpr std::int32_t kChunkBufferSize = 30000;    // most compressed bytes per chunk
inline constexpr std::int32_t kInflateBufferSize = 45000;  // most inflated bytes per chunk

// Results of DecodeImageContainer besides 0 and zlib's own codes (-2 to -6).
inline constexpr std::int32_t kContainerNoMemory = -100;
inline constexpr std::int32_t kContainerNegativeChunk = -101;
inline constexpr std::int32_t kContainerBadTotal = -102;
inline constexpr std::int32_t kContainerChunkTooLong = -103;     // above kChunkBufferSize
inline constexpr std::int32_t kContainerChunkPastEnd = -104;     // reaches past the input
inline constexpr std::int32_t kContainerEmptyChunk = -105;       // inflates to no bytes
inline constexpr std::int32_t kContainerExceedsTotal = -106;     // more bytes than stated
inline constexpr std::int32_t kContainerTruncatedHeader = -107;  // shorter than two words

// Decodes a container of inputLength bytes into out, which holds at least the
// container's total length, and stores the picture's length in *outLength.
// On any result but 0, out and *outLength are left untouched. Uses the
// fastest inflater the build carries.
std::int32_t DecodeImageContainer(std::uint8_t* out, std::uint32_t* outLength,
                                  const std::uint8_t* input, std::uint32_t inputLength) noexcept;

// The inflaters a build may carry: zlib always; libdeflate in POSIX builds
// that found it. Both give the same pictures and the same results (zlib's
// codes): a stream libdeflate refuses is inflated again by zlib for its
// exact answer.
enum class Inflater { kZlib, kLibdeflate };

bool HasInflater(Inflater inflater) noexcept;

// DecodeImageContainer with the given inflater; one the build lacks is
// replaced by zlib.
std::int32_t DecodeImageContainerWith(Inflater inflater, std::uint8_t* out,
                                      std::uint32_t* outLength, const std::uint8_t* input,
                                      std::uint32_t inputLength) noexcept;

// The result code of a watermark or water-code export for a decoder result,
// given the family's base code (2000 or 3000).
std::int32_t ContainerResultCode(std::int32_t familyBase, std::int32_t decoderResult) noexcept;

}  // namespace zeseal::codec
