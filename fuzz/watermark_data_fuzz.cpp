// iZeWaterMarkData on arbitrary text; see mark_data_check.h for what is checked.
#include <zeseal/zeseal.h>

#include "mark_data_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zeseal::fuzz::CheckMarkData({iZeWaterMarkData, ZE_WATERMARK_FAILED, true}, data, size);
    return 0;
}
