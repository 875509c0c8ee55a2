#include "codec/base64.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "authoring/container_writer.h"

namespace zeseal::codec {
namespace {

// A straightforward decoder written from the rules: count the digits up to
// the first non-digit, decode whole groups, then the last group.
std::vector<std::uint8_t> ReferenceDecode(const std::string& text) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+') return 62;
        if (c == '/') return 63;
        return 64;
    };
    std::size_t n = 0;
    while (n < text.size() && value(text[n]) != 64) ++n;
    std::vector<std::uint8_t> out;
    const std::size_t groups = n > 4 ? (n - 1) / 4 : 0;
    for (std::size_t g = 0; g <= groups; ++g) {
        const std::size_t at = 4 * g;
        const std::size_t r = std::min<std::size_t>(4, n - std::min(n, at));
        int d[4] = {0, 0, 0, 0};
        for (std::size_t i = 0; i < r; ++i) d[i] = value(text[at + i]);
        if (r >= 2) out.push_back(static_cast<std::uint8_t>((d[0] << 2) | (d[1] >> 4)));
        if (r >= 3) out.push_back(static_cast<std::uint8_t>((d[1] << 4) | (d[2] >> 2)));
        if (r == 4) out.push_back(static_cast<std::uint8_t>((d[2] << 6) | d[3]));
    }
    return out;
}

std::string Decoded(const std::string& text) {
    std::vector<std::uint8_t> out(Base64MaxDecodedSize(text.size()) + 1, 0xEE);
    const std::int32_t n = Base64Decode(out.data(), text.c_str());
    return std::string(out.begin(), out.begin() + n);
}

struct Vector {
    const char* text;
    const char* bytes;
};

TEST(Base64Decode, StopsAtTheFirstNonDigit) {
    const Vector vectors[] = {
        {"", ""},
        {"TWFu", "Man"},
        {"TWFuTW", "ManM"},        // six digits give four bytes
        {"TWFuTW==", "ManM"},      // with or without fill
        {"TWE", "Ma"},
        {"TWE=", "Ma"},
        {"TQ", "M"},
        {"T", ""},                 // one digit gives nothing
        {"TWFuT", "Man"},
        {"TWFu TWFu", "Man"},      // a blank ends the text
        {"TWFu\nTWFu", "Man"},
        {" TWFu", ""},
        {"TW-u", "M"},             // URL-safe digits end the text
        {"TW_u", "M"},
        {"=TWFu", ""},
        {"TWFuTWFuTWFuTWFuTWFu", "ManManManManMan"},
    };
    for (const auto& v : vectors) {
        EXPECT_EQ(Decoded(v.text), v.bytes) << "text: \"" << v.text << "\"";
    }
}

TEST(Base64Decode, AgreesWithTheReferenceAroundEveryStopPosition) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> bytes(60);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    const std::string clean = authoring::EncodeBase64(bytes);
    for (std::size_t stop = 0; stop <= clean.size(); ++stop) {
        for (const char breaker : {'\0', '=', ' ', '-', '\x80'}) {
            std::string text = clean;
            if (stop < text.size()) text[stop] = breaker;
            const auto expected = ReferenceDecode(text.substr(0, text.find('\0')));
            std::vector<std::uint8_t> out(Base64MaxDecodedSize(text.size()) + 4, 0xEE);
            const std::size_t n = Base64DecodePrefix(text.data(), text.size(), out.data());
            ASSERT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + n), expected)
                << "stop " << stop << " breaker " << int(breaker);
            for (std::size_t i = n; i < out.size(); ++i) ASSERT_EQ(out[i], 0xEE) << "wrote past the result";
        }
    }
}

TEST(Base64Decode, RoundTripsEverySizeUpToAFewBlocks) {
    std::mt19937 random(11);
    for (std::size_t size = 0; size < 200; ++size) {
        std::vector<std::uint8_t> bytes(size);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        const std::string text = authoring::EncodeBase64(bytes);
        std::vector<std::uint8_t> out(Base64MaxDecodedSize(text.size()) + 1, 0xEE);
        ASSERT_EQ(Base64Decode(out.data(), text.c_str()), static_cast<std::int32_t>(size));
        ASSERT_TRUE(std::equal(bytes.begin(), bytes.end(), out.begin())) << "size " << size;
        ASSERT_EQ(out[size], 0xEE);
    }
}

TEST(Base64DecodeCounted, DecodesOnlyInsideTheGivenLength) {
    struct Case {
        const char* text;
        std::int32_t length;
        std::int32_t decoded;
    };
    const Case cases[] = {
        {"TWFuTWFu", 8, 6},
        {"TWFuTWFu", 4, 3},
        {"TWFuTWFu", 6, 4},
        {"TWFuTWFu", 0, 0},
        {"TWFuTWFu", -1, 0},  // a negative length decodes nothing
        {"TWFu\0TWFu", 9, 3},
    };
    for (const auto& c : cases) {
        std::uint8_t out[16];
        std::int32_t decoded = -7;
        EXPECT_EQ(Base64DecodeCounted(c.text, c.length, out, &decoded), 0);
        EXPECT_EQ(decoded, c.decoded) << c.text << " length " << c.length;
    }
}

TEST(Base64DecodeCounted, ReadsNoCharacterPastTheLength) {
    // The text is not terminated: only length bytes exist.
    const std::vector<char> text = {'T', 'W', 'F', 'u', 'T', 'W'};
    std::uint8_t out[6];
    std::int32_t decoded = 0;
    Base64DecodeCounted(text.data(), static_cast<std::int32_t>(text.size()), out, &decoded);
    EXPECT_EQ(decoded, 4);
}

TEST(Base64MaxDecodedSize, RoundsUpToWholeGroups) {
    EXPECT_EQ(Base64MaxDecodedSize(0), 0u);
    EXPECT_EQ(Base64MaxDecodedSize(1), 3u);
    EXPECT_EQ(Base64MaxDecodedSize(4), 3u);
    EXPECT_EQ(Base64MaxDecodedSize(5), 6u);
}

}  // namespace
}  // namespace zeseal::codec
