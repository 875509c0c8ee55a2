// The lookup in the court printer list.
#include "catalogue/court_list.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/byte_order.h"
#include "catalogue/data_file_format.h"
#include "catalogue/data_file_scan.h"
#include "catalogue/model_name.h"
#include "seams/system_directory.h"
#include "seams/whole_file.h"

namespace zeseal::catalogue {

std::int32_t ScanCourtList(std::FILE* file, const char* name) noexcept {
    if (name == nullptr) name = "";
    std::uint8_t countBytes[kCountBytes];
    // A file that ends early has no more names; one that cannot be read is
    // as good as missing.
    if (!ReadExactly(file, countBytes, kCountBytes)) {
        return std::ferror(file) != 0 ? kCourtListMissing : kCourtPrinterNotFound;
    }
    const std::int32_t count = static_cast<std::int32_t>(base::ReadLe32(countBytes));

    char field[kCourtNameFieldBytes] = {};
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint8_t lengthBytes[kCourtLengthBytes];
        if (!ReadExactly(file, lengthBytes, kCourtLengthBytes) ||
            !ReadExactly(file, field, kCourtNameFieldBytes)) {
            return std::ferror(file) != 0 ? kCourtListMissing : kCourtPrinterNotFound;
        }
        if (SameNameIgnoringCase(name, field, kCourtNameFieldBytes)) return kCourtPrinterFound;
        // The length says how much of the field to clear, but never more
        // than the field holds.
        const std::int32_t length = static_cast<std::int32_t>(base::ReadLe32(lengthBytes));
        const std::size_t cleared = static_cast<std::size_t>(
            std::clamp<std::int32_t>(length, 0, static_cast<std::int32_t>(kCourtNameFieldBytes)));
        std::memset(field, 0, cleared);
    }
    return kCourtPrinterNotFound;
}

std::int32_t LookupCourtPrinter(const char* name) noexcept {
    try {
        const std::string path = platform::SystemFilePath(kCourtListFileName);
        if (path.empty()) return kCourtListMissing;
        std::FILE* file = platform::OpenRegularFile(path.c_str());
        if (file == nullptr) return kCourtListMissing;
        const std::int32_t result = ScanCourtList(file, name);
        std::fclose(file);
        return result;
    } catch (...) {
        return kCourtListMissing;
    }
}

}  // namespace zeseal::catalogue
