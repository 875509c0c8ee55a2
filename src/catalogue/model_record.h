// A decoded record of the supported-model file: the model name and eight
// signed 16-bit settings, in the order they are stored.
#pragma once

#include <cstdint>

namespace zeseal::catalogue {

inline constexpr int kModelNameSize = 50;  // NUL-terminated, at most 49 characters

struct ModelRecord {
    char modelName[kModelNameSize];
    std::int16_t penWidth;
    std::int16_t reserved1;
    std::int16_t reserved2;
    std::int16_t reserved3;
    std::int16_t dotShape;
    std::int16_t dotPitch;
    std::int16_t smoothPattern;
    std::int16_t supportClass;
};
static_assert(sizeof(ModelRecord) == 66, "a model record is the 66 decoded bytes 8 to 73");

// The process-wide record that the supported-model lookup works in. It holds
// the matching record directly after a lookup that returned kModelFound.
ModelRecord& CurrentModelRecord() noexcept;

inline constexpr std::int32_t kRecordDecoded = 0;
inline constexpr std::int32_t kRecordChecksumMismatch = -2;

// Decrypts the 74 record bytes of a supported-model entry and checks them
// against their checksum text. Returns kRecordDecoded with out filled, or
// kRecordChecksumMismatch with out untouched.
std::int32_t DecodeModelRecord(const std::uint8_t* recordBytes, ModelRecord& out) noexcept;

// True when the record's name ends within its field. A name without its NUL
// never matches a lookup.
bool HasTerminatedName(const ModelRecord& record) noexcept;

}  // namespace zeseal::catalogue
