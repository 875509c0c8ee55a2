// The lookup in the supported-model file.
#include "catalogue/model_lookup.h"

#include <cstdio>
#include <string>

#include "base/byte_order.h"
#include "catalogue/data_file_format.h"
#include "catalogue/data_file_scan.h"
#include "catalogue/model_name.h"
#include "catalogue/model_record.h"
#include "seams/system_directory.h"
#include "seams/whole_file.h"

namespace zeseal::catalogue {

std::int32_t ScanModelFile(std::FILE* file, const char* name) noexcept {
    if (name == nullptr) name = "";
    std::uint8_t countBytes[kCountBytes];
    // A file that ends early, even before its count, simply has no more
    // entries; a failing read is an unreadable file.
    if (!ReadExactly(file, countBytes, kCountBytes)) {
        return std::ferror(file) != 0 ? kModelFileBad : kModelNotFound;
    }
    const std::int32_t count = static_cast<std::int32_t>(base::ReadLe32(countBytes));

    ModelRecord& current = CurrentModelRecord();
    for (std::int32_t examined = 0; examined < count;) {
        current = ModelRecord{};
        std::uint8_t entry[kModelEntryBytes];
        if (!ReadExactly(file, entry, kModelEntryBytes)) {
            return std::ferror(file) != 0 ? kModelFileBad : kModelNotFound;
        }
        const std::int32_t tag = static_cast<std::int32_t>(base::ReadLe32(entry));
        if (tag == kFillerTag) continue;  // takes its room, but does not count
        if (tag != kShortRecordTag && tag != kRecordTag) return kModelFileBad;
        if (DecodeModelRecord(entry + kTagBytes, current) != kRecordDecoded) return kModelFileBad;
        if (HasTerminatedName(current) &&
            SameNameIgnoringCase(name, current.modelName, kModelNameSize)) {
            return kModelFound;
        }
        current = ModelRecord{};
        ++examined;
    }
    return kModelNotFound;
}

std::int32_t LookupSupportedModel(const char* name) noexcept {
    try {
        const std::string path = platform::SystemFilePath(kModelFileName);
        if (path.empty()) return kModelFileBad;
        std::FILE* file = platform::OpenRegularFile(path.c_str());
        if (file == nullptr) return kModelFileBad;
        const std::int32_t result = ScanModelFile(file, name);
        std::fclose(file);
        return result;
    } catch (...) {
        return kModelFileBad;  // the path could not be built
    }
}

}  // namespace zeseal::catalogue
