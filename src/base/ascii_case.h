// Letter case of names in the library's ANSI code page, 949 (Korean): only
// the single-byte ASCII letters A-Z and a-z have a case. A byte 0x81 to 0xFE
// leads a double-byte character, and the byte after it is part of that
// character, never a letter of its own, whatever its value: 갂 (0x81 0x41)
// and 갵 (0x81 0x61) are different characters. The locale plays no part.
//
// Printer, driver, port, flag, font, paper and scheme names are compared and
// folded with these, so that every place agrees on what "ignoring case" means.
#pragma once

#include <string>
#include <string_view>

namespace zeseal::base {

constexpr bool IsLeadByte(char c) noexcept {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x81 && byte <= 0xFE;
}

// One single-byte character; any other byte comes back unchanged.
constexpr char AsciiUpper(char c) noexcept {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char AsciiLower(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Negative, zero or positive as a sorts before, with or after b: byte by
// byte as unsigned values, letters taken in lower case; a text sorts before
// its own continuations.
int CompareIgnoringCase(std::string_view a, std::string_view b) noexcept;

bool SameIgnoringCase(std::string_view a, std::string_view b) noexcept;

// Whether text begins with prefix, ignoring case. The prefix must end on a
// character boundary of text: half a double-byte character does not count.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) noexcept;

// Upper-cases the letters in place: a NUL-terminated text or a string.
void UpperCaseInPlace(char* text) noexcept;
void UpperCaseInPlace(std::string& text) noexcept;

// Folded copies.
std::string UpperCased(std::string_view text);
std::string LowerCased(std::string_view text);

}  // namespace zeseal::base
