#include "base/ascii_case.h"

namespace zeseal::base {
namespace {

// Whether a character of text starts at byte at (at <= text.size()).
bool StartsCharacter(std::string_view text, std::size_t at) noexcept {
    std::size_t i = 0;
    while (i < at) i += IsLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1;
    return i == at;
}

// Applies fold to every single-byte character of text, stepping over the
// second byte of each double-byte one.
template <char (*Fold)(char) noexcept>
void FoldInPlace(std::string& text) noexcept {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(text[i])) {
            ++i;
        } else {
            text[i] = Fold(text[i]);
        }
    }
}

}  // namespace

int CompareIgnoringCase(std::string_view a, std::string_view b) noexcept {
    bool trail = false;  // a[i] and b[i] are the second bytes of equal lead bytes
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const auto x = static_cast<unsigned char>(trail ? a[i] : AsciiLower(a[i]));
        const auto y = static_cast<unsigned char>(trail ? b[i] : AsciiLower(b[i]));
        if (x != y) return x < y ? -1 : 1;
        trail = !trail && IsLeadByte(a[i]);
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) noexcept {
    return a.size() == b.size() && CompareIgnoringCase(a, b) == 0;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) noexcept {
    return prefix.size() <= text.size() && SameIgnoringCase(text.substr(0, prefix.size()), prefix) &&
           StartsCharacter(text, prefix.size());
}

void UpperCaseInPlace(char* text) noexcept {
    for (; *text != '\0'; ++text) {
        if (IsLeadByte(*text)) {
            if (*++text == '\0') return;
        } else {
            *text = AsciiUpper(*text);
        }
    }
}

void UpperCaseInPlace(std::string& text) noexcept { FoldInPlace<AsciiUpper>(text); }

std::string UpperCased(std::string_view text) {
    std::string copy(text);
    UpperCaseInPlace(copy);
    return copy;
}

std::string LowerCased(std::string_view text) {
    std::string copy(text);
    FoldInPlace<AsciiLower>(copy);
    return copy;
}

}  // namespace zeseal::base
