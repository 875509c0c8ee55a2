// The compressed image container on arbitrary bytes.
//
// The input is the container. Its first big-endian word states the picture's
// total length, and the output block is that large, or as large as the
// chunks can inflate to when that is less (inputs stating more than
// kMaxStatedTotal are not run). Checked:
//  - a success delivers at most the stated total, and the same bytes as a
//    plain decoder written from the format's description;
//  - a failure leaves the output block and the length untouched, returns one
//    of the documented codes, and the plain decoder fails too;
//  - small inputs, taken as a picture, survive packing and decoding;
//  - where the build inflates with libdeflate, decoding with zlib alone gives
//    the same result and the same picture.
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "authoring/container_writer.h"
#include "base/byte_order.h"
#include "codec/image_container.h"
#include "fuzz_support.h"

namespace {

namespace codec = zeseal::codec;
using zeseal::fuzz::ExactBuffer;
using zeseal::base::ReadBe32;

// The container read step by step: total, then chunks until a zero length or
// the end of the input; each chunk inflates (within 45000 bytes) to its share
// and one dropped terminator byte. Returns false where the format is broken.
bool ReferenceDecode(const std::uint8_t* in, std::size_t size, std::vector<std::uint8_t>& picture) {
    picture.clear();
    if (size < 8) return false;
    const auto total = static_cast<std::int32_t>(ReadBe32(in));
    if (total < 1) return false;
    static std::vector<std::uint8_t> chunk(codec::kInflateBufferSize);  // kept: no churn per run
    std::size_t at = 4;
    while (at < size) {
        if (size - at < 4) return false;
        const auto length = static_cast<std::int32_t>(ReadBe32(in + at));
        at += 4;
        if (length == 0) break;
        if (length < 0 || length > codec::kChunkBufferSize) return false;
        if (static_cast<std::size_t>(length) > size - at) return false;
        uLongf inflated = chunk.size();
        if (uncompress(chunk.data(), &inflated, in + at, static_cast<uLong>(length)) != Z_OK) {
            return false;
        }
        at += static_cast<std::size_t>(length);
        if (inflated == 0) return false;
        if (picture.size() + (inflated - 1) > static_cast<std::size_t>(total)) return false;
        picture.insert(picture.end(), chunk.begin(), chunk.begin() + static_cast<long>(inflated - 1));
    }
    return true;
}

bool IsDocumentedResult(std::int32_t result) {
    switch (result) {
    case 0:
    case Z_STREAM_ERROR:
    case Z_DATA_ERROR:
    case Z_MEM_ERROR:
    case Z_BUF_ERROR:
    case Z_VERSION_ERROR:
    case codec::kContainerNoMemory:
    case codec::kContainerNegativeChunk:
    case codec::kContainerBadTotal:
    case codec::kContainerChunkTooLong:
    case codec::kContainerChunkPastEnd:
    case codec::kContainerEmptyChunk:
    case codec::kContainerExceedsTotal:
    case codec::kContainerTruncatedHeader:
        return true;
    default:
        return false;
    }
}

void CheckDecode(const std::uint8_t* data, std::size_t size) {
    const auto stated = size >= 4 ? static_cast<std::int32_t>(ReadBe32(data)) : 0;
    if (stated > 0 && static_cast<std::uint32_t>(stated) > zeseal::fuzz::kMaxStatedTotal) return;

    // A total below 1 must fail before anything is written; one byte is
    // enough to see that nothing was.
    ExactBuffer out(zeseal::fuzz::RasterBytesFor(stated, data, size));
    constexpr std::uint32_t kUnset = 0xDEADBEEF;
    std::uint32_t outLength = kUnset;
    const std::int32_t result =
        codec::DecodeImageContainer(out.data(), &outLength, data, static_cast<std::uint32_t>(size));
    ZESEAL_FUZZ_CHECK(IsDocumentedResult(result));

    if (codec::HasInflater(codec::Inflater::kLibdeflate)) {
        ExactBuffer zlibOut(out.size());
        std::uint32_t zlibLength = kUnset;
        const std::int32_t zlibResult = codec::DecodeImageContainerWith(
            codec::Inflater::kZlib, zlibOut.data(), &zlibLength, data, static_cast<std::uint32_t>(size));
        ZESEAL_FUZZ_CHECK(zlibResult == result);
        ZESEAL_FUZZ_CHECK(zlibLength == outLength);
        ZESEAL_FUZZ_CHECK(std::memcmp(zlibOut.data(), out.data(), out.size()) == 0);
    }

    std::vector<std::uint8_t> expected;
    const bool referenceDecoded = ReferenceDecode(data, size, expected);
    if (result != 0) {
        ZESEAL_FUZZ_CHECK(outLength == kUnset);
        ZESEAL_FUZZ_CHECK(out.Untouched());
        ZESEAL_FUZZ_CHECK(!referenceDecoded);
        const std::int32_t code = codec::ContainerResultCode(2000, result);
        ZESEAL_FUZZ_CHECK(code == 2000 || code == 2003 || code == 2004 || code == 2005);
        return;
    }
    ZESEAL_FUZZ_CHECK(stated > 0 && outLength <= static_cast<std::uint32_t>(stated));
    ZESEAL_FUZZ_CHECK(referenceDecoded);
    ZESEAL_FUZZ_CHECK(outLength == expected.size());
    ZESEAL_FUZZ_CHECK(outLength == 0 || std::memcmp(out.data(), expected.data(), outLength) == 0);
}

// Packs the input as a picture, in shares chosen by its size, and decodes it.
// The smallest share makes at most four chunks: each chunk is a zlib stream
// of its own, whose compressor sets up a quarter megabyte afresh, and
// hundreds of them per input made this check the run's whole cost for no
// new path.
void CheckRoundTrip(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 4096) return;  // a picture has at least one byte
    const std::size_t shares[] = {zeseal::authoring::kMaxChunkShare, 1 + size / 3,
                                  std::max<std::size_t>(7, (size + 3) / 4)};
    const std::size_t share = shares[size % 3];
    const std::vector<std::uint8_t> packed = zeseal::authoring::PackContainer({data, size}, share);
    ExactBuffer out(size);
    std::uint32_t outLength = 0;
    const std::int32_t result = codec::DecodeImageContainer(
        out.data(), &outLength, packed.data(), static_cast<std::uint32_t>(packed.size()));
    ZESEAL_FUZZ_CHECK(result == 0);
    ZESEAL_FUZZ_CHECK(outLength == size);
    ZESEAL_FUZZ_CHECK(std::memcmp(out.data(), data, size) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 0x7FFFFFFF) return 0;
    CheckDecode(data, size);
    CheckRoundTrip(data, size);
    return 0;
}
