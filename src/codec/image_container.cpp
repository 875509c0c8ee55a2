#include "codec/image_container.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

// Set to 1 by the build where libdeflate was found (POSIX only).
#ifndef ZESEAL_HAVE_LIBDEFLATE
#define ZESEAL_HAVE_LIBDEFLATE 0
#endif
#if ZESEAL_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include "base/byte_order.h"
#include "frame/frame_heap.h"

namespace zeseal::codec {
namespace {

// The picture as it grows. It starts from what the chunks can carry, or
// small, and doubles up to the stated total, so a container that states a
// huge total but carries little costs only what it carries.
class Accumulator {
public:
    explicit Accumulator(std::uint32_t total) noexcept : total_(total) {}

    // Takes a block for capacity bytes at once, when there is memory for it;
    // without, the picture grows step by step as it arrives.
    void Reserve(std::uint32_t capacity) noexcept {
        if (capacity == 0) return;
        frame::HeapBlock block(std::min(capacity, total_));
        if (block) block_ = std::move(block);
    }

    // Where count more bytes can be written in place, or nullptr when the
    // block lacks the room.
    std::uint8_t* Room(std::uint32_t count) noexcept {
        return block_.size() - length_ >= count ? block_.data() + length_ : nullptr;
    }

    // Takes count bytes written at Room(count) into the picture.
    void Commit(std::uint32_t count) noexcept { length_ += count; }

    bool Append(const std::uint8_t* bytes, std::uint32_t count) noexcept {
        if (count == 0) return true;
        const std::uint32_t needed = length_ + count;
        if (needed > block_.size()) {
            std::size_t capacity = std::max<std::size_t>(block_.size() * 2, 64 * 1024);
            capacity = std::min<std::size_t>(std::max<std::size_t>(capacity, needed), total_);
            frame::HeapBlock grown(capacity);
            if (!grown) return false;
            if (length_ != 0) std::memcpy(grown.data(), block_.data(), length_);
            block_ = std::move(grown);
        }
        std::memcpy(block_.data() + length_, bytes, count);
        length_ = needed;
        return true;
    }

    std::uint32_t length() const noexcept { return length_; }
    const std::uint8_t* data() const noexcept { return block_.data(); }

private:
    std::uint32_t total_;
    std::uint32_t length_ = 0;
    frame::HeapBlock block_;
};

// The most picture bytes the chunks of a container can carry, read from
// their length words alone: each chunk's share is below kInflateBufferSize,
// and deflate expands a byte to at most 1032. The walk stops where the
// decoding would stop or fail.
std::uint32_t CarriedBytes(const std::uint8_t* input, std::uint32_t inputLength) noexcept {
    std::uint64_t carried = 0;
    for (std::uint32_t p = 4; inputLength - p >= 4;) {
        const std::int32_t chunkLength = static_cast<std::int32_t>(base::ReadBe32(input + p));
        p += 4;
        if (chunkLength <= 0 || chunkLength > kChunkBufferSize) break;
        if (static_cast<std::uint32_t>(chunkLength) > inputLength - p) break;
        carried += std::min<std::uint64_t>(kInflateBufferSize - 1, 1032ull * std::uint64_t(chunkLength));
        p += static_cast<std::uint32_t>(chunkLength);
        if (p >= inputLength || carried >= 0xFFFFFFFFu) break;
    }
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(carried, 0xFFFFFFFFu));
}

// Inflates one zlib stream of sourceLength bytes into dest, which holds
// kInflateBufferSize bytes, and stores the inflated length in *destLength.
// Returns zlib's result (0 on success; -5 when the stream inflates to more
// than kInflateBufferSize bytes, -3 when it is damaged or cut short).
std::int32_t InflateChunkZlib(std::uint8_t* dest, std::uint32_t* destLength, const std::uint8_t* source,
                              std::int32_t sourceLength) noexcept {
    uLongf inflated = kInflateBufferSize;
    const int result = uncompress(dest, &inflated, source, static_cast<uLong>(sourceLength));
    if (result == Z_OK) *destLength = static_cast<std::uint32_t>(inflated);
    return result;
}

// As InflateChunkZlib, with its results, through libdeflate where the build
// has it and it was asked for. Its decompressor lives for one chunk, as
// zlib's state does in uncompress, so that a fault frame leaving the
// decoding between chunks leaves no block of it behind.
std::int32_t InflateChunk(Inflater inflater, std::uint8_t* dest, std::uint32_t* destLength,
                          const std::uint8_t* source, std::int32_t sourceLength) noexcept {
#if ZESEAL_HAVE_LIBDEFLATE
    // Without memory for the decompressor, zlib takes over and meets the
    // shortage itself.
    libdeflate_decompressor* decompressor =
        inflater == Inflater::kLibdeflate ? libdeflate_alloc_decompressor() : nullptr;
    if (decompressor != nullptr) {
        std::size_t inflated = 0;
        const libdeflate_result result =
            libdeflate_zlib_decompress(decompressor, source, static_cast<std::size_t>(sourceLength), dest,
                                       kInflateBufferSize, &inflated);
        libdeflate_free_decompressor(decompressor);
        if (result == LIBDEFLATE_SUCCESS) {
            *destLength = static_cast<std::uint32_t>(inflated);
            return Z_OK;
        }
        // A damaged stream: zlib names the fault, and may still take a
        // stream libdeflate refused.
    }
#else
    (void)inflater;
#endif
    return InflateChunkZlib(dest, destLength, source, sourceLength);
}

}  // namespace

bool HasInflater(Inflater inflater) noexcept {
    return inflater == Inflater::kZlib || ZESEAL_HAVE_LIBDEFLATE;
}

std::int32_t DecodeImageContainer(std::uint8_t* out, std::uint32_t* outLength,
                                  const std::uint8_t* input, std::uint32_t inputLength) noexcept {
    return DecodeImageContainerWith(Inflater::kLibdeflate, out, outLength, input, inputLength);
}

std::int32_t DecodeImageContainerWith(Inflater inflater, std::uint8_t* out,
                                      std::uint32_t* outLength, const std::uint8_t* input,
                                      std::uint32_t inputLength) noexcept {
    if (inputLength < 4) return kContainerTruncatedHeader;
    const std::int32_t totalLength = static_cast<std::int32_t>(base::ReadBe32(input));
    if (totalLength < 1) return kContainerBadTotal;
    if (inputLength < 8) return kContainerTruncatedHeader;

    Accumulator picture(static_cast<std::uint32_t>(totalLength));
    frame::HeapBlock inflated(kInflateBufferSize);
    if (!inflated) return kContainerNoMemory;
    // One block for the whole picture: chunks then inflate straight into it.
    picture.Reserve(CarriedBytes(input, inputLength));

    std::uint32_t p = 4;
    for (;;) {
        if (inputLength - p < 4) return kContainerChunkPastEnd;
        const std::int32_t chunkLength = static_cast<std::int32_t>(base::ReadBe32(input + p));
        p += 4;
        if (chunkLength < 0) return kContainerNegativeChunk;
        if (chunkLength == 0) break;
        if (chunkLength > kChunkBufferSize) return kContainerChunkTooLong;
        if (static_cast<std::uint32_t>(chunkLength) > inputLength - p) return kContainerChunkPastEnd;

        // In place where the picture's block has room for the most a chunk
        // inflates to; what lands past the picture is not part of it until
        // it is committed.
        std::uint8_t* inPlace = picture.Room(kInflateBufferSize);
        std::uint8_t* dest = inPlace != nullptr ? inPlace : inflated.data();
        std::uint32_t inflatedLength = 0;
        const std::int32_t result = InflateChunk(inflater, dest, &inflatedLength, input + p, chunkLength);
        if (result != Z_OK) return result;
        p += static_cast<std::uint32_t>(chunkLength);
        if (inflatedLength == 0) return kContainerEmptyChunk;

        const std::uint32_t share = inflatedLength - 1;  // drop the terminator
        if (share > static_cast<std::uint32_t>(totalLength) - picture.length()) {
            return kContainerExceedsTotal;
        }
        if (inPlace != nullptr) {
            picture.Commit(share);
        } else if (!picture.Append(inflated.data(), share)) {
            return kContainerNoMemory;
        }
        if (p >= inputLength) break;
    }

    if (picture.length() != 0) std::memcpy(out, picture.data(), picture.length());
    *outLength = picture.length();
    return 0;
}

std::int32_t ContainerResultCode(std::int32_t familyBase, std::int32_t decoderResult) noexcept {
    switch (decoderResult) {
    case 0: return 0;
    case kContainerNoMemory: return familyBase + 3;
    case kContainerNegativeChunk: return familyBase + 4;
    case kContainerBadTotal: return familyBase + 5;
    default: return familyBase;  // zlib failures and unusable containers
    }
}

}  // namespace zeseal::codec
