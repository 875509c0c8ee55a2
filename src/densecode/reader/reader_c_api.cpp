// The reader's C interface (include/zeseal/zeseal_reader.h): arguments
// checked, the scan reader called, its reading copied out.
#include <zeseal/zeseal_reader.h>

#include <cstring>
#include <new>

#include "densecode/reader/scan_reader.h"

namespace dc = zeseal::densecode;

static_assert(ZE_DENSE_BYTES == dc::kDenseInputBytes && ZE_DENSE_CODEWORDS == dc::kDenseBlocks);

extern "C" ZESEAL_READER_API int32_t ZESEAL_READER_CALL zeDenseReadScan(const uint8_t* grey, int32_t width,
                                                                        int32_t height, int32_t stride, int32_t dpi,
                                                                        uint8_t* bytes, ZeDenseReading* reading) {
    if (reading != nullptr) {
        std::memset(reading, 0, sizeof *reading);
        reading->result = ZE_DENSE_BAD_ARGUMENT;
        reading->margin = -1;
    }
    if (grey == nullptr || bytes == nullptr || width < 1 || height < 1 || stride < width || dpi < 0) {
        return ZE_DENSE_BAD_ARGUMENT;
    }
    try {
        dc::DenseScanOptions options;
        options.dpi = dpi;
        const dc::DenseScanReading read =
            dc::ReadDenseCodeFromScan({grey, width, height, std::size_t(stride)}, options);
        int32_t result = ZE_DENSE_NOT_FOUND;
        if (read.reading.status == dc::DenseReadStatus::kRead) result = ZE_DENSE_READ;
        else if (read.reading.status == dc::DenseReadStatus::kUncorrectable) result = ZE_DENSE_UNCORRECTABLE;
        if (result != ZE_DENSE_NOT_FOUND) std::memcpy(bytes, read.reading.bytes.data(), ZE_DENSE_BYTES);
        if (reading != nullptr) {
            reading->result = result;
            if (result != ZE_DENSE_NOT_FOUND) {
                reading->margin = read.reading.Margin();
                reading->failedCodewords = read.reading.FailedCodewords();
                for (int j = 0; j < ZE_DENSE_CODEWORDS; ++j) {
                    reading->corrected[j] = read.reading.corrected[std::size_t(j)];
                    reading->erasures[j] = read.reading.erasures[std::size_t(j)];
                    reading->spare[j] = read.reading.spare[std::size_t(j)];
                }
            }
            if (read.found) {
                const dc::PointD corner = read.map.Apply(0, 0);
                reading->cornerX = corner.x;
                reading->cornerY = corner.y;
                reading->angleDegrees = read.angleDegrees;
                reading->dpi = read.dpi;
                reading->upsideDown = read.upsideDown ? 1 : 0;
                reading->timingSquares = read.anchors;
            }
        }
        return result;
    } catch (const std::bad_alloc&) {
        return ZE_DENSE_NOT_FOUND;
    }
}
