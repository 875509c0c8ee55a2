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

// The inflaters this build carries; the tables run through each.
std::vector<Inflater> Inflaters() {
    std::vector<Inflater> all{Inflater::kZlib};
    if (HasInflater(Inflater::kLibdeflate)) all.push_back(Inflater::kLibdeflate);
    return all;
}

Outcome Decode(const Bytes& container, std::size_t outSize = 64, Inflater inflater = Inflater::kLibdeflate) {
    Bytes out(outSize, 0xEE);
    std::uint32_t length = 0xDEADBEEF;
    const std::int32_t result = DecodeImageContainerWith(inflater, out.data(), &length, container.data(),
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
    for (const Inflater inflater : Inflaters()) {
        for (const auto& c : cases) {
            const Outcome o = Decode(c.container, 64, inflater);
            EXPECT_EQ(o.result, c.result) << c.name << ", inflater " << int(inflater);
            EXPECT_TRUE(o.untouched) << c.name << ": the caller's buffers changed on failure";
        }
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
    for (const Inflater inflater : Inflaters()) {
        for (const auto& c : cases) {
            const Outcome o = Decode(c.container, 45000, inflater);
            EXPECT_EQ(o.result, 0) << c.name << ", inflater " << int(inflater);
            EXPECT_EQ(o.picture, c.picture) << c.name << ", inflater " << int(inflater);
        }
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

// A zlib stream of plain at the given level and strategy.
Bytes Deflate(const Bytes& plain, int level, int strategy) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy), Z_OK);
    Bytes out(deflateBound(&z, static_cast<uLong>(plain.size())));
    z.next_in = const_cast<Bytef*>(plain.data());
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

struct Decoded {
    std::int32_t result;
    std::uint32_t length;
    Bytes out;
};

Decoded DecodeWith(Inflater inflater, const Bytes& container, std::size_t outSize) {
    Decoded d{0, 0xDEADBEEF, Bytes(outSize, 0xEE)};
    d.result = DecodeImageContainerWith(inflater, d.out.data(), &d.length, container.data(),
                                        static_cast<std::uint32_t>(container.size()));
    return d;
}

// libdeflate, where the build has it, against zlib: streams of every kind
// (stored, fixed and dynamic codes, long matches), whole and damaged (cut
// short, bits flipped, header and check words changed, output overflowing),
// must give the same result, length and bytes.
TEST(DecodeImageContainer, BothInflatersAgreeOnSoundAndDamagedStreams) {
    if (!HasInflater(Inflater::kLibdeflate)) GTEST_SKIP() << "this build inflates with zlib only";
    std::mt19937 random(11);
    Bytes code(20000), noise(3000), runs(46000);
    for (auto& b : code) b = (random() & 3) == 0 ? 0 : 255;
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    for (std::size_t i = 0; i < runs.size(); ++i) runs[i] = static_cast<std::uint8_t>(i / 900);
    std::vector<Bytes> streams;
    for (const Bytes* plain : {&code, &noise}) {
        for (const int level : {0, 1, 6, 9}) streams.push_back(Deflate(*plain, level, Z_DEFAULT_STRATEGY));
        streams.push_back(Deflate(*plain, 6, Z_FIXED));
        streams.push_back(Deflate(*plain, 6, Z_HUFFMAN_ONLY));
    }
    streams.push_back(Deflate(runs, 9, Z_RLE));  // inflates past 45000
    streams.push_back(Deflate(Bytes(45000, 7), 9, Z_DEFAULT_STRATEGY));  // exactly fills the buffer

    std::vector<Bytes> containers;
    for (const Bytes& stream : streams) {
        const auto wrap = [&](const Bytes& s) { containers.push_back(Builder().Word(50000).Chunk(s).Word(0).bytes); };
        wrap(stream);
        for (const std::size_t keep : {std::size_t{1}, std::size_t{2}, std::size_t{6}, stream.size() / 2,
                                       stream.size() - 5, stream.size() - 4, stream.size() - 1}) {
            wrap(Bytes(stream.begin(), stream.begin() + static_cast<long>(std::min(keep, stream.size()))));
        }
        for (int n = 0; n < 150; ++n) {
            Bytes damaged = stream;
            const int flips = 1 + static_cast<int>(random() % 3);
            for (int f = 0; f < flips; ++f) {
                // Mostly near the front, where the block headers and codes are.
                const std::size_t span = n % 2 ? damaged.size() : std::min<std::size_t>(damaged.size(), 64);
                damaged[random() % span] ^= static_cast<std::uint8_t>(1u << (random() % 8));
            }
            wrap(damaged);
        }
        for (const std::uint8_t flag : {std::uint8_t{0x20}, std::uint8_t{0x01}}) {
            Bytes header = stream;
            header[1] ^= flag;  // a preset dictionary; a header check that fails
            wrap(header);
        }
        Bytes method = stream;
        method[0] = 0x78 + 0x10;  // a window too large
        wrap(method);
    }
    for (const Bytes& container : containers) {
        const Decoded zlib = DecodeWith(Inflater::kZlib, container, 50000);
        const Decoded fast = DecodeWith(Inflater::kLibdeflate, container, 50000);
        ASSERT_EQ(fast.result, zlib.result);
        ASSERT_EQ(fast.length, zlib.length);
        ASSERT_TRUE(fast.out == zlib.out);
    }
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
