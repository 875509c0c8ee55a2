#include "codec/image_container.h"

#include <zlib.h>

#include <algorithm>
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

// Inflates one zlib stream of sourceLength bytes into dest, which holds
// kInflateBufferSize bytes, and stores the inflated length in *destLength.
// Returns zlib's result (0 on success; -5 when the stream inflates to more
// than kInflateBufferSize bytes, -3 when it is damaged or cut short).
std::int32_t InflateChunk(std::uint8_t* dest, std::uint32_t* destLength, const std::uint8_t* source,
                          std::int32_t sourceLength) noexcept {
    uLongf inflated = kInflateBufferSize;
    const int result = uncompress(dest, &inflated, source, static_cast<uLong>(sourceLength));
    if (result == Z_OK) *destLength = static_cast<std::uint32_t>(inflated);
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
