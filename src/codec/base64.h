// Lenient Base64 decoding (RFC 4648 alphabet, no encoder).
//
// Decoding never reports malformed text: it stops at the first character
// that is not a Base64 digit ("=", NUL, blanks, line ends, "-" and "_" all
// end the text). A last group of one digit contributes no byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zeseal::codec {

// The most bytes a text of textLength characters can give: 3 x ceil(L / 4).
std::size_t Base64MaxDecodedSize(std::size_t textLength) noexcept;

// Decodes the digits at the start of text, reading at most limit characters,
// into out. Returns the number of bytes written.
std::size_t Base64DecodePrefix(const char* text, std::size_t limit, std::uint8_t* out) noexcept;

// The number of Base64 digits at the start of text, reading at most limit
// characters: how much of it a decoder reads.
std::size_t Base64LeadingDigits(const char* text, std::size_t limit) noexcept;

// Decodes a NUL-terminated text. Returns the number of bytes written.
std::int32_t Base64Decode(std::uint8_t* out, const char* text) noexcept;

// Decodes at most length characters of text (a negative length decodes none)
// and stores the number of bytes written in *decodedLength. Returns 0.
std::int32_t Base64DecodeCounted(const char* text, std::int32_t length, std::uint8_t* out,
                                 std::int32_t* decodedLength) noexcept;

}  // namespace zeseal::codec
