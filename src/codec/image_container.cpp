#include "codec/image_container.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/byte_order.h"
#include "frame/frame_heap.h"

namespace zeseal::codec {
namespace {

// The picture as it grows. It starts small and doubles up to the stated
// total, so a container that states a huge total but carries little costs
// only what it carries.
class Accumulator {
public:
    explicit Accumulator(std::uint32_t total) noexcept : total_(total) {}

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
std::int32_t InflateChunk(std::uint8_t* dest, std::uint32_t* destLength, const std::uint8_t* source,
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

}  // namespace

std::int32_t DecodeImageContainer(std::uint8_t* out, std::uint32_t* outLength,
                                  const std::uint8_t* input, std::uint32_t inputLength) noexcept {
    if (inputLength < 4) return kContainerTruncatedHeader;
    const std::int32_t totalLength = static_cast<std::int32_t>(base::ReadBe32(input));
    if (totalLength < 1) return kContainerBadTotal;
    if (inputLength < 8) return kContainerTruncatedHeader;

    Accumulator picture(static_cast<std::uint32_t>(totalLength));
    frame::HeapBlock inflated(kInflateBufferSize);
    if (!inflated) return kContainerNoMemory;

    std::uint32_t p = 4;
    for (;;) {
        if (inputLength - p < 4) return kContainerChunkPastEnd;
        const std::int32_t chunkLength = static_cast<std::int32_t>(base::ReadBe32(input + p));
        p += 4;
        if (chunkLength < 0) return kContainerNegativeChunk;
        if (chunkLength == 0) break;
        if (chunkLength > kChunkBufferSize) return kContainerChunkTooLong;
        if (static_cast<std::uint32_t>(chunkLength) > inputLength - p) return kContainerChunkPastEnd;

        std::uint32_t inflatedLength = 0;
        const std::int32_t result = InflateChunk(inflated.data(), &inflatedLength, input + p, chunkLength);
        if (result != Z_OK) return result;
        p += static_cast<std::uint32_t>(chunkLength);
        if (inflatedLength == 0) return kContainerEmptyChunk;

        const std::uint32_t share = inflatedLength - 1;  // drop the terminator
        if (share > static_cast<std::uint32_t>(totalLength) - picture.length()) {
            return kContainerExceedsTotal;
        }
        if (!picture.Append(inflated.data(), share)) return kContainerNoMemory;
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
