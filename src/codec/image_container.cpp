#include "codec/image_container.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
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

// zlib's storage comes from the frame heap: a fault caught while inflate
// reads the caller's buffer frees it with the frame, and a refused
// allocation reaches zlib as it reaches the rest of the library.
voidpf FrameAlloc(voidpf, uInt items, uInt size) noexcept {
    if (size != 0 && items > SIZE_MAX / size) return Z_NULL;
    return frame::AllocateZeroed(std::size_t{items} * size);
}

void FrameFree(voidpf, voidpf block) noexcept { frame::ReleaseBlock(block); }

// Inflates one zlib stream of sourceLength bytes into dest, which holds
// kInflateBufferSize bytes, and stores the inflated length in *destLength.
// Returns zlib's result as its one-call uncompress() would (0 on success;
// -5 when the stream inflates to more than kInflateBufferSize bytes, -3 when
// it is damaged or cut short, -4 without memory).
std::int32_t InflateChunkZlib(std::uint8_t* dest, std::uint32_t* destLength, const std::uint8_t* source,
                          std::int32_t sourceLength) noexcept {
    z_stream stream = {};
    stream.zalloc = &FrameAlloc;
    stream.zfree = &FrameFree;
    stream.opaque = Z_NULL;
    stream.next_in = const_cast<Bytef*>(source);
    stream.avail_in = static_cast<uInt>(sourceLength);
    int result = inflateInit(&stream);
    if (result != Z_OK) return result;
    stream.next_out = dest;
    stream.avail_out = kInflateBufferSize;
    do {
        result = inflate(&stream, Z_NO_FLUSH);
    } while (result == Z_OK);
    const uLong inflated = stream.total_out;
    const uInt roomLeft = stream.avail_out;
    inflateEnd(&stream);
    if (result == Z_STREAM_END) {
        *destLength = static_cast<std::uint32_t>(inflated);
        return Z_OK;
    }
    if (result == Z_NEED_DICT) return Z_DATA_ERROR;
    // Out of input with room to spare: the stream was cut short.
    if (result == Z_BUF_ERROR && roomLeft != 0) return Z_DATA_ERROR;
    return result;
}

// libdeflate's decompressor, one for a whole container. libdeflate
// allocates with malloc, out of the frame's reach, so the decompressor
// lives only while the decoding reads memory that cannot fault: a
// frame-owned copy of the container, never the caller's bytes.
class Decompressor {
public:
#if ZESEAL_HAVE_LIBDEFLATE
    explicit Decompressor(bool wanted) noexcept
        : decompressor_(wanted ? libdeflate_alloc_decompressor() : nullptr) {}
    ~Decompressor() {
        if (decompressor_ != nullptr) libdeflate_free_decompressor(decompressor_);
    }
#else
    explicit Decompressor(bool) noexcept {}
#endif
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    // As InflateChunkZlib, with its results: through libdeflate when there
    // is a decompressor (without memory for one, zlib takes over and meets
    // the shortage itself), and through zlib where libdeflate refuses a
    // stream, so that zlib names the fault, and may still take the stream.
    std::int32_t Inflate(std::uint8_t* dest, std::uint32_t* destLength, const std::uint8_t* source,
                         std::int32_t sourceLength) const noexcept {
#if ZESEAL_HAVE_LIBDEFLATE
        if (decompressor_ != nullptr) {
            std::size_t inflated = 0;
            const libdeflate_result result = libdeflate_zlib_decompress(
                decompressor_, source, static_cast<std::size_t>(sourceLength), dest, kInflateBufferSize, &inflated);
            if (result == LIBDEFLATE_SUCCESS) {
                *destLength = static_cast<std::uint32_t>(inflated);
                return Z_OK;
            }
        }
#endif
        return InflateChunkZlib(dest, destLength, source, sourceLength);
    }

private:
#if ZESEAL_HAVE_LIBDEFLATE
    libdeflate_decompressor* decompressor_;
#endif
};

// Decodes the chunks of input (after its total) into picture. copied: input
// is a frame-owned copy, which libdeflate may read.
std::int32_t DecodeChunks(Inflater inflater, bool copied, const std::uint8_t* input, std::uint32_t inputLength,
                          std::uint32_t totalLength, Accumulator& picture) noexcept {
    frame::HeapBlock inflated(kInflateBufferSize);
    if (!inflated) return kContainerNoMemory;
    const Decompressor decompressor(inflater == Inflater::kLibdeflate && copied);
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
        const std::int32_t result = decompressor.Inflate(dest, &inflatedLength, input + p, chunkLength);
        if (result != Z_OK) return result;
        p += static_cast<std::uint32_t>(chunkLength);
        if (inflatedLength == 0) return kContainerEmptyChunk;

        const std::uint32_t share = inflatedLength - 1;  // drop the terminator
        if (share > totalLength - picture.length()) return kContainerExceedsTotal;
        if (inPlace != nullptr) {
            picture.Commit(share);
        } else if (!picture.Append(inflated.data(), share)) {
            return kContainerNoMemory;
        }
        if (p >= inputLength) break;
    }
    return 0;
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
    // libdeflate reads a copy of the container; without memory for one,
    // zlib inflates.
    frame::HeapBlock copy;
    if (inflater == Inflater::kLibdeflate && HasInflater(Inflater::kLibdeflate)) {
        copy = frame::HeapBlock(inputLength);
        if (copy) {
            std::memcpy(copy.data(), input, inputLength);
            input = copy.data();
        }
    }
    // One block for the whole picture: chunks then inflate straight into it.
    picture.Reserve(CarriedBytes(input, inputLength));
    const std::int32_t result = DecodeChunks(inflater, static_cast<bool>(copy), input, inputLength,
                                             static_cast<std::uint32_t>(totalLength), picture);
    if (result != 0) return result;

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
