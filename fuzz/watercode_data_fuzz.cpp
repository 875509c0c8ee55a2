// iZeWaterCodeData on arbitrary text; see mark_data_check.h for what is checked.
//
// The export runs in a fault frame that turns a memory fault into 3000. The
// same decoding runs unguarded first, so a fault is seen, not swallowed.
#include <zeseal/zeseal.h>

#include "mark_data_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zeseal::fuzz::CheckMarkData({iZeWaterCodeData, ZE_WATERCODE_FAILED, false}, data, size);
    return 0;
}
