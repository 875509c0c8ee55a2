#include "base/byte_order.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace zeseal::base {
namespace {

// Both orders read back from one byte sequence, and written back to it, at
// an odd offset so that no read is aligned.
struct OrderCase {
    std::array<std::uint8_t, 4> bytes;
    std::uint16_t le16;
    std::uint16_t be16;
    std::uint32_t le32;
    std::uint32_t be32;
};

TEST(ByteOrder, ReadsAndWritesBothOrdersAtAnyAddress) {
    const OrderCase cases[] = {
        {{0x01, 0x02, 0x03, 0x04}, 0x0201, 0x0102, 0x04030201u, 0x01020304u},
        {{0xFF, 0x00, 0x00, 0x80}, 0x00FF, 0xFF00, 0x800000FFu, 0xFF000080u},  // top bits set
        {{0x36, 0x04, 0x00, 0x00}, 0x0436, 0x3604, 0x00000436u, 0x36040000u},  // BMP offset 1078
        {{0xFF, 0xFF, 0xFF, 0xFF}, 0xFFFF, 0xFFFF, 0xFFFFFFFFu, 0xFFFFFFFFu},
    };
    for (const OrderCase& c : cases) {
        std::uint8_t buffer[5] = {0, c.bytes[0], c.bytes[1], c.bytes[2], c.bytes[3]};
        const std::uint8_t* at = buffer + 1;
        EXPECT_EQ(ReadLe16(at), c.le16);
        EXPECT_EQ(ReadBe16(at), c.be16);
        EXPECT_EQ(ReadLe32(at), c.le32);
        EXPECT_EQ(ReadBe32(at), c.be32);

        // Each writer puts back the bytes it was read from, and only those.
        std::array<std::uint8_t, 6> le16{}, be16{}, le32{}, be32{};
        WriteLe16(le16.data() + 1, c.le16);
        WriteBe16(be16.data() + 1, c.be16);
        WriteLe32(le32.data() + 1, c.le32);
        WriteBe32(be32.data() + 1, c.be32);
        const std::array<std::uint8_t, 6> two = {0, c.bytes[0], c.bytes[1], 0, 0, 0};
        const std::array<std::uint8_t, 6> four = {0, c.bytes[0], c.bytes[1], c.bytes[2], c.bytes[3], 0};
        EXPECT_TRUE(le16 == two && be16 == two && le32 == four && be32 == four);
    }
}

// The readers work in constant expressions, where a table can use them.
constexpr std::array<std::uint8_t, 4> kHeader = {0x00, 0x00, 0x01, 0x2C};
static_assert(ReadBe32(kHeader.data()) == 300);
static_assert(ReadLe16(kHeader.data() + 2) == 0x2C01);

}  // namespace
}  // namespace zeseal::base
