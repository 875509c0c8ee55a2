// The court printer list scan over arbitrary file bytes.
//
// The input is the file. It is looked up with the names of its first
// entries (each as far as its field's NUL or end), their upper-case forms,
// and a name that fits no field. Checked against a plain in-memory reading:
// the result is the reference's, and no length word, however large or
// negative, makes the scan touch memory outside its field (AddressSanitizer).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/byte_order.h"
#include "catalogue/data_file_format.h"
#include "catalogue/court_list.h"
#include "data_file_fuzz_support.h"
#include "fuzz_support.h"

namespace {

using namespace zeseal::catalogue;

// Names are in code page 949: a byte 0x81 to 0xFE leads a double-byte
// character, and the byte after it is never a letter of its own. Only the
// single-byte letters have a case.
std::string Upper(std::string s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto byte = static_cast<unsigned char>(s[i]);
        if (byte >= 0x81 && byte <= 0xFE) {
            ++i;  // the trail byte stays as it is
        } else if (byte >= 'a' && byte <= 'z') {
            s[i] = static_cast<char>(byte - 32);
        }
    }
    return s;
}

std::string FieldName(const std::uint8_t* field) {
    const auto* text = reinterpret_cast<const char*>(field);
    return std::string(text, strnlen(text, kCourtNameFieldBytes));
}

std::int32_t Reference(const std::uint8_t* data, std::size_t size, const std::string& name) {
    if (size < kCountBytes) return kCourtPrinterNotFound;
    const std::int32_t count = static_cast<std::int32_t>(zeseal::base::ReadLe32(data));
    std::size_t at = kCountBytes;
    for (std::int32_t i = 0; i < count; ++i, at += kCourtEntryBytes) {
        if (size - at < kCourtEntryBytes) return kCourtPrinterNotFound;
        if (Upper(FieldName(data + at + kCourtLengthBytes)) == Upper(name)) {
            return kCourtPrinterFound;
        }
    }
    return kCourtPrinterNotFound;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    std::vector<std::string> names;
    for (std::size_t at = kCountBytes; at + kCourtEntryBytes <= size && names.size() < 6;
         at += kCourtEntryBytes) {
        const std::string name = FieldName(data + at + kCourtLengthBytes);
        names.push_back(name);
        names.push_back(Upper(name));
    }
    names.emplace_back(kCourtNameFieldBytes + 1, 'Z');
    names.emplace_back("");

    for (const std::string& name : names) {
        if (name.find('\0') != std::string::npos) continue;
        const auto file = zeseal::fuzz::StreamOver(data, size);
        ZESEAL_FUZZ_CHECK(file != nullptr);
        ZESEAL_FUZZ_CHECK(ScanCourtList(file.get(), name.c_str()) == Reference(data, size, name));
    }
    return 0;
}
