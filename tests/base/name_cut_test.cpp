#include "base/name_cut.h"

#include <gtest/gtest.h>

#include <string>

namespace zeseal::base {
namespace {

TEST(NameCut, KeepsNamesThatFitAndCutsLongerOnesTo258) {
    struct Case {
        std::size_t length;
        std::size_t kept;
    };
    for (const Case c : {Case{0, 0}, Case{258, 258}, Case{259, 259}, Case{260, 258},
                         Case{261, 258}, Case{1000, 258}}) {
        const std::string name(c.length, 'n');
        const std::string_view kept = CutLongName(name);
        EXPECT_EQ(kept.size(), c.kept) << c.length;
        EXPECT_EQ(kept.data(), name.data()) << c.length;  // always the name's beginning
        EXPECT_LT(kept.size(), kNameBufferSize) << c.length;  // room for the terminator
    }
}

}  // namespace
}  // namespace zeseal::base
