// The decoding shared by the watermark and water-code exports: Base64 text
// into the caller's work buffer, then the container into the caller's raster.
#pragma once

#include <cstdint>

namespace zeseal::codec {

// Returns 0, or the family's code (familyBase 2000 or 3000): base + 2 when
// the text gave no bytes, base + 3/4/5 for the container's memory, chunk and
// total-length failures, and base itself for any other unusable container.
// On success *pictureLength is the number of bytes written to raster.
std::int32_t DecodeMarkPayload(std::int32_t familyBase, const char* base64Text, std::uint8_t* work,
                               std::uint8_t* raster, std::int32_t textLength,
                               std::uint32_t* pictureLength) noexcept;

}  // namespace zeseal::codec
