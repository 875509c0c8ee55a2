// AES-128 (FIPS-197) decryption, chained in CBC mode with the chaining value
// reset to zero every 256 bytes: the cipher of the supported-model file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zeseal::catalogue {

inline constexpr std::size_t kAesBlockBytes = 16;
inline constexpr int kAesRounds = 10;
// The chaining value starts from zero again at every chunk of this many bytes.
inline constexpr std::size_t kAesChainChunkBytes = 256;

inline constexpr std::int32_t kAesDone = 1;
inline constexpr std::int32_t kAesBadKeyLength = -10;

// The S-box of the cipher. The encrypting side (in the authoring tools) uses
// it too.
const std::array<std::uint8_t, 256>& AesSbox() noexcept;

// The eleven round keys of the key expansion, in the order encryption uses
// them.
struct Aes128RoundKeys {
    std::uint8_t bytes[kAesRounds + 1][kAesBlockBytes];
};
Aes128RoundKeys ExpandAes128Key(const std::uint8_t* key) noexcept;

// The round keys of the equivalent inverse cipher: the expansion in reverse
// order, the nine inner ones passed through InvMixColumns. Held both as bytes
// and as big-endian column words.
struct Aes128DecryptionKeys {
    alignas(16) std::uint8_t bytes[kAesRounds + 1][kAesBlockBytes];
    std::uint32_t words[(kAesRounds + 1) * 4];
};
Aes128DecryptionKeys MakeAes128DecryptionKeys(const std::uint8_t* key) noexcept;

// Decrypts one 16-byte block. in and out may be the same.
void DecryptAes128Block(const Aes128DecryptionKeys& keys, const std::uint8_t* in,
                        std::uint8_t* out) noexcept;

// Decrypts count bytes from source into destination: each chunk of 256 bytes
// (the last may be shorter) is CBC-decrypted from a zero chaining value, and
// the final count mod 16 bytes are copied unchanged. source and destination
// may be the same buffer.
void DecryptAes128(const Aes128DecryptionKeys& keys, std::size_t count,
                   const std::uint8_t* source, std::uint8_t* destination) noexcept;

// The same with the key given as bytes: returns kAesDone, or
// kAesBadKeyLength without writing anything when keyLength is not 16.
std::int32_t DecryptAes128(std::size_t count, const std::uint8_t* source,
                           std::uint8_t* destination, const std::uint8_t* key,
                           std::int32_t keyLength) noexcept;

// The two ways a chunk is decrypted: lookup tables everywhere, and the
// processor's AES instructions where it has them (x86; see
// aes128_instructions.h). Exposed so the tests can hold each to the same
// vectors.
namespace detail {

enum class AesPath { kTables, kInstructions };

// CBC-decrypts blocks whole 16-byte blocks from a zero chaining value.
void DecryptAes128Chunk(AesPath path, const Aes128DecryptionKeys& keys, std::size_t blocks,
                        const std::uint8_t* source, std::uint8_t* destination) noexcept;

}  // namespace detail

}  // namespace zeseal::catalogue
