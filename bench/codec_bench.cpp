// Base64 decoding beside OpenSSL's decoder, and container decoding beside
// zlib's and (where installed) libdeflate's inflating of the same chunks.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <zlib.h>
#if ZESEAL_BENCH_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "authoring/container_writer.h"
#include "base/byte_order.h"
#include "codec/base64.h"
#include "codec/image_container.h"
#include "comparison.h"

namespace {

std::vector<std::uint8_t> RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(n);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

const std::string& MebibyteText() {
    static const std::string text = zeseal::authoring::EncodeBase64(RandomBytes(3 << 18, 1));
    return text;  // 1 MiB of Base64 digits
}

void Base64Decode1MiB(benchmark::State& state) {
    const std::string& text = MebibyteText();
    std::vector<std::uint8_t> out(zeseal::codec::Base64MaxDecodedSize(text.size()));
    for (auto _ : state) {
        std::int32_t decoded = 0;
        zeseal::codec::Base64DecodeCounted(text.data(), std::int32_t(text.size()), out.data(), &decoded);
        benchmark::DoNotOptimize(decoded);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(Base64Decode1MiB);

// OpenSSL's decoder of the same text, into the same buffer.
void Base64Decode1MiBOpenSsl(benchmark::State& state) {
    const std::string& text = MebibyteText();
    std::vector<std::uint8_t> out(zeseal::codec::Base64MaxDecodedSize(text.size()) + 4);
    for (auto _ : state) {
        benchmark::DoNotOptimize(EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                                 static_cast<int>(text.size())));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(Base64Decode1MiBOpenSsl);
ZESEAL_COMPARE(Base64Decode1MiB, Base64Decode1MiBOpenSsl, zeseal::bench::Target::MaxRatio(1.0));

// A water code of 2528 x 128 pixels, as the service sends it: mostly white
// with dense black modules, in chunks of at most 30000 compressed bytes.
const std::vector<std::uint8_t>& CodeContainer() {
    static const std::vector<std::uint8_t> container = [] {
        std::mt19937 random(7);
        std::vector<std::uint8_t> code(2528 * 128);
        for (auto& p : code) p = (random() & 3) == 0 ? 0 : 255;
        return zeseal::authoring::PackContainer(code, 8000);
    }();
    return container;
}

void ContainerDecode(benchmark::State& state) {
    const auto& container = CodeContainer();
    std::vector<std::uint8_t> picture(2528 * 128);
    for (auto _ : state) {
        std::uint32_t length = 0;
        benchmark::DoNotOptimize(zeseal::codec::DecodeImageContainer(
            picture.data(), &length, container.data(), std::uint32_t(container.size())));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ContainerDecode);

// The chunks' offsets and lengths in the container.
std::vector<std::pair<std::size_t, std::size_t>> CodeChunks() {
    const auto& container = CodeContainer();
    std::vector<std::pair<std::size_t, std::size_t>> chunks;
    for (std::size_t p = 4; p + 4 <= container.size();) {
        const std::size_t n = zeseal::base::ReadBe32(&container[p]);
        p += 4;
        if (n == 0) break;
        chunks.emplace_back(p, n);
        p += n;
    }
    return chunks;
}

// An inflater's work alone on the same chunks, into one buffer, with no
// container bookkeeping: the peers the decoder is measured against.
template <class Inflate>
void InflateChunksOnly(benchmark::State& state, Inflate inflate) {
    const auto& container = CodeContainer();
    const auto chunks = CodeChunks();
    std::vector<std::uint8_t> inflated(45000);
    std::vector<std::uint8_t> picture(2528 * 128 + 45000);
    for (auto _ : state) {
        std::size_t at = 0;
        for (const auto& [offset, length] : chunks) {
            const std::size_t out = inflate(inflated.data(), inflated.size(), container.data() + offset, length);
            std::memcpy(picture.data() + at, inflated.data(), out - 1);
            at += out - 1;
        }
        benchmark::DoNotOptimize(at);
        benchmark::ClobberMemory();
    }
}

void ContainerDecodeZlibOnly(benchmark::State& state) {
    InflateChunksOnly(state, [](std::uint8_t* out, std::size_t room, const std::uint8_t* in, std::size_t length) {
        uLongf size = uLongf(room);
        uncompress(out, &size, in, uLong(length));
        return std::size_t(size);
    });
}
BENCHMARK(ContainerDecodeZlibOnly);

// The decoder held to zlib, as the Windows build decodes.
void ContainerDecodeZlibPath(benchmark::State& state) {
    const auto& container = CodeContainer();
    std::vector<std::uint8_t> picture(2528 * 128);
    for (auto _ : state) {
        std::uint32_t length = 0;
        benchmark::DoNotOptimize(zeseal::codec::DecodeImageContainerWith(
            zeseal::codec::Inflater::kZlib, picture.data(), &length, container.data(),
            std::uint32_t(container.size())));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ContainerDecodeZlibPath);
ZESEAL_COMPARE(ContainerDecodeZlibPath, ContainerDecodeZlibOnly, zeseal::bench::Target::MaxRatio(1.15));

// With libdeflate inflating, the decoder is held to 0.6 of zlib's time.
const bool kRegisteredContainer =
    zeseal::codec::HasInflater(zeseal::codec::Inflater::kLibdeflate)
        ? zeseal::bench::RegisterComparison({"ContainerDecode", "ContainerDecodeZlibOnly",
                                             zeseal::bench::Target::MaxRatio(0.6)})
        : zeseal::bench::RegisterNote("the library inflates with zlib only (libdeflate not found when "
                                      "it was built): ContainerDecode is not held to 0.6 x zlib");

#if ZESEAL_BENCH_HAVE_LIBDEFLATE
void ContainerDecodeLibdeflateOnly(benchmark::State& state) {
    const std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> decompressor(
        libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    InflateChunksOnly(state, [&](std::uint8_t* out, std::size_t room, const std::uint8_t* in, std::size_t length) {
        std::size_t size = 0;
        libdeflate_zlib_decompress(decompressor.get(), in, length, out, room, &size);
        return size;
    });
}
BENCHMARK(ContainerDecodeLibdeflateOnly);
ZESEAL_COMPARE(ContainerDecode, ContainerDecodeLibdeflateOnly, zeseal::bench::Target::MaxRatio(1.15));
#else
ZESEAL_BENCH_NOTE("libdeflate not found: ContainerDecode is not compared with libdeflate alone");
#endif

}  // namespace
