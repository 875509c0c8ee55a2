// The virtual spooler's text file: its printers, their settings and jobs,
// the default printer and the folder for printed pages.
//
// The file is meant to be written and read by people. A change of settings
// rewrites only the lines of the keys that changed (or adds them to the
// printer's section), so comments and layout survive.
//
//   # comments take whole lines
//   default = Office Laser
//   output  = printed
//
//   [printer Office Laser]
//   port        = 192.168.0.20
//   driver      = Model Name
//   status      = PRINTER_STATUS_PAPER_OUT | PRINTER_STATUS_OFFLINE
//   attributes  = PRINTER_ATTRIBUTE_QUEUED | PRINTER_ATTRIBUTE_LOCAL
//   datatype    = RAW
//   devmode     = yes
//   copies      = 1
//   orientation = portrait
//   resolution  = 600
//   paper       = A4
//   access      = full
//   fail        = read-info list-jobs driver write-info start-document
//   job         = 7, JOB_STATUS_PRINTING | JOB_STATUS_ERROR, Report.pdf
//
// The output folder is relative to the file's folder. "datatype = none" and
// "devmode = no" leave the record without them; "access = use" refuses full
// access; "fail" names spooler calls that fail, for tests. The README
// describes every key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zeseal::platform::posix {

// Spooler calls a printer can be told to fail, to exercise the callers.
inline constexpr std::uint32_t kFailReadInfo = 0x01;
inline constexpr std::uint32_t kFailListJobs = 0x02;
inline constexpr std::uint32_t kFailDriver = 0x04;
inline constexpr std::uint32_t kFailWriteInfo = 0x08;
inline constexpr std::uint32_t kFailStartDocument = 0x10;

inline constexpr std::int32_t kDefaultResolution = 600;
inline constexpr std::int32_t kMaxResolution = 9600;
inline constexpr std::size_t kMaxPrintersFileBytes = 4u << 20;

struct VirtualJob {
    std::uint32_t id = 0;
    std::optional<std::string> document;
    std::uint32_t status = 0;
};

struct VirtualPrinter {
    std::string name;
    std::string port;
    std::string driver;
    std::uint32_t status = 0;
    std::uint32_t attributes = 0;
    std::optional<std::string> dataType = std::string("RAW");
    bool hasDeviceMode = true;
    std::int16_t copies = 1;
    std::int16_t orientation = 1;
    std::int32_t resolution = kDefaultResolution;
    std::int32_t paperWidthTenthMm = 2100;  // A4
    std::int32_t paperHeightTenthMm = 2970;
    bool fullAccess = true;
    std::uint32_t failures = 0;
    std::vector<VirtualJob> jobs;

    // Where the section stands in the file: its header line, its last
    // non-blank line, and the line of each single-valued key (0-based).
    std::size_t headerLine = 0;
    std::size_t lastLine = 0;
    std::map<std::string, std::size_t, std::less<>> keyLines;
};

struct PrintersFile {
    std::vector<std::string> lines;  // the text as read, without line ends
    std::string defaultPrinter;      // empty: none
    std::string output;              // as written; empty: not given
    std::vector<VirtualPrinter> printers;
};

struct FileProblem {
    std::size_t line = 0;  // 1-based; 0 for the file as a whole
    std::string reason;
};

// Parses the text. On a malformed file returns nothing and says where and why.
std::optional<PrintersFile> ParsePrintersFile(std::string_view text, FileProblem& problem);

// The file's text with the settings of printers[index] set to those of
// changed: data type, device mode presence, copies, orientation and
// attributes. Only the keys whose values differ are rewritten.
std::string RewriteSettings(const PrintersFile& file, std::size_t index,
                            const VirtualPrinter& changed);

}  // namespace zeseal::platform::posix
