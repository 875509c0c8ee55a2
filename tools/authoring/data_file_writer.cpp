#include "authoring/data_file_writer.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "authoring/aes128_encrypt.h"
#include "base/byte_order.h"
#include "catalogue/crc32.h"

namespace zeseal::authoring {
namespace {

using namespace zeseal::catalogue;

}  // namespace

void AppendLittleEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.resize(out.size() + 4);
    base::WriteLe32(out.data() + out.size() - 4, value);
}

ModelRecord MakeModelRecord(std::string_view name, const ModelSettings& settings) {
    if (name.size() > kMaxModelNameBytes) {
        throw std::invalid_argument("a model name holds at most 49 bytes");
    }
    ModelRecord record{};
    std::memcpy(record.modelName, name.data(), name.size());
    record.penWidth = settings[0];
    record.reserved1 = settings[1];
    record.reserved2 = settings[2];
    record.reserved3 = settings[3];
    record.dotShape = settings[4];
    record.dotPitch = settings[5];
    record.smoothPattern = settings[6];
    record.supportClass = settings[7];
    return record;
}

std::array<std::uint8_t, kRecordBytes> EncodeModelRecord(const ModelRecord& record) {
    std::array<std::uint8_t, kRecordBytes> bytes{};
    std::uint8_t* p = bytes.data() + kChecksummedOffset;
    std::memcpy(p, record.modelName, kModelNameSize);
    p += kModelNameSize;
    for (const std::int16_t field :
         {record.penWidth, record.reserved1, record.reserved2, record.reserved3, record.dotShape,
          record.dotPitch, record.smoothPattern, record.supportClass}) {
        base::WriteLe16(p, static_cast<std::uint16_t>(field));
        p += 2;
    }
    char text[kChecksumTextBytes + 1];
    std::snprintf(text, sizeof text, "%8.8X",
                  static_cast<unsigned>(Crc32(bytes.data() + kChecksummedOffset, kChecksummedBytes)));
    std::memcpy(bytes.data(), text, kChecksumTextBytes);
    EncryptAes128(reinterpret_cast<const std::uint8_t*>(kModelFileKeyText), bytes.size(),
                  bytes.data(), bytes.data());
    return bytes;
}

std::vector<std::uint8_t> BuildModelFile(std::span<const ModelFileEntry> entries) {
    std::uint32_t records = 0;
    for (const ModelFileEntry& entry : entries) records += entry.tag != kFillerTag ? 1 : 0;
    std::vector<std::uint8_t> file;
    file.reserve(kCountBytes + entries.size() * kModelEntryBytes);
    AppendLittleEndian32(file, records);
    for (const ModelFileEntry& entry : entries) {
        AppendLittleEndian32(file, static_cast<std::uint32_t>(entry.tag));
        if (entry.tag == kFillerTag) {
            file.insert(file.end(), kRecordBytes, 0);
        } else {
            const auto bytes = EncodeModelRecord(entry.record);
            file.insert(file.end(), bytes.begin(), bytes.end());
        }
    }
    return file;
}

std::vector<std::uint8_t> BuildCourtList(std::span<const std::string> names) {
    std::vector<std::uint8_t> file;
    file.reserve(kCountBytes + names.size() * kCourtEntryBytes);
    AppendLittleEndian32(file, static_cast<std::uint32_t>(names.size()));
    for (const std::string& name : names) {
        if (name.size() > kMaxCourtNameBytes) {
            throw std::invalid_argument("a court printer name holds at most 131 bytes");
        }
        AppendLittleEndian32(file, static_cast<std::uint32_t>(name.size()));
        const std::size_t start = file.size();
        file.insert(file.end(), kCourtNameFieldBytes, 0);
        std::memcpy(file.data() + start, name.data(), name.size());
    }
    return file;
}

}  // namespace zeseal::authoring
