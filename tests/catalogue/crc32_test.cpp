#include "catalogue/crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <vector>

namespace zeseal::catalogue {
namespace {

TEST(Crc32Test, GivesTheCheckValueOfTheStandardCrc) {
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32("", 0), 0u);
    // Nothing to add leaves a running CRC as it is, even without a buffer.
    EXPECT_EQ(Crc32Update(0xCBF43926u, nullptr, 0), 0xCBF43926u);
    EXPECT_EQ(Crc32Update(Crc32("1234", 4), "56789", 5), 0xCBF43926u);
}

// zlib's crc32 is the same CRC: every length around the eight-byte steps,
// at every alignment, and a buffer continued in two parts.
TEST(Crc32Test, AgreesWithZlibAtEveryLengthAndAlignment) {
    std::mt19937 random(7);
    std::vector<unsigned char> bytes(4096 + 16);
    for (auto& b : bytes) b = static_cast<unsigned char>(random());
    for (std::size_t offset = 0; offset < 8; ++offset) {
        for (std::size_t length = 0; length < 80; ++length) {
            const unsigned char* p = bytes.data() + offset;
            ASSERT_EQ(Crc32(p, length), crc32(0L, p, static_cast<uInt>(length)))
                << "offset " << offset << ", length " << length;
        }
    }
    const unsigned char* p = bytes.data() + 3;
    const std::uint32_t whole = Crc32(p, 4096);
    EXPECT_EQ(whole, crc32(0L, p, 4096));
    for (const std::size_t split : {std::size_t{0}, std::size_t{1}, std::size_t{9}, std::size_t{4095}}) {
        EXPECT_EQ(Crc32Update(Crc32(p, split), p + split, 4096 - split), whole) << split;
    }
}

}  // namespace
}  // namespace zeseal::catalogue
