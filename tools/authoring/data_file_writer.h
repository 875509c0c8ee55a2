// Authoring side of the installed data files, which the library only reads:
// encoding supported-model records and laying out both files.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/data_file_format.h"
#include "catalogue/model_record.h"

namespace zeseal::authoring {

// The longest name each file can hold (its field less the terminator).
inline constexpr std::size_t kMaxModelNameBytes = catalogue::kModelNameSize - 1;       // 49
inline constexpr std::size_t kMaxCourtNameBytes = catalogue::kCourtNameFieldBytes - 1;  // 131

// The eight settings in the order they are stored: pen width, reserved 1 to
// 3, dot shape, dot pitch, smoothing, support class.
using ModelSettings = std::array<std::int16_t, 8>;

// A record with the name (at most 49 bytes, NUL-padded) and the settings.
// Throws std::invalid_argument for a longer name.
catalogue::ModelRecord MakeModelRecord(std::string_view name, const ModelSettings& settings);

// The 74 stored bytes of a record: the checksum text ("%8.8X" of the CRC-32
// of bytes 8 to 73), the name and the settings, bytes 0 to 63 encrypted.
std::array<std::uint8_t, catalogue::kRecordBytes> EncodeModelRecord(
    const catalogue::ModelRecord& record);

struct ModelFileEntry {
    std::int32_t tag = catalogue::kRecordTag;  // 74 or 66, or kFillerTag
    catalogue::ModelRecord record{};           // not stored for a filler entry
};

// The whole supported-model file: the count of the record entries, then
// every entry (a filler entry as its tag and 74 zero bytes).
std::vector<std::uint8_t> BuildModelFile(std::span<const ModelFileEntry> entries);

// The whole court printer list: each name in its 132-byte field, after a
// length that is the name's length. Throws std::invalid_argument for a name
// over 131 bytes.
std::vector<std::uint8_t> BuildCourtList(std::span<const std::string> names);

// Appends a little-endian 32-bit word.
void AppendLittleEndian32(std::vector<std::uint8_t>& out, std::uint32_t value);

}  // namespace zeseal::authoring
