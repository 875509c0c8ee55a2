// The check shared by the watermark and water-code data targets.
//
// The input is the Base64 text, handed over NUL-terminated. Each export runs
// with the text's own length, with a length reaching past the terminator (a
// caller may state its buffer's size), and with a negative length, always
// with a work buffer of exactly 3 x ceil(textLength / 4) bytes and a raster
// of the container's stated total (or of the most its chunks can inflate
// to, when that is less). Its result and raster must match
// what the decoding steps give when run one by one: Base64 first, then the
// container, then the family's result code.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/byte_order.h"
#include "codec/base64.h"
#include "codec/image_container.h"
#include "fuzz_support.h"

namespace zeseal::fuzz {

using MarkDataExport = std::int32_t (*)(const char* base64Text, std::uint8_t* work,
                                        std::uint8_t* raster, std::int32_t textLength);

struct MarkFamily {
    MarkDataExport decode = nullptr;
    std::int32_t base = 0;            // 2000 or 3000
    bool rasterKeptOnFailure = false;  // promised by the export's contract
};

inline void CheckMarkData(const MarkFamily& family, const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return;
    const auto text = TerminatedCopy(data, size);
    const std::size_t characters = std::strlen(text.get());
    const auto whole = static_cast<std::int32_t>(size);

    for (const std::int32_t textLength : {whole, whole + 13, -1 - whole}) {
        // The steps one by one, reading no further than the terminator.
        const std::size_t limit =
            textLength > 0 ? std::min(characters, static_cast<std::size_t>(textLength)) : 0;
        ExactBuffer bytes(codec::Base64MaxDecodedSize(limit));
        const std::size_t decoded = codec::Base64DecodePrefix(text.get(), limit, bytes.data());
        const auto stated = decoded >= 4 ? static_cast<std::int32_t>(base::ReadBe32(bytes.data())) : 0;
        if (stated > 0 && static_cast<std::uint32_t>(stated) > kMaxStatedTotal) continue;
        const std::size_t rasterSize = RasterBytesFor(stated, bytes.data(), decoded);

        ExactBuffer expectedRaster(rasterSize);
        std::int32_t expected = family.base + 2;
        if (decoded != 0) {
            std::uint32_t pictureLength = 0;
            expected = codec::ContainerResultCode(
                family.base, codec::DecodeImageContainer(expectedRaster.data(), &pictureLength,
                                                         bytes.data(),
                                                         static_cast<std::uint32_t>(decoded)));
        }

        ExactBuffer work(WorkBytesFor(textLength));
        ExactBuffer raster(rasterSize);
        const std::int32_t result = family.decode(text.get(), work.data(), raster.data(), textLength);
        ZESEAL_FUZZ_CHECK(result == expected);
        ZESEAL_FUZZ_CHECK(std::memcmp(raster.data(), expectedRaster.data(), rasterSize) == 0);
        if (result != 0 && family.rasterKeptOnFailure) ZESEAL_FUZZ_CHECK(raster.Untouched());
        if (textLength < 0) ZESEAL_FUZZ_CHECK(result == family.base + 2);
    }
}

}  // namespace zeseal::fuzz
