// The Windows test program. Started with --unguarded-fault it instead makes
// an export without a fault frame fault, so a test can watch the process end.
#include <zeseal/zeseal.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

volatile std::uintptr_t faultingAddress = 0x10;

int FaultOutsideAnyFrame() {
    // The watermark exports catch exceptions only: a bad text pointer must
    // still end the process.
    std::uint8_t work[64] = {};
    std::uint8_t raster[64] = {};
    return iZeWaterMarkData(reinterpret_cast<const char*>(faultingAddress), work, raster, 64);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--unguarded-fault") == 0) {
        return FaultOutsideAnyFrame() == 0 ? 0 : 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
