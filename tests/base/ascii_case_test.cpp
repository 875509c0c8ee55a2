#include "base/ascii_case.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace zeseal::base {
namespace {

using namespace std::string_view_literals;

struct CompareCase {
    std::string_view a;
    std::string_view b;
    int order;  // the sign CompareIgnoringCase gives
};

TEST(AsciiCase, ComparesAsciiLettersWithoutCaseAndEveryOtherByteExactly) {
    const CompareCase cases[] = {
        {"Model A", "MODEL a", 0},
        {"abc", "abd", -1},
        {"abc", "ab", 1},
        {"Q", "_", 1},       // letters compare in lower case: 'q' sorts after '_'
        {"@", "`", -1},      // neighbours of the letters are not letters
        {"\x81\x41", "\x81\x61", -1},  // 갂 and 갵: the second byte is not a letter
        {"a\x81\x41z", "A\x81\x41Z", 0},
        {"x\x81", "X\x81", 0},         // a lead byte alone at the end
        {"\xC1", "\xE1", -1},          // high single bytes are never folded
        {"\xFF" "a", "\xFF" "A", 0},   // 0xFF leads nothing
        {"\x80" "a", "\x80" "A", 0},   // nor does 0x80
        {"a\0b"sv, "A\0B"sv, 0},
    };
    for (const CompareCase& c : cases) {
        const int order = CompareIgnoringCase(c.a, c.b);
        EXPECT_EQ((order > 0) - (order < 0), c.order) << c.a << " | " << c.b;
        EXPECT_EQ(SameIgnoringCase(c.a, c.b), c.order == 0) << c.a << " | " << c.b;
    }
}

struct PrefixCase {
    std::string_view text;
    std::string_view prefix;
    bool starts;
};

TEST(AsciiCase, FindsPrefixesOnlyOnCharacterBoundaries) {
    const PrefixCase cases[] = {
        {"printer Able", "PRINTER ", true},
        {"abc", "", true},
        {"ab", "abc", false},
        {"\x81\x61x", "\x81\x41", false},  // 갵 does not begin with 갂
        {"\x81\x61", "\x81", false},       // half a character is not a prefix
        {"x\x81", "X\x81", true},           // a lead byte alone at the end
        {"\x81\x61\x81\x61", "\x81\x61", true},
    };
    for (const PrefixCase& c : cases) {
        EXPECT_EQ(StartsWithIgnoringCase(c.text, c.prefix), c.starts) << c.text << " | " << c.prefix;
    }
}

struct FoldCase {
    std::string_view text;
    std::string_view upper;
    std::string_view lower;
};

TEST(AsciiCase, FoldsOnlySingleByteLettersAndKeepsSecondBytes) {
    const FoldCase cases[] = {
        {"Model x-200", "MODEL X-200", "model x-200"},
        {"\x81\x61" "a\x81\x41" "A", "\x81\x61" "A\x81\x41" "A", "\x81\x61" "a\x81\x41" "a"},
        {"z\x81", "Z\x81", "z\x81"},                 // a lead byte alone at the end
        {"\xC1\xE1\xFF" "b", "\xC1\xE1\xFF" "B", "\xC1\xE1\xFF" "b"},  // 0xFF leads nothing
    };
    for (const FoldCase& c : cases) {
        EXPECT_EQ(UpperCased(c.text), c.upper) << c.text;
        EXPECT_EQ(LowerCased(c.text), c.lower) << c.text;
        std::string inPlace(c.text);
        UpperCaseInPlace(inPlace.data());
        EXPECT_EQ(inPlace, c.upper) << c.text;
    }
}

}  // namespace
}  // namespace zeseal::base
