#include "catalogue/aes128.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "authoring/aes128_encrypt.h"
#include "catalogue/aes128_instructions.h"

namespace zeseal::catalogue {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

Bytes RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(n);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

// The paths this machine can run: the tables always, the instructions when
// the processor has them.
std::vector<detail::AesPath> AvailablePaths() {
    std::vector<detail::AesPath> paths = {detail::AesPath::kTables};
    if (detail::AesInstructionsAvailable()) paths.push_back(detail::AesPath::kInstructions);
    return paths;
}

struct BlockVector {
    const char* source;
    const char* key;
    const char* plain;
    const char* cipher;
};

// FIPS-197 appendix B (the cipher example) and appendix C.1 (AES-128).
const BlockVector kFipsVectors[] = {
    {"FIPS-197 B", "2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734",
     "3925841d02dc09fbdc118597196a0b32"},
    {"FIPS-197 C.1", "000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
     "69c4e0d86a7b0430d8cdb78070b4c55a"},
};

TEST(Aes128Test, KeyExpansionEndsWithTheLastRoundKeyOfFips197AppendixA) {
    const Bytes key = FromHex("2b7e151628aed2a6abf7158809cf4f3c");
    const Aes128RoundKeys keys = ExpandAes128Key(key.data());
    EXPECT_EQ(Bytes(keys.bytes[10], keys.bytes[10] + 16),
              FromHex("d014f9a8c9ee2589e13f0cc8b6630ca6"));
    EXPECT_EQ(Bytes(keys.bytes[1], keys.bytes[1] + 16),
              FromHex("a0fafe1788542cb123a339392a6c7605"));
}

TEST(Aes128Test, BlocksMatchTheFips197VectorsBothWaysOnEveryPath) {
    for (const BlockVector& v : kFipsVectors) {
        SCOPED_TRACE(v.source);
        const Bytes key = FromHex(v.key), plain = FromHex(v.plain), cipher = FromHex(v.cipher);
        Bytes out(16);
        authoring::EncryptAes128Block(ExpandAes128Key(key.data()), plain.data(), out.data());
        EXPECT_EQ(out, cipher);
        DecryptAes128Block(MakeAes128DecryptionKeys(key.data()), cipher.data(), out.data());
        EXPECT_EQ(out, plain);
        for (const detail::AesPath path : AvailablePaths()) {
            // A single block from a zero chaining value is the block itself.
            std::fill(out.begin(), out.end(), 0);
            detail::DecryptAes128Chunk(path, MakeAes128DecryptionKeys(key.data()), 1,
                                       cipher.data(), out.data());
            EXPECT_EQ(out, plain) << "path " << int(path);
        }
    }
}

// The reference: OpenSSL's AES-128-CBC without padding, started afresh with
// a zero IV for every 256 bytes, with the bytes after the last whole block
// left as they are.
Bytes OpenSslChunkedCbc(const Bytes& key, const Bytes& input, bool encrypt) {
    Bytes output = input;
    const std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                             EVP_CIPHER_CTX_free);
    const unsigned char zeroIv[16] = {};
    for (std::size_t offset = 0; offset < input.size(); offset += 256) {
        const std::size_t chunk = std::min<std::size_t>(256, input.size() - offset);
        const int whole = static_cast<int>(chunk / 16 * 16);
        if (whole == 0) continue;
        EXPECT_EQ(EVP_CipherInit_ex(ctx.get(), EVP_aes_128_cbc(), nullptr, key.data(), zeroIv,
                                    encrypt ? 1 : 0),
                  1);
        EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
        int written = 0;
        EXPECT_EQ(EVP_CipherUpdate(ctx.get(), output.data() + offset, &written,
                                   input.data() + offset, whole),
                  1);
        EXPECT_EQ(written, whole);
    }
    return output;
}

// Lengths around the block and the 256-byte chunk edges, the 74 bytes of a
// record, and several chunks with a tail.
const std::size_t kCbcLengths[] = {0, 1, 15, 16, 17, 63, 64, 74, 255, 256, 257, 272, 511, 600, 1000};

TEST(Aes128Test, ChunkedCbcMatchesOpenSslAtEveryLength) {
    const Bytes key = RandomBytes(16, 1);
    const Aes128DecryptionKeys keys = MakeAes128DecryptionKeys(key.data());
    for (const std::size_t length : kCbcLengths) {
        SCOPED_TRACE("length " + std::to_string(length));
        const Bytes plain = RandomBytes(length, static_cast<unsigned>(length) + 2);
        const Bytes cipher = OpenSslChunkedCbc(key, plain, true);

        Bytes ours(length);
        authoring::EncryptAes128(key.data(), length, plain.data(), ours.data());
        EXPECT_EQ(ours, cipher);

        Bytes decrypted(length, 0xEE);
        EXPECT_EQ(DecryptAes128(length, cipher.data(), decrypted.data(), key.data(), 16), kAesDone);
        EXPECT_EQ(decrypted, plain);
        EXPECT_EQ(OpenSslChunkedCbc(key, cipher, false), plain);

        Bytes inPlace = cipher;
        DecryptAes128(keys, length, inPlace.data(), inPlace.data());
        EXPECT_EQ(inPlace, plain);
    }
}

TEST(Aes128Test, EveryPathDecryptsAWholeChunkAlikeAndInPlace) {
    const Bytes key = RandomBytes(16, 3);
    const Aes128DecryptionKeys keys = MakeAes128DecryptionKeys(key.data());
    const Bytes plain = RandomBytes(256, 4);
    const Bytes cipher = OpenSslChunkedCbc(key, plain, true);
    for (const detail::AesPath path : AvailablePaths()) {
        for (const std::size_t blocks : {std::size_t{1}, std::size_t{3}, std::size_t{4},
                                         std::size_t{5}, std::size_t{16}}) {
            Bytes out(cipher.size(), 0);
            detail::DecryptAes128Chunk(path, keys, blocks, cipher.data(), out.data());
            EXPECT_TRUE(std::equal(out.begin(), out.begin() + std::ptrdiff_t(blocks * 16),
                                   plain.begin()))
                << "path " << int(path) << ", " << blocks << " blocks";
            Bytes inPlace = cipher;
            detail::DecryptAes128Chunk(path, keys, blocks, inPlace.data(), inPlace.data());
            EXPECT_TRUE(std::equal(inPlace.begin(),
                                   inPlace.begin() + std::ptrdiff_t(blocks * 16), plain.begin()));
        }
    }
}

TEST(Aes128Test, AKeyLengthOtherThanSixteenWritesNothing) {
    const Bytes key = RandomBytes(32, 5);
    const Bytes source = RandomBytes(74, 6);
    for (const std::int32_t length : {15, 0, 17, 32, -16}) {
        Bytes destination(74, 0xA5);
        EXPECT_EQ(DecryptAes128(74, source.data(), destination.data(), key.data(), length),
                  kAesBadKeyLength)
            << length;
        EXPECT_EQ(destination, Bytes(74, 0xA5));
    }
}

}  // namespace
}  // namespace zeseal::catalogue
