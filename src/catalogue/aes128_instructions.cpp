// The AES instruction path of the CBC decryption, for x86 processors that
// have AES-NI. The functions carry their own target attribute, so the rest of
// the build needs no special flags and runs on processors without it.
#include "catalogue/aes128_instructions.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define ZESEAL_HAVE_AES_INSTRUCTIONS 1
#include <cpuid.h>
#include <emmintrin.h>
#include <wmmintrin.h>
#endif

namespace zeseal::catalogue::detail {

#ifdef ZESEAL_HAVE_AES_INSTRUCTIONS

bool AesInstructionsAvailable() noexcept {
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return false;
    return (ecx & bit_AES) != 0 && (edx & bit_SSE2) != 0;
}

// 32-bit Windows only promises a 4-byte aligned stack; the SSE registers
// may be spilled, so realign on entry there.
#if defined(__i386__)
#define ZESEAL_REALIGN_STACK __attribute__((force_align_arg_pointer))
#else
#define ZESEAL_REALIGN_STACK
#endif

__attribute__((target("aes,sse2"))) ZESEAL_REALIGN_STACK void
DecryptAes128ChunkWithInstructions(const Aes128DecryptionKeys& keys, std::size_t blocks,
                                   const std::uint8_t* source,
                                   std::uint8_t* destination) noexcept {
    __m128i k[kAesRounds + 1];
    for (int r = 0; r <= kAesRounds; ++r) {
        k[r] = _mm_load_si128(reinterpret_cast<const __m128i*>(keys.bytes[r]));
    }
    const auto* in = reinterpret_cast<const __m128i*>(source);
    auto* out = reinterpret_cast<__m128i*>(destination);
    __m128i chain = _mm_setzero_si128();
    std::size_t b = 0;
    // Four blocks at a time: CBC decryption of different blocks is
    // independent, so the instruction latencies overlap.
    for (; b + 4 <= blocks; b += 4) {
        const __m128i c0 = _mm_loadu_si128(in + b);
        const __m128i c1 = _mm_loadu_si128(in + b + 1);
        const __m128i c2 = _mm_loadu_si128(in + b + 2);
        const __m128i c3 = _mm_loadu_si128(in + b + 3);
        __m128i s0 = _mm_xor_si128(c0, k[0]);
        __m128i s1 = _mm_xor_si128(c1, k[0]);
        __m128i s2 = _mm_xor_si128(c2, k[0]);
        __m128i s3 = _mm_xor_si128(c3, k[0]);
        for (int r = 1; r < kAesRounds; ++r) {
            s0 = _mm_aesdec_si128(s0, k[r]);
            s1 = _mm_aesdec_si128(s1, k[r]);
            s2 = _mm_aesdec_si128(s2, k[r]);
            s3 = _mm_aesdec_si128(s3, k[r]);
        }
        s0 = _mm_aesdeclast_si128(s0, k[kAesRounds]);
        s1 = _mm_aesdeclast_si128(s1, k[kAesRounds]);
        s2 = _mm_aesdeclast_si128(s2, k[kAesRounds]);
        s3 = _mm_aesdeclast_si128(s3, k[kAesRounds]);
        _mm_storeu_si128(out + b, _mm_xor_si128(s0, chain));
        _mm_storeu_si128(out + b + 1, _mm_xor_si128(s1, c0));
        _mm_storeu_si128(out + b + 2, _mm_xor_si128(s2, c1));
        _mm_storeu_si128(out + b + 3, _mm_xor_si128(s3, c2));
        chain = c3;
    }
    for (; b < blocks; ++b) {
        const __m128i c = _mm_loadu_si128(in + b);
        __m128i s = _mm_xor_si128(c, k[0]);
        for (int r = 1; r < kAesRounds; ++r) s = _mm_aesdec_si128(s, k[r]);
        s = _mm_aesdeclast_si128(s, k[kAesRounds]);
        _mm_storeu_si128(out + b, _mm_xor_si128(s, chain));
        chain = c;
    }
}

#else

bool AesInstructionsAvailable() noexcept { return false; }

// Never called without the instructions; the tables do the same work.
void DecryptAes128ChunkWithInstructions(const Aes128DecryptionKeys& keys, std::size_t blocks,
                                        const std::uint8_t* source,
                                        std::uint8_t* destination) noexcept {
    DecryptAes128Chunk(AesPath::kTables, keys, blocks, source, destination);
}

#endif

}  // namespace zeseal::catalogue::detail
