// The layouts of the two installed data files, shared by the library's
// readers and the tools that write them. Both files are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zeseal::catalogue {

// The supported-model file: an entry count, then entries of a length tag
// and 74 record bytes.
inline constexpr char kModelFileName[] = "ZePrintInfoCourt.dat";
inline constexpr std::size_t kCountBytes = 4;
inline constexpr std::size_t kTagBytes = 4;
inline constexpr std::size_t kRecordBytes = 74;
inline constexpr std::size_t kModelEntryBytes = kTagBytes + kRecordBytes;  // 78

// Length tags. A filler entry takes its full 78 bytes, is not decoded and
// does not count towards the entry count; 66 and 74 are read alike.
inline constexpr std::int32_t kFillerTag = 0;
inline constexpr std::int32_t kShortRecordTag = 66;
inline constexpr std::int32_t kRecordTag = 74;

// In a record: bytes 0 to 63 are encrypted, 64 to 73 are in clear. Bytes 0
// to 7 are the CRC-32 of bytes 8 to 73 as eight upper-case hex digits.
inline constexpr std::size_t kEncryptedRecordBytes = 64;
inline constexpr std::size_t kChecksumTextBytes = 8;
inline constexpr std::size_t kChecksummedOffset = 8;
inline constexpr std::size_t kChecksummedBytes = kRecordBytes - kChecksummedOffset;  // 66

// The AES-128 key of the records: these 16 ASCII bytes, used as they are.
inline constexpr char kModelFileKeyText[] = "QUARTZLEDGERNINE";
inline constexpr std::size_t kModelFileKeyBytes = sizeof(kModelFileKeyText) - 1;
static_assert(kModelFileKeyBytes == 16);

// The court printer list: an entry count, then entries of a length and a
// 132-byte NUL-terminated name field. Nothing is encrypted.
inline constexpr char kCourtListFileName[] = "ZeCourtPrtChk.dat";
inline constexpr std::size_t kCourtLengthBytes = 4;
inline constexpr std::size_t kCourtNameFieldBytes = 132;
inline constexpr std::size_t kCourtEntryBytes = kCourtLengthBytes + kCourtNameFieldBytes;  // 136

}  // namespace zeseal::catalogue
