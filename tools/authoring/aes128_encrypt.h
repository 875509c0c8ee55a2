// AES-128 encryption, the counterpart of the library's decryption: the same
// CBC chaining, reset to zero every 256 bytes, with the last count mod 16
// bytes left in clear. Only the tools that write data files need it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "catalogue/aes128.h"

namespace zeseal::authoring {

// Encrypts one 16-byte block. in and out may be the same.
void EncryptAes128Block(const catalogue::Aes128RoundKeys& keys, const std::uint8_t* in,
                        std::uint8_t* out) noexcept;

// Encrypts count bytes from source into destination (which may be the same).
void EncryptAes128(const std::uint8_t* key, std::size_t count, const std::uint8_t* source,
                   std::uint8_t* destination) noexcept;

}  // namespace zeseal::authoring
