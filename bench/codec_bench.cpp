// Base64 decoding and container decoding, each beside a plain baseline.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <array>
#include <cstring>
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

// The decoder as one would first write it: one table lookup per character,
// four characters to three bytes.
std::size_t ReferenceBase64Decode(const char* text, std::size_t length, std::uint8_t* out) {
    static const auto table = [] {
        std::array<std::uint8_t, 256> t{};
        t.fill(64);
        const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i) t[static_cast<unsigned char>(alphabet[i])] = std::uint8_t(i);
        return t;
    }();
    std::size_t n = 0;
    while (n < length && table[static_cast<unsigned char>(text[n])] != 64) ++n;
    std::uint8_t* o = out;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const std::uint32_t v = (std::uint32_t{table[std::uint8_t(text[i])]} << 18) |
                                (std::uint32_t{table[std::uint8_t(text[i + 1])]} << 12) |
                                (std::uint32_t{table[std::uint8_t(text[i + 2])]} << 6) |
                                std::uint32_t{table[std::uint8_t(text[i + 3])]};
        *o++ = std::uint8_t(v >> 16);
        *o++ = std::uint8_t(v >> 8);
        *o++ = std::uint8_t(v);
    }
    return std::size_t(o - out);
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

void Base64Decode1MiBReference(benchmark::State& state) {
    const std::string& text = MebibyteText();
    std::vector<std::uint8_t> out(zeseal::codec::Base64MaxDecodedSize(text.size()));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReferenceBase64Decode(text.data(), text.size(), out.data()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(Base64Decode1MiBReference);
ZESEAL_COMPARE(Base64Decode1MiB, Base64Decode1MiBReference,
               zeseal::bench::Target::MinGigabytesPerSecond(1.5));

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

// zlib's uncompress of the same chunks into one buffer, with no container
// bookkeeping: the floor the decoder is measured against.
void ContainerDecodeZlibOnly(benchmark::State& state) {
    const auto& container = CodeContainer();
    std::vector<std::pair<std::size_t, std::size_t>> chunks;  // offset, length
    for (std::size_t p = 4; p + 4 <= container.size();) {
        const std::size_t n = zeseal::base::ReadBe32(&container[p]);
        p += 4;
        if (n == 0) break;
        chunks.emplace_back(p, n);
        p += n;
    }
    std::vector<std::uint8_t> inflated(45000);
    std::vector<std::uint8_t> picture(2528 * 128 + 45000);
    for (auto _ : state) {
        std::size_t at = 0;
        for (const auto& [offset, length] : chunks) {
            uLongf out = uLongf(inflated.size());
            uncompress(inflated.data(), &out, container.data() + offset, uLong(length));
            std::memcpy(picture.data() + at, inflated.data(), out - 1);
            at += out - 1;
        }
        benchmark::DoNotOptimize(at);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ContainerDecodeZlibOnly);
ZESEAL_COMPARE(ContainerDecode, ContainerDecodeZlibOnly, zeseal::bench::Target::MaxRatio(1.15));

}  // namespace
