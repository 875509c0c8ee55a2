#include "catalogue/aes128.h"
#include "catalogue/aes128_instructions.h"

#include <cstring>

#include "base/byte_order.h"

namespace zeseal::catalogue {
namespace {

constexpr std::size_t kAesKeyBytes = 16;

using Table = std::array<std::uint8_t, 256>;
using WordTable = std::array<std::uint32_t, 256>;

constexpr std::uint8_t RotateLeft8(std::uint8_t x, int shift) {
    return static_cast<std::uint8_t>((x << shift) | (x >> (8 - shift)));
}

// Multiplication by x in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1.
constexpr std::uint8_t Xtime(std::uint8_t x) {
    return static_cast<std::uint8_t>((x << 1) ^ ((x & 0x80) != 0 ? 0x1B : 0));
}

constexpr std::uint8_t Multiply(std::uint8_t a, std::uint8_t b) {
    std::uint8_t product = 0;
    while (b != 0) {
        if ((b & 1) != 0) product ^= a;
        a = Xtime(a);
        b >>= 1;
    }
    return product;
}

// The S-box: the multiplicative inverse followed by the affine transform.
// p walks the powers of the generator 3 and q the matching powers of its
// inverse, so q is the inverse of p at every step.
constexpr Table MakeSbox() {
    Table s{};
    std::uint8_t p = 1;
    std::uint8_t q = 1;
    do {
        p = static_cast<std::uint8_t>(p ^ Xtime(p));
        q = static_cast<std::uint8_t>(q ^ (q << 1));
        q = static_cast<std::uint8_t>(q ^ (q << 2));
        q = static_cast<std::uint8_t>(q ^ (q << 4));
        if ((q & 0x80) != 0) q ^= 0x09;
        const auto affine = static_cast<std::uint8_t>(q ^ RotateLeft8(q, 1) ^ RotateLeft8(q, 2) ^
                                                      RotateLeft8(q, 3) ^ RotateLeft8(q, 4));
        s[p] = static_cast<std::uint8_t>(affine ^ 0x63);
    } while (p != 1);
    s[0] = 0x63;
    return s;
}

constexpr Table MakeInverse(const Table& s) {
    Table inverse{};
    for (int i = 0; i < 256; ++i) inverse[s[i]] = static_cast<std::uint8_t>(i);
    return inverse;
}

constexpr Table kSbox = MakeSbox();
constexpr Table kInverseSbox = MakeInverse(kSbox);

constexpr std::uint32_t RotateRight32(std::uint32_t x, int shift) {
    return (x >> shift) | (x << (32 - shift));
}

// One inverse round's InvSubBytes and InvMixColumns for a byte in row 0:
// the inverse S-box value times the column (0e, 09, 0d, 0b). The tables for
// rows 1 to 3 are the same words rotated.
constexpr WordTable MakeInverseRoundTable(int rotation) {
    WordTable t{};
    for (int x = 0; x < 256; ++x) {
        const std::uint8_t y = kInverseSbox[x];
        const std::uint32_t word = (std::uint32_t{Multiply(y, 0x0E)} << 24) |
                                   (std::uint32_t{Multiply(y, 0x09)} << 16) |
                                   (std::uint32_t{Multiply(y, 0x0D)} << 8) |
                                   std::uint32_t{Multiply(y, 0x0B)};
        t[x] = rotation == 0 ? word : RotateRight32(word, rotation);
    }
    return t;
}

constexpr WordTable kTd0 = MakeInverseRoundTable(0);
constexpr WordTable kTd1 = MakeInverseRoundTable(8);
constexpr WordTable kTd2 = MakeInverseRoundTable(16);
constexpr WordTable kTd3 = MakeInverseRoundTable(24);

inline std::uint32_t Byte(std::uint32_t word, int index) noexcept {
    return (word >> (24 - 8 * index)) & 0xFFu;
}

// InvMixColumns of one 4-byte column, in place.
void InverseMixColumn(std::uint8_t* column) noexcept {
    const std::uint8_t a0 = column[0], a1 = column[1], a2 = column[2], a3 = column[3];
    column[0] = Multiply(a0, 0x0E) ^ Multiply(a1, 0x0B) ^ Multiply(a2, 0x0D) ^ Multiply(a3, 0x09);
    column[1] = Multiply(a0, 0x09) ^ Multiply(a1, 0x0E) ^ Multiply(a2, 0x0B) ^ Multiply(a3, 0x0D);
    column[2] = Multiply(a0, 0x0D) ^ Multiply(a1, 0x09) ^ Multiply(a2, 0x0E) ^ Multiply(a3, 0x0B);
    column[3] = Multiply(a0, 0x0B) ^ Multiply(a1, 0x0D) ^ Multiply(a2, 0x09) ^ Multiply(a3, 0x0E);
}

void DecryptChunkWithTables(const Aes128DecryptionKeys& keys, std::size_t blocks,
                            const std::uint8_t* source, std::uint8_t* destination) noexcept {
    std::uint8_t chain[kAesBlockBytes] = {};
    for (std::size_t b = 0; b < blocks; ++b) {
        std::uint8_t cipher[kAesBlockBytes];
        std::memcpy(cipher, source + b * kAesBlockBytes, kAesBlockBytes);
        std::uint8_t* out = destination + b * kAesBlockBytes;
        DecryptAes128Block(keys, cipher, out);
        for (std::size_t i = 0; i < kAesBlockBytes; ++i) out[i] ^= chain[i];
        std::memcpy(chain, cipher, kAesBlockBytes);
    }
}

}  // namespace

const std::array<std::uint8_t, 256>& AesSbox() noexcept { return kSbox; }

Aes128RoundKeys ExpandAes128Key(const std::uint8_t* key) noexcept {
    Aes128RoundKeys expanded{};
    std::uint8_t* w = &expanded.bytes[0][0];
    std::memcpy(w, key, kAesKeyBytes);
    std::uint8_t roundConstant = 0x01;
    for (std::size_t i = 4; i < 4 * (kAesRounds + 1); ++i) {
        std::uint8_t temp[4];
        std::memcpy(temp, w + 4 * (i - 1), 4);
        if (i % 4 == 0) {
            // RotWord, SubWord and the round constant.
            const std::uint8_t first = temp[0];
            temp[0] = static_cast<std::uint8_t>(kSbox[temp[1]] ^ roundConstant);
            temp[1] = kSbox[temp[2]];
            temp[2] = kSbox[temp[3]];
            temp[3] = kSbox[first];
            roundConstant = Xtime(roundConstant);
        }
        for (int j = 0; j < 4; ++j) w[4 * i + j] = w[4 * (i - 4) + j] ^ temp[j];
    }
    return expanded;
}

Aes128DecryptionKeys MakeAes128DecryptionKeys(const std::uint8_t* key) noexcept {
    const Aes128RoundKeys expanded = ExpandAes128Key(key);
    Aes128DecryptionKeys keys{};
    for (int r = 0; r <= kAesRounds; ++r) {
        std::memcpy(keys.bytes[r], expanded.bytes[kAesRounds - r], kAesBlockBytes);
        if (r != 0 && r != kAesRounds) {
            for (int c = 0; c < 4; ++c) InverseMixColumn(keys.bytes[r] + 4 * c);
        }
        for (int c = 0; c < 4; ++c) keys.words[4 * r + c] = base::ReadBe32(keys.bytes[r] + 4 * c);
    }
    return keys;
}

void DecryptAes128Block(const Aes128DecryptionKeys& keys, const std::uint8_t* in,
                        std::uint8_t* out) noexcept {
    const std::uint32_t* rk = keys.words;
    std::uint32_t s0 = base::ReadBe32(in) ^ rk[0];
    std::uint32_t s1 = base::ReadBe32(in + 4) ^ rk[1];
    std::uint32_t s2 = base::ReadBe32(in + 8) ^ rk[2];
    std::uint32_t s3 = base::ReadBe32(in + 12) ^ rk[3];
    // Each inner round: InvShiftRows picks the bytes, the tables do
    // InvSubBytes and InvMixColumns, then the round key is added.
    for (int r = 1; r < kAesRounds; ++r) {
        rk += 4;
        const std::uint32_t t0 = kTd0[s0 >> 24] ^ kTd1[Byte(s3, 1)] ^ kTd2[Byte(s2, 2)] ^
                                 kTd3[s1 & 0xFFu] ^ rk[0];
        const std::uint32_t t1 = kTd0[s1 >> 24] ^ kTd1[Byte(s0, 1)] ^ kTd2[Byte(s3, 2)] ^
                                 kTd3[s2 & 0xFFu] ^ rk[1];
        const std::uint32_t t2 = kTd0[s2 >> 24] ^ kTd1[Byte(s1, 1)] ^ kTd2[Byte(s0, 2)] ^
                                 kTd3[s3 & 0xFFu] ^ rk[2];
        const std::uint32_t t3 = kTd0[s3 >> 24] ^ kTd1[Byte(s2, 1)] ^ kTd2[Byte(s1, 2)] ^
                                 kTd3[s0 & 0xFFu] ^ rk[3];
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }
    rk += 4;
    // The last round has no InvMixColumns.
    const auto last = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                          std::uint32_t roundKey) {
        return ((std::uint32_t{kInverseSbox[a >> 24]} << 24) |
                (std::uint32_t{kInverseSbox[Byte(b, 1)]} << 16) |
                (std::uint32_t{kInverseSbox[Byte(c, 2)]} << 8) |
                std::uint32_t{kInverseSbox[d & 0xFFu]}) ^
               roundKey;
    };
    base::WriteBe32(out, last(s0, s3, s2, s1, rk[0]));
    base::WriteBe32(out + 4, last(s1, s0, s3, s2, rk[1]));
    base::WriteBe32(out + 8, last(s2, s1, s0, s3, rk[2]));
    base::WriteBe32(out + 12, last(s3, s2, s1, s0, rk[3]));
}

namespace detail {

void DecryptAes128Chunk(AesPath path, const Aes128DecryptionKeys& keys, std::size_t blocks,
                        const std::uint8_t* source, std::uint8_t* destination) noexcept {
    if (path == AesPath::kInstructions) {
        DecryptAes128ChunkWithInstructions(keys, blocks, source, destination);
    } else {
        DecryptChunkWithTables(keys, blocks, source, destination);
    }
}

}  // namespace detail

void DecryptAes128(const Aes128DecryptionKeys& keys, std::size_t count,
                   const std::uint8_t* source, std::uint8_t* destination) noexcept {
    static const detail::AesPath path = detail::AesInstructionsAvailable()
                                            ? detail::AesPath::kInstructions
                                            : detail::AesPath::kTables;
    for (std::size_t offset = 0; offset < count; offset += kAesChainChunkBytes) {
        const std::size_t chunk =
            count - offset < kAesChainChunkBytes ? count - offset : kAesChainChunkBytes;
        const std::size_t blocks = chunk / kAesBlockBytes;
        detail::DecryptAes128Chunk(path, keys, blocks, source + offset, destination + offset);
        const std::size_t tail = chunk % kAesBlockBytes;
        if (tail != 0 && source != destination) {
            std::memmove(destination + offset + blocks * kAesBlockBytes,
                         source + offset + blocks * kAesBlockBytes, tail);
        }
    }
}

std::int32_t DecryptAes128(std::size_t count, const std::uint8_t* source,
                           std::uint8_t* destination, const std::uint8_t* key,
                           std::int32_t keyLength) noexcept {
    if (keyLength != static_cast<std::int32_t>(kAesKeyBytes)) return kAesBadKeyLength;
    const Aes128DecryptionKeys keys = MakeAes128DecryptionKeys(key);
    DecryptAes128(keys, count, source, destination);
    return kAesDone;
}

}  // namespace zeseal::catalogue
