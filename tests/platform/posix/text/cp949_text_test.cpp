#include "platform/posix/text/cp949_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

namespace zeseal::platform::posix {
namespace {

// Each way between the library's code page 949 and UTF-8. A code page text
// of nullptr: the UTF-8 has none; a UTF-8 text that comes back as U+FFFD:
// the code page bytes do not decode.
struct TextCase {
    const char* cp949;
    std::string_view utf8;
    bool roundTrip;
};

TEST(Cp949Text, ConvertsBothWaysAndRefusesWhatHasNoPlace) {
    const TextCase cases[] = {
        {"", "", true},
        {"Model A-1", "Model A-1", true},
        {"\xB1\xC3\xBC\xAD", "\xEA\xB6\x81\xEC\x84\x9C", true},  // 궁서
        {"\x81\x41", "\xEA\xB0\x82", true},                       // 갂: a letter as second byte
        {"\x81\x61", "\xEA\xB0\xB5", true},                       // 갵
        {"\xA2\xE6", "\xE2\x82\xAC", true},                       // the euro sign
        {"\xB1", "\xEF\xBF\xBD", false},                          // a lead byte alone
        {"\xFF" "a", "\xEF\xBF\xBD" "a", false},                  // 0xFF is no character
        {nullptr, "\xC3\xA9", false},                             // é has no place
        {nullptr, "\xF0\x9F\x98\x80", false},                     // nor has an emoji
        {nullptr, "\xEA\xB0", false},                             // UTF-8 cut short
        {nullptr, "a\xFF", false},                                // not UTF-8
    };
    for (const TextCase& c : cases) {
        const std::optional<std::string> encoded = Utf8ToCp949(c.utf8);
        if (c.cp949 == nullptr) {
            EXPECT_EQ(encoded, std::nullopt) << c.utf8;
            continue;
        }
        EXPECT_EQ(Cp949ToUtf8(c.cp949), c.utf8) << c.cp949;
        if (c.roundTrip) {
            EXPECT_EQ(encoded, std::string(c.cp949)) << c.utf8;
        }
    }
}

}  // namespace
}  // namespace zeseal::platform::posix
