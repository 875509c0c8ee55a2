#include "codec/base64.h"

#include <gtest/gtest.h>

TEST(Base64, Smoke) {
    std::uint8_t out[8] = {};
    EXPECT_EQ(zeseal::codec::Base64Decode(out, "TWFu"), 3);
}
