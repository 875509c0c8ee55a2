#include "data_file_listing.h"

#include <cstdio>
#include <cstring>
#include <iomanip>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "base/byte_order.h"
#include "catalogue/aes128.h"
#include "catalogue/crc32.h"
#include "catalogue/data_file_format.h"
#include "catalogue/model_record.h"
#include "json_text.h"

namespace zeseal::tool {
namespace {

using namespace zeseal::catalogue;

// Printable ASCII as it is; every other byte as \xNN.
std::string Escaped(const char* bytes, std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            text += hex;
        }
    }
    return text;
}

// A field's name up to its NUL, or the whole field.
std::string FieldName(const char* field, std::size_t size) {
    const void* nul = std::memchr(field, '\0', size);
    return Escaped(field, nul != nullptr ? std::size_t(static_cast<const char*>(nul) - field) : size);
}

// The listing as JSON: the file's figures, one object per entry and the
// problems found.
struct JsonListing {
    std::optional<std::int32_t> stated;
    std::vector<std::string> entries;
    std::vector<std::string> problems;
    std::size_t unreadBytes = 0;

    void Print(std::ostream& out, std::string_view fileName, std::size_t bytes, bool sound) const {
        out << "{\"file\": " << JsonString(std::string(fileName)) << ", \"bytes\": " << bytes
            << ", \"stated\": " << (stated ? std::to_string(*stated) : std::string("null"))
            << ", \"sound\": " << (sound ? "true" : "false") << ", \"unread_bytes\": " << unreadBytes
            << ",\n \"entries\": [";
        for (std::size_t i = 0; i < entries.size(); ++i) out << (i == 0 ? "\n  " : ",\n  ") << entries[i];
        out << (entries.empty() ? "]" : "\n ]") << ",\n \"problems\": [";
        for (std::size_t i = 0; i < problems.size(); ++i) out << (i == 0 ? "\n  " : ",\n  ") << problems[i];
        out << (problems.empty() ? "]" : "\n ]") << "}\n";
    }
};

class Reporter {
public:
    Reporter(std::string_view fileName, std::ostream& err, JsonListing& listing)
        : fileName_(fileName), err_(err), listing_(listing) {}
    void Error(const std::string& message) {
        err_ << fileName_ << ": error: " << message << "\n";
        Keep("error", message);
        sound_ = false;
    }
    void Warning(const std::string& message) {
        err_ << fileName_ << ": warning: " << message << "\n";
        Keep("warning", message);
    }
    bool sound() const { return sound_; }

private:
    void Keep(const char* level, const std::string& message) {
        listing_.problems.push_back(std::string("{\"level\": \"") + level +
                                    "\", \"message\": " + JsonString(message) + "}");
    }
    std::string_view fileName_;
    std::ostream& err_;
    JsonListing& listing_;
    bool sound_ = true;
};

std::string EntryAt(std::size_t number, std::size_t offset) {
    return "entry " + std::to_string(number) + " at offset " + std::to_string(offset);
}

// Why DecodeModelRecord refuses a record: the stored checksum text against
// the one its bytes give.
std::string ChecksumProblem(const std::uint8_t* recordBytes) {
    std::uint8_t plain[kRecordBytes];
    DecryptAes128(kRecordBytes, recordBytes, plain,
                  reinterpret_cast<const std::uint8_t*>(kModelFileKeyText),
                  static_cast<std::int32_t>(kModelFileKeyBytes));
    char expected[kChecksumTextBytes + 1];
    std::snprintf(expected, sizeof expected, "%8.8X",
                  static_cast<unsigned>(Crc32(plain + kChecksummedOffset, kChecksummedBytes)));
    return "the checksum text \"" +
           Escaped(reinterpret_cast<const char*>(plain), kChecksumTextBytes) +
           "\" does not match the record's CRC-32 \"" + expected + "\"";
}

void PrintRecord(std::ostream& out, std::size_t number, std::size_t offset, std::int32_t tag,
                 const ModelRecord& r) {
    out << std::setw(6) << number << std::setw(8) << offset << std::setw(5) << tag << "  "
        << std::left << std::setw(24) << FieldName(r.modelName, kModelNameSize) << std::right
        << std::setw(5) << r.penWidth << std::setw(7) << r.dotShape << std::setw(7)
        << r.dotPitch << std::setw(8) << r.smoothPattern << std::setw(7) << r.supportClass
        << "  " << r.reserved1 << " " << r.reserved2 << " " << r.reserved3 << "\n";
}

std::string RecordJson(std::size_t number, std::size_t offset, std::int32_t tag, const ModelRecord& r) {
    return "{\"entry\": " + std::to_string(number) + ", \"offset\": " + std::to_string(offset) +
           ", \"tag\": " + std::to_string(tag) + ", \"name\": " + JsonString(FieldName(r.modelName, kModelNameSize)) +
           ", \"pen_width\": " + std::to_string(r.penWidth) + ", \"dot_shape\": " + std::to_string(r.dotShape) +
           ", \"dot_pitch\": " + std::to_string(r.dotPitch) +
           ", \"smooth_pattern\": " + std::to_string(r.smoothPattern) +
           ", \"support_class\": " + std::to_string(r.supportClass) + ", \"reserved\": [" +
           std::to_string(r.reserved1) + ", " + std::to_string(r.reserved2) + ", " + std::to_string(r.reserved3) +
           "]}";
}

std::string EntryJson(std::size_t number, std::size_t offset, std::int32_t tag) {
    return "{\"entry\": " + std::to_string(number) + ", \"offset\": " + std::to_string(offset) +
           ", \"tag\": " + std::to_string(tag);
}

// What both listings share: the table (as JSON it goes nowhere and the
// entries are kept instead), the problems, the entry count that opens the
// file and the bytes after the last counted entry.
class Listing {
public:
    Listing(std::span<const std::uint8_t> file, std::string_view fileName, bool json, std::ostream& out,
            std::ostream& err)
        : file_(file), fileName_(fileName), json_(json), out_(out), report_(fileName, err, listing_) {}

    std::ostream& table() { return json_ ? unused_ : out_; }
    Reporter& report() { return report_; }
    void Keep(std::string entry) { listing_.entries.push_back(std::move(entry)); }

    // The stated count of `noun`s, after its table line; nothing (with the
    // problem reported) when the file is too short for it or it is not
    // positive, when lookups answer `notFound`.
    std::optional<std::int32_t> Count(const char* noun, int notFound) {
        const std::string outcome = "lookups find nothing (" + std::to_string(notFound) + ")";
        if (file_.size() < kCountBytes) {
            report_.Error("the file has " + std::to_string(file_.size()) + " bytes, too few for its entry count; " +
                          outcome);
            return std::nullopt;
        }
        const auto count = static_cast<std::int32_t>(base::ReadLe32(file_.data()));
        listing_.stated = count;
        table() << fileName_ << ": " << count << " " << noun << (count == 1 ? "" : "s") << " stated, "
                << file_.size() << " bytes\n";
        if (count <= 0) {
            report_.Warning("a count of " + std::to_string(count) + " means " + outcome);
            return std::nullopt;
        }
        return count;
    }

    // The bytes from offset on, which no lookup reads.
    void Unread(std::size_t offset) {
        if (offset >= file_.size()) return;
        table() << file_.size() - offset << " bytes after the last counted entry are never read\n";
        listing_.unreadBytes = file_.size() - offset;
    }

    bool Finish(bool sound) {
        if (json_) listing_.Print(out_, fileName_, file_.size(), sound);
        return sound;
    }

private:
    std::span<const std::uint8_t> file_;
    std::string_view fileName_;
    bool json_;
    std::ostream& out_;
    std::ostringstream unused_;
    JsonListing listing_;
    Reporter report_;
};

}  // namespace

bool ListModelFile(std::span<const std::uint8_t> file, std::string_view fileName, bool json,
                   std::ostream& out, std::ostream& err) {
    Listing listing(file, fileName, json, out, err);
    std::ostream& table = listing.table();
    Reporter& report = listing.report();
    const std::optional<std::int32_t> stated = listing.Count("record", 60000);
    if (!stated) return listing.Finish(report.sound());
    const std::int32_t count = *stated;
    table << " entry  offset  tag  name                      pen  shape  pitch  smooth  class  "
           "reserved\n";

    std::size_t offset = kCountBytes;
    std::size_t number = 0;
    std::int32_t records = 0;
    bool firstFault = true;
    const auto fault = [&](const std::string& message) {
        report.Error(message + (firstFault ? "; lookups stop here with 60001" : ""));
        firstFault = false;
    };
    while (records < count) {
        ++number;
        if (file.size() - offset < kModelEntryBytes) {
            report.Error("the file ends inside " + EntryAt(number, offset) + ", after " +
                         std::to_string(records) + " of " + std::to_string(count) +
                         " records; lookups that get this far find nothing (60000)");
            return listing.Finish(false);
        }
        const std::uint8_t* entry = file.data() + offset;
        const std::int32_t tag = static_cast<std::int32_t>(base::ReadLe32(entry));
        if (tag == kFillerTag) {
            table << std::setw(6) << number << std::setw(8) << offset << std::setw(5) << tag
                << "  (filler entry)\n";
            listing.Keep(EntryJson(number, offset, tag) + ", \"filler\": true}");
            offset += kModelEntryBytes;
            continue;
        }
        ++records;
        if (tag != kShortRecordTag && tag != kRecordTag) {
            fault(EntryAt(number, offset) + ": the tag " + std::to_string(tag) +
                  " is not 74, 66 or 0");
        } else {
            ModelRecord record{};
            if (DecodeModelRecord(entry + kTagBytes, record) != kRecordDecoded) {
                fault(EntryAt(number, offset) + ": " + ChecksumProblem(entry + kTagBytes));
            } else {
                PrintRecord(table, number, offset, tag, record);
                listing.Keep(RecordJson(number, offset, tag, record));
                if (!HasTerminatedName(record)) {
                    report.Warning(EntryAt(number, offset) +
                                   ": the name fills its 50 bytes without a terminator, so it "
                                   "never matches");
                }
            }
        }
        offset += kModelEntryBytes;
    }
    listing.Unread(offset);
    return listing.Finish(report.sound());
}

bool ListCourtList(std::span<const std::uint8_t> file, std::string_view fileName, bool json,
                   std::ostream& out, std::ostream& err) {
    Listing listing(file, fileName, json, out, err);
    std::ostream& table = listing.table();
    Reporter& report = listing.report();
    const std::optional<std::int32_t> stated = listing.Count("name", 80000);
    if (!stated) return listing.Finish(report.sound());
    const std::int32_t count = *stated;
    table << " entry  offset  length  name\n";
    std::size_t offset = kCountBytes;
    for (std::int32_t i = 0; i < count; ++i) {
        const auto number = static_cast<std::size_t>(i) + 1;
        if (file.size() - offset < kCourtEntryBytes) {
            report.Error("the file ends inside " + EntryAt(number, offset) + ", after " +
                         std::to_string(i) + " of " + std::to_string(count) +
                         " names; lookups that get this far find nothing (80000)");
            return listing.Finish(false);
        }
        const std::uint8_t* entry = file.data() + offset;
        const std::int32_t length = static_cast<std::int32_t>(base::ReadLe32(entry));
        const char* field = reinterpret_cast<const char*>(entry + kCourtLengthBytes);
        table << std::setw(6) << number << std::setw(8) << offset << std::setw(8) << length << "  "
            << FieldName(field, kCourtNameFieldBytes) << "\n";
        listing.Keep("{\"entry\": " + std::to_string(number) + ", \"offset\": " +
                                  std::to_string(offset) + ", \"length\": " + std::to_string(length) +
                                  ", \"name\": " + JsonString(FieldName(field, kCourtNameFieldBytes)) + "}");
        if (std::memchr(field, '\0', kCourtNameFieldBytes) == nullptr) {
            report.Warning(EntryAt(number, offset) +
                           ": the name fills its 132-byte field without a terminator");
        }
        if (length < 0 || length > static_cast<std::int32_t>(kCourtNameFieldBytes)) {
            report.Warning(EntryAt(number, offset) + ": the length " + std::to_string(length) +
                           " lies outside the 132-byte name field");
        }
        offset += kCourtEntryBytes;
    }
    listing.Unread(offset);
    return listing.Finish(report.sound());
}

}  // namespace zeseal::tool
