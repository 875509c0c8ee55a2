#include "catalogue/model_record.h"

#include <cstring>

#include "base/byte_order.h"
#include "catalogue/aes128.h"
#include "catalogue/crc32.h"
#include "catalogue/data_file_format.h"

namespace zeseal::catalogue {
namespace {

ModelRecord currentModelRecord{};

const Aes128DecryptionKeys& ModelFileKeys() noexcept {
    static const Aes128DecryptionKeys keys =
        MakeAes128DecryptionKeys(reinterpret_cast<const std::uint8_t*>(kModelFileKeyText));
    return keys;
}

// "%8.8X": eight upper-case hexadecimal digits, zero-padded.
void FormatChecksumText(std::uint32_t crc, char* text) noexcept {
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (int i = 7; i >= 0; --i) {
        text[i] = kDigits[crc & 0xFu];
        crc >>= 4;
    }
}

}  // namespace

ModelRecord& CurrentModelRecord() noexcept { return currentModelRecord; }

std::int32_t DecodeModelRecord(const std::uint8_t* recordBytes, ModelRecord& out) noexcept {
    std::uint8_t plain[kRecordBytes] = {};
    DecryptAes128(ModelFileKeys(), kRecordBytes, recordBytes, plain);

    char expected[kChecksumTextBytes];
    FormatChecksumText(Crc32(plain + kChecksummedOffset, kChecksummedBytes), expected);
    if (std::memcmp(expected, plain, kChecksumTextBytes) != 0) return kRecordChecksumMismatch;

    const std::uint8_t* p = plain + kChecksummedOffset;
    std::memcpy(out.modelName, p, kModelNameSize);
    p += kModelNameSize;
    std::int16_t* const fields[] = {&out.penWidth,  &out.reserved1,     &out.reserved2,
                                    &out.reserved3, &out.dotShape,      &out.dotPitch,
                                    &out.smoothPattern, &out.supportClass};
    for (std::int16_t* field : fields) {
        *field = static_cast<std::int16_t>(base::ReadLe16(p));
        p += 2;
    }
    return kRecordDecoded;
}

bool HasTerminatedName(const ModelRecord& record) noexcept {
    return std::memchr(record.modelName, '\0', kModelNameSize) != nullptr;
}

}  // namespace zeseal::catalogue
