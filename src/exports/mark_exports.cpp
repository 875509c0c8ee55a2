// The watermark and water-code exports: decode the caller's text into the
// caller's buffers, then draw through the page device.
#include <zeseal/zeseal.h>

#include "codec/mark_payload.h"
#include "frame/fault_frame.h"
#include "marks/water_code.h"
#include "marks/watermark.h"
#include "seams/page_device.h"

using namespace zeseal;

namespace {

constexpr std::int32_t kWatermarkBase = ZE_WATERMARK_FAILED;
constexpr std::int32_t kWaterCodeBase = ZE_WATERCODE_FAILED;
constexpr std::int32_t kMarkDpiBase = 300;

}  // namespace

extern "C" {

ZESEAL_API int32_t ZESEAL_CALL iZeWaterMarkData(const char* base64Text, uint8_t* work,
                                                uint8_t* raster, int32_t textLength) {
    return frame::ContainExceptions(kWatermarkBase, [&] {
        std::uint32_t pictureLength = 0;
        return codec::DecodeMarkPayload(kWatermarkBase, base64Text, work, raster, textLength,
                                        &pictureLength);
    });
}

ZESEAL_API int32_t ZESEAL_CALL iZeWaterMark(HDC dc, const char* base64Text, uint8_t* work,
                                            uint8_t* raster, int32_t textLength, int32_t,
                                            int32_t, int32_t x, int32_t y) {
    return frame::ContainExceptions(kWatermarkBase, [&] {
        std::uint32_t pictureLength = 0;
        const std::int32_t decoded = codec::DecodeMarkPayload(kWatermarkBase, base64Text, work,
                                                              raster, textLength, &pictureLength);
        if (decoded != 0) return decoded;
        const auto page = platform::AttachPageDevice(dc);
        if (!page) return kWatermarkBase;
        return marks::DrawWatermarkRaster(*page, raster, pictureLength, x, y, kMarkDpiBase)
                   ? ZE_OK
                   : kWatermarkBase;
    });
}

ZESEAL_API int32_t ZESEAL_CALL iZeWaterCodeData(const char* base64Text, uint8_t* work,
                                                uint8_t* raster, int32_t textLength) {
    return frame::Guarded(kWaterCodeBase, [&] {
        std::uint32_t pictureLength = 0;
        return codec::DecodeMarkPayload(kWaterCodeBase, base64Text, work, raster, textLength,
                                        &pictureLength);
    });
}

ZESEAL_API int32_t ZESEAL_CALL iZeWaterCode(HDC dc, const char* base64Text, uint8_t* work,
                                            uint8_t* raster, int32_t textLength, int32_t,
                                            int32_t rasterBytes, int32_t x, int32_t y,
                                            int32_t layout) {
    // The device is bound outside the frame, so a caught fault never strands it.
    std::unique_ptr<platform::PageDevice> page;
    try {
        page = platform::AttachPageDevice(dc);
    } catch (...) {
        return kWaterCodeBase;
    }
    return frame::Guarded(kWaterCodeBase, [&] {
        std::uint32_t pictureLength = 0;
        const std::int32_t decoded = codec::DecodeMarkPayload(kWaterCodeBase, base64Text, work,
                                                              raster, textLength, &pictureLength);
        if (decoded != 0) return decoded;
        if (!page) return kWaterCodeBase;
        return marks::DrawWaterCode(*page, raster, pictureLength, x, y, layout, kMarkDpiBase,
                                    rasterBytes)
                   ? ZE_OK
                   : kWaterCodeBase;
    });
}

}  // extern "C"
