// The AES instruction path of the CBC decryption, for x86 processors that
// have AES-NI; the lookup tables of aes128.cpp serve every other processor.
#pragma once

#include <cstddef>
#include <cstdint>

#include "catalogue/aes128.h"

namespace zeseal::catalogue::detail {

// True when this processor has the AES instructions and this build can use
// them.
bool AesInstructionsAvailable() noexcept;

// The instruction path of DecryptAes128Chunk; only called when
// AesInstructionsAvailable().
void DecryptAes128ChunkWithInstructions(const Aes128DecryptionKeys& keys, std::size_t blocks,
                                        const std::uint8_t* source,
                                        std::uint8_t* destination) noexcept;

}  // namespace zeseal::catalogue::detail
