#include "codec/base64.h"

#include <array>
#include <cstring>

#include "base/byte_order.h"

namespace zeseal::codec {
namespace {

constexpr std::uint32_t kNotDigit = 64;
// Set in a combined group value when one of its characters is not a digit.
constexpr std::uint32_t kGroupInvalid = 0x01000000;

constexpr std::array<std::uint8_t, 256> MakeDigitTable() {
    std::array<std::uint8_t, 256> t{};
    for (auto& v : t) v = kNotDigit;
    for (int i = 0; i < 26; ++i) {
        t['A' + i] = static_cast<std::uint8_t>(i);
        t['a' + i] = static_cast<std::uint8_t>(26 + i);
    }
    for (int i = 0; i < 10; ++i) t['0' + i] = static_cast<std::uint8_t>(52 + i);
    t['+'] = 62;
    t['/'] = 63;
    return t;
}

constexpr std::array<std::uint8_t, 256> kDigit = MakeDigitTable();

// Per-position tables: the digit's bits already shifted into place in the
// 24-bit group, or kGroupInvalid. A group of four characters is the OR of
// four lookups, and one test finds any non-digit among them.
constexpr std::array<std::uint32_t, 256> MakeShiftedTable(int shift) {
    std::array<std::uint32_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        t[c] = kDigit[c] == kNotDigit ? kGroupInvalid : std::uint32_t{kDigit[c]} << shift;
    }
    return t;
}

constexpr std::array<std::uint32_t, 256> kAt0 = MakeShiftedTable(18);
constexpr std::array<std::uint32_t, 256> kAt1 = MakeShiftedTable(12);
constexpr std::array<std::uint32_t, 256> kAt2 = MakeShiftedTable(6);
constexpr std::array<std::uint32_t, 256> kAt3 = MakeShiftedTable(0);

inline std::uint32_t Group(const unsigned char* p) noexcept {
    return kAt0[p[0]] | kAt1[p[1]] | kAt2[p[2]] | kAt3[p[3]];
}

}  // namespace

std::size_t Base64MaxDecodedSize(std::size_t textLength) noexcept {
    return 3 * (textLength / 4 + (textLength % 4 != 0 ? 1 : 0));
}

std::size_t Base64DecodePrefix(const char* text, std::size_t limit, std::uint8_t* out) noexcept {
    const auto* in = reinterpret_cast<const unsigned char*>(text);
    std::size_t i = 0;
    std::uint8_t* o = out;

    // Sixteen characters give exactly twelve bytes, written as three words.
    while (limit - i >= 16) {
        const std::uint32_t a = Group(in + i);
        const std::uint32_t b = Group(in + i + 4);
        const std::uint32_t c = Group(in + i + 8);
        const std::uint32_t d = Group(in + i + 12);
        if (((a | b | c | d) & kGroupInvalid) != 0) break;
        base::WriteBe32(o, (a << 8) | (b >> 16));
        base::WriteBe32(o + 4, (b << 16) | (c >> 8));
        base::WriteBe32(o + 8, (c << 24) | d);
        i += 16;
        o += 12;
    }
    while (limit - i >= 4) {
        const std::uint32_t a = Group(in + i);
        if ((a & kGroupInvalid) != 0) break;
        o[0] = static_cast<std::uint8_t>(a >> 16);
        o[1] = static_cast<std::uint8_t>(a >> 8);
        o[2] = static_cast<std::uint8_t>(a);
        i += 4;
        o += 3;
    }

    // The last group: the digits that remain before a non-digit or the limit.
    std::uint32_t d[4] = {0, 0, 0, 0};
    std::size_t r = 0;
    while (r < 4 && i + r < limit && kDigit[in[i + r]] != kNotDigit) {
        d[r] = kDigit[in[i + r]];
        ++r;
    }
    if (r >= 2) *o++ = static_cast<std::uint8_t>((d[0] << 2) | (d[1] >> 4));
    if (r >= 3) *o++ = static_cast<std::uint8_t>((d[1] << 4) | (d[2] >> 2));
    if (r == 4) *o++ = static_cast<std::uint8_t>((d[2] << 6) | d[3]);
    return static_cast<std::size_t>(o - out);
}

std::size_t Base64LeadingDigits(const char* text, std::size_t limit) noexcept {
    const auto* in = reinterpret_cast<const unsigned char*>(text);
    std::size_t n = 0;
    while (n < limit && kDigit[in[n]] != kNotDigit) ++n;
    return n;
}

std::int32_t Base64Decode(std::uint8_t* out, const char* text) noexcept {
    return static_cast<std::int32_t>(Base64DecodePrefix(text, std::strlen(text), out));
}

std::int32_t Base64DecodeCounted(const char* text, std::int32_t length, std::uint8_t* out,
                                 std::int32_t* decodedLength) noexcept {
    // Decoding in place up to the first NUL inside the counted length is the
    // same as decoding a terminated copy, and reads nothing past that NUL
    // even when the caller states its buffer's size rather than the text's.
    const std::size_t limit = length > 0 ? strnlen(text, static_cast<std::size_t>(length)) : 0;
    *decodedLength = static_cast<std::int32_t>(Base64DecodePrefix(text, limit, out));
    return 0;
}

}  // namespace zeseal::codec
