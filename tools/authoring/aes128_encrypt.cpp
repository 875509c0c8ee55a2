#include "authoring/aes128_encrypt.h"

#include <cstring>

namespace zeseal::authoring {
namespace {

using catalogue::kAesBlockBytes;
using catalogue::kAesRounds;

std::uint8_t Xtime(std::uint8_t x) noexcept {
    return static_cast<std::uint8_t>((x << 1) ^ ((x & 0x80) != 0 ? 0x1B : 0));
}

void AddRoundKey(std::uint8_t* state, const std::uint8_t* roundKey) noexcept {
    for (std::size_t i = 0; i < kAesBlockBytes; ++i) state[i] ^= roundKey[i];
}

// SubBytes and ShiftRows together: the byte of row r, column c comes from
// column c + r. The state is held column by column, as FIPS-197 lays it out.
void SubstituteAndShift(std::uint8_t* state) noexcept {
    const auto& sbox = catalogue::AesSbox();
    std::uint8_t shifted[kAesBlockBytes];
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) shifted[4 * c + r] = sbox[state[4 * ((c + r) % 4) + r]];
    }
    std::memcpy(state, shifted, kAesBlockBytes);
}

void MixColumns(std::uint8_t* state) noexcept {
    for (int c = 0; c < 4; ++c) {
        std::uint8_t* a = state + 4 * c;
        const std::uint8_t all = a[0] ^ a[1] ^ a[2] ^ a[3];
        const std::uint8_t first = a[0];
        a[0] ^= all ^ Xtime(a[0] ^ a[1]);
        a[1] ^= all ^ Xtime(a[1] ^ a[2]);
        a[2] ^= all ^ Xtime(a[2] ^ a[3]);
        a[3] ^= all ^ Xtime(a[3] ^ first);
    }
}

}  // namespace

void EncryptAes128Block(const catalogue::Aes128RoundKeys& keys, const std::uint8_t* in,
                        std::uint8_t* out) noexcept {
    std::uint8_t state[kAesBlockBytes];
    std::memcpy(state, in, kAesBlockBytes);
    AddRoundKey(state, keys.bytes[0]);
    for (int r = 1; r <= kAesRounds; ++r) {
        SubstituteAndShift(state);
        if (r != kAesRounds) MixColumns(state);
        AddRoundKey(state, keys.bytes[r]);
    }
    std::memcpy(out, state, kAesBlockBytes);
}

void EncryptAes128(const std::uint8_t* key, std::size_t count, const std::uint8_t* source,
                   std::uint8_t* destination) noexcept {
    const catalogue::Aes128RoundKeys keys = catalogue::ExpandAes128Key(key);
    for (std::size_t offset = 0; offset < count; offset += catalogue::kAesChainChunkBytes) {
        const std::size_t chunk = count - offset < catalogue::kAesChainChunkBytes
                                      ? count - offset
                                      : catalogue::kAesChainChunkBytes;
        std::uint8_t chain[kAesBlockBytes] = {};
        std::size_t done = 0;
        for (; done + kAesBlockBytes <= chunk; done += kAesBlockBytes) {
            std::uint8_t block[kAesBlockBytes];
            std::memcpy(block, source + offset + done, kAesBlockBytes);
            for (std::size_t i = 0; i < kAesBlockBytes; ++i) block[i] ^= chain[i];
            EncryptAes128Block(keys, block, chain);
            std::memcpy(destination + offset + done, chain, kAesBlockBytes);
        }
        if (done < chunk && source != destination) {
            std::memmove(destination + offset + done, source + offset + done, chunk - done);
        }
    }
}

}  // namespace zeseal::authoring
