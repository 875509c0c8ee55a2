#include "codec/image_container.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <numeric>
#include <random>
#include <vector>

#include "authoring/container_writer.h"

namespace zeseal::codec {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Compress(const Bytes& plain) {
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    Bytes out(size);
    EXPECT_EQ(compress(out.data(), &size, plain.data(), static_cast<uLong>(plain.size())), Z_OK);
    out.resize(size);
    return out;
}

// A container written word by word, for inputs the packer never makes.
struct Builder {
    Bytes bytes;
    Builder& Word(std::int64_t v) {
        authoring::AppendBigEndian32(bytes, static_cast<std::uint32_t>(v));
        return *this;
    }
    Builder& Chunk(const Bytes& compressed) {
        Word(static_cast<std::int64_t>(compressed.size()));
        bytes.insert(bytes.end(), compressed.begin(), compressed.end());
        return *this;
    }
    Builder& Raw(const Bytes& raw) {
        bytes.insert(bytes.end(), raw.begin(), raw.end());
        return *this;
    }
};

struct Outcome {
    std::int32_t result;
    Bytes picture;
    bool untouched;
};

Outcome Decode(const Bytes& container, std::size_t outSize = 64) {
    Bytes out(outSize, 0xEE);
    std::uint32_t length = 0xDEADBEEF;
    const std::int32_t result = DecodeImageContainer(out.data(), &length, container.data(),
                                                     static_cast<std::uint32_t>(container.size()));
    Outcome o{result, {}, true};
    if (result == 0) o.picture.assign(out.begin(), out.begin() + length);
    o.untouched = length == 0xDEADBEEF && std::all_of(out.begin(), out.end(), [](auto b) { return b == 0xEE; });
    return o;
}

const Bytes kAb = {'a', 'b', 0};
const Bytes kCd = {'c', 'd', 0};

TEST(DecodeImageContainer, ResultsForEachShapeOfInput) {
    Bytes big(45001, 'x');
    Bytes tooLongChunk(30001, 0);
    Bytes cut = Compress(kAb);
    cut.resize(cut.size() - 3);
    struct Case {
        const char* name;
        Bytes container;
        std::int32_t result;
    };
    const Case cases[] = {
        {"total 0", Builder().Word(0).Word(0).bytes, kContainerBadTotal},
        {"negative total", Builder().Word(-5).Chunk(Compress(kAb)).bytes, kContainerBadTotal},
        {"total 0 without chunks", Builder().Word(0).bytes, kContainerBadTotal},
        {"only a total", Builder().Word(4).bytes, kContainerTruncatedHeader},
        {"three bytes", Bytes{0, 0, 0}, kContainerTruncatedHeader},
        {"negative chunk", Builder().Word(4).Word(-1).bytes, kContainerNegativeChunk},
        {"cut stream", Builder().Word(4).Chunk(cut).bytes, Z_DATA_ERROR},
        {"inflates past 45000", Builder().Word(50000).Chunk(Compress(big)).bytes, Z_BUF_ERROR},
        {"chunk above 30000", Builder().Word(4).Word(30001).Raw(tooLongChunk).bytes, kContainerChunkTooLong},
        {"chunk past the end", Builder().Word(4).Word(40).Raw(Compress(kAb)).bytes, kContainerChunkPastEnd},
        {"length word cut short", Builder().Word(4).Chunk(Compress(kAb)).Raw({0, 0}).bytes, kContainerChunkPastEnd},
        {"inflates to nothing", Builder().Word(4).Chunk(Compress({})).bytes, kContainerEmptyChunk},
        {"more than the total", Builder().Word(3).Chunk(Compress(kAb)).Chunk(Compress(kCd)).bytes, kContainerExceedsTotal},
        {"not zlib at all", Builder().Word(4).Chunk({1, 2, 3, 4}).bytes, Z_DATA_ERROR},
    };
    for (const auto& c : cases) {
        const Outcome o = Decode(c.container);
        EXPECT_EQ(o.result, c.result) << c.name;
        EXPECT_TRUE(o.untouched) << c.name << ": the caller's buffers changed on failure";
    }
}

TEST(DecodeImageContainer, JoinsChunkSharesWithoutTheirTerminators) {
    struct Case {
        const char* name;
        Bytes container;
        Bytes picture;
    };
    const Case cases[] = {
        {"first chunk length 0", Builder().Word(4).Word(0).bytes, {}},
        {"two chunks", Builder().Word(4).Chunk(Compress(kAb)).Chunk(Compress(kCd)).Word(0).bytes,
         {'a', 'b', 'c', 'd'}},
        {"ends right after a chunk", Builder().Word(4).Chunk(Compress(kAb)).bytes, {'a', 'b'}},
        {"terminator only", Builder().Word(1).Chunk(Compress({0})).bytes, {}},
        {"bytes after the end mark are ignored", Builder().Word(2).Chunk(Compress(kAb)).Word(0).Raw({9, 9}).bytes,
         {'a', 'b'}},
        {"exactly 45000 inflated", Builder().Word(44999).Chunk(Compress(Bytes(45000, 'z'))).bytes,
         Bytes(44999, 'z')},
    };
    for (const auto& c : cases) {
        const Outcome o = Decode(c.container, 45000);
        EXPECT_EQ(o.result, 0) << c.name;
        EXPECT_EQ(o.picture, c.picture) << c.name;
    }
}

TEST(DecodeImageContainer, RoundTripsPackedPicturesOfManyChunks) {
    std::mt19937 random(3);
    for (const std::size_t size : {1u, 1000u, 44999u, 45000u, 200000u, 323584u}) {
        Bytes picture(size);
        // Half noise, half runs: both incompressible and compressible chunks.
        for (std::size_t i = 0; i < size; ++i) {
            picture[i] = (i / 5000) % 2 ? static_cast<std::uint8_t>(random()) : static_cast<std::uint8_t>(i / 700);
        }
        const Bytes container = authoring::PackContainer(picture);
        Bytes out(size, 0);
        std::uint32_t length = 0;
        ASSERT_EQ(DecodeImageContainer(out.data(), &length, container.data(),
                                       static_cast<std::uint32_t>(container.size())), 0) << size;
        ASSERT_EQ(length, size);
        EXPECT_EQ(out, picture);
    }
}

TEST(DecodeImageContainer, AHugeStatedTotalCostsOnlyWhatArrives) {
    // 2 GiB stated, two bytes carried: no accumulator of the stated size.
    const Bytes container = Builder().Word(0x7FFFFFFF).Chunk(Compress(kAb)).bytes;
    const Outcome o = Decode(container);
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.picture, (Bytes{'a', 'b'}));
}

TEST(ContainerResultCode, MapsDecoderResultsIntoTheFamily) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {
        {0, 0},
        {kContainerNoMemory, 3003},
        {kContainerNegativeChunk, 3004},
        {kContainerBadTotal, 3005},
        {kContainerChunkTooLong, 3000},
        {kContainerChunkPastEnd, 3000},
        {kContainerEmptyChunk, 3000},
        {kContainerExceedsTotal, 3000},
        {kContainerTruncatedHeader, 3000},
        {Z_DATA_ERROR, 3000},
        {Z_BUF_ERROR, 3000},
        {Z_MEM_ERROR, 3000},
    };
    for (const auto& [decoder, code] : cases) EXPECT_EQ(ContainerResultCode(3000, decoder), code) << decoder;
    EXPECT_EQ(ContainerResultCode(2000, kContainerBadTotal), 2005);
}

}  // namespace
}  // namespace zeseal::codec
