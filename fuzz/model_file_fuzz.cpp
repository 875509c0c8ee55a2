// The supported-model file scan over arbitrary file bytes.
//
// The input is the file. It is looked up with the names of its first
// records, "DEFAULT" and the empty name. Checked against a plain in-memory
// reading of the same rules:
//  - the result (found, not found, corrupt) is the reference's;
//  - a found record is the reference's record, and its name matches;
//  - after any other result CurrentModelRecord is all zeros when an entry
//    was examined and unchanged when none was (no count, or one below 1).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/byte_order.h"
#include "catalogue/data_file_format.h"
#include "catalogue/model_lookup.h"
#include "catalogue/model_record.h"
#include "data_file_fuzz_support.h"
#include "fuzz_support.h"

namespace {

using namespace zeseal::catalogue;

struct Expected {
    std::int32_t result = kModelNotFound;
    bool examined = false;  // an entry was examined, so the record was cleared
    ModelRecord record{};
};

bool SameIgnoringAsciiCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const char x = (*a >= 'a' && *a <= 'z') ? char(*a - 32) : *a;
        const char y = (*b >= 'a' && *b <= 'z') ? char(*b - 32) : *b;
        if (x != y) return false;
        if (x == '\0') return true;
    }
}

Expected Reference(const std::uint8_t* data, std::size_t size, const char* name) {
    Expected e;
    if (size < kCountBytes) return e;
    const std::int32_t count = static_cast<std::int32_t>(zeseal::base::ReadLe32(data));
    e.examined = count > 0;
    std::size_t at = kCountBytes;
    for (std::int32_t examined = 0; examined < count;) {
        if (size - at < kModelEntryBytes) return e;
        const std::uint8_t* entry = data + at;
        at += kModelEntryBytes;
        const std::int32_t tag = static_cast<std::int32_t>(zeseal::base::ReadLe32(entry));
        if (tag == kFillerTag) continue;
        if (tag != kShortRecordTag && tag != kRecordTag) {
            e.result = kModelFileBad;
            return e;
        }
        ModelRecord record{};
        if (DecodeModelRecord(entry + kTagBytes, record) != kRecordDecoded) {
            e.result = kModelFileBad;
            return e;
        }
        if (std::memchr(record.modelName, '\0', kModelNameSize) != nullptr &&
            SameIgnoringAsciiCase(name, record.modelName)) {
            e.result = kModelFound;
            e.record = record;
            return e;
        }
        ++examined;
    }
    return e;
}

// Names of the first few records that decode, with a terminator.
std::vector<std::string> RecordNames(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> names;
    for (std::size_t at = kCountBytes; at + kModelEntryBytes <= size && names.size() < 3;
         at += kModelEntryBytes) {
        ModelRecord record{};
        if (DecodeModelRecord(data + at + kTagBytes, record) == kRecordDecoded &&
            std::memchr(record.modelName, '\0', kModelNameSize) != nullptr) {
            names.emplace_back(record.modelName);
        }
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    std::vector<std::string> names = RecordNames(data, size);
    names.emplace_back("DEFAULT");
    names.emplace_back("");

    ModelRecord marker{};
    std::memset(&marker, 0x5A, sizeof marker);
    for (const std::string& name : names) {
        const Expected expected = Reference(data, size, name.c_str());
        CurrentModelRecord() = marker;
        const auto file = zeseal::fuzz::StreamOver(data, size);
        ZESEAL_FUZZ_CHECK(file != nullptr);
        const std::int32_t result = ScanModelFile(file.get(), name.c_str());
        ZESEAL_FUZZ_CHECK(result == expected.result);
        const ModelRecord& current = CurrentModelRecord();
        if (result == kModelFound) {
            ZESEAL_FUZZ_CHECK(std::memcmp(&current, &expected.record, sizeof current) == 0);
            ZESEAL_FUZZ_CHECK(SameIgnoringAsciiCase(name.c_str(), current.modelName));
        } else {
            const ModelRecord zero{};
            const ModelRecord& wanted = expected.examined ? zero : marker;
            ZESEAL_FUZZ_CHECK(std::memcmp(&current, &wanted, sizeof current) == 0);
        }
    }
    return 0;
}
