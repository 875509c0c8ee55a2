// Changing a printer's settings in the virtual spooler's file: the text is
// parsed, one printer's settings are changed as the input says, the text is
// written back, and what comes back must parse to exactly that change.
//
// Input layout:
//   byte 0      which printer (modulo their number)
//   byte 1      what to change: bit 0 the data type, bit 1 whether the
//               record has a device mode, bit 2 copies, bit 3 orientation,
//               bit 4 attributes; bits 5-6 the way back: 0 in memory only,
//               1 also through UpdatePrintersFile, 2 also through the
//               spooler's WriteInfo, 3 both
//   bytes 2-3   copies, big-endian, taken as 1 + value % 9999
//   bytes 4-7   attributes, big-endian
//   byte 8      the data type's length; 0xFF for none
//   then        the data type's bytes, then the file's text
// A data type that the file cannot hold as written (a line end, a NUL,
// blanks at either end, or the word "none") becomes "RAW": the spooler's
// callers only ever write RAW.
//
// Checked, for each way back:
//  - the text parses again, with the same printers, default and output;
//  - the changed printer holds exactly the change, every other one is as
//    it was;
//  - the file written holds exactly the rewritten text, with CR LF line
//    ends when the first line had them;
//  - a printer refused to the spooler (no full access, a failing write)
//    leaves the file's bytes as they were.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/ascii_case.h"
#include "base/byte_order.h"
#include "fuzz_support.h"
#include "platform/posix/spooler/printers_file.h"
#include "platform/posix/spooler/printers_file_io.h"
#include "platform/posix/spooler/virtual_spooler.h"
#include "seams/spooler.h"

namespace {

namespace fs = std::filesystem;
using namespace zeseal::platform;
using namespace zeseal::platform::posix;

constexpr std::size_t kHeader = 9;
// Larger files add nothing the parser target does not already cover.
constexpr std::size_t kMaxText = 64u << 10;

// A folder of the run's own, on a memory file system where there is one:
// each write-back syncs the file, which on a disk costs milliseconds. Its
// name outlives the statics, so the exit handler can still use it.
const std::string& PrintersPath() {
    static const std::string* const dir = [] {
        const auto* made = new std::string(
            (zeseal::fuzz::ScratchRoot() / ("zeseal-writeback-fuzz-" + std::to_string(getpid()))).string());
        fs::create_directories(*made);
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(*dir, ignored);
        });
        return made;
    }();
    static const std::string path = *dir + "/printers.txt";
    return path;
}

void WriteText(const std::string& path, std::string_view text) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    ZESEAL_FUZZ_CHECK(out != nullptr);
    ZESEAL_FUZZ_CHECK(text.empty() || std::fwrite(text.data(), 1, text.size(), out) == text.size());
    ZESEAL_FUZZ_CHECK(std::fclose(out) == 0);
}

std::string ReadText(const std::string& path) {
    std::string text;
    FileProblem problem;
    ZESEAL_FUZZ_CHECK(ReadPrintersText(path, text, problem));
    return text;
}

bool Representable(std::string_view type) {
    if (type.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos) return false;
    if (!type.empty() && (type.front() == ' ' || type.front() == '\t' || type.back() == ' ' ||
                          type.back() == '\t')) {
        return false;
    }
    return !zeseal::base::SameIgnoringCase(type, "none");
}

bool SameJobs(const VirtualPrinter& a, const VirtualPrinter& b) {
    if (a.jobs.size() != b.jobs.size()) return false;
    for (std::size_t i = 0; i < a.jobs.size(); ++i) {
        const VirtualJob& x = a.jobs[i];
        const VirtualJob& y = b.jobs[i];
        if (x.id != y.id || x.status != y.status || x.document != y.document) return false;
    }
    return true;
}

// Every field that the file states, positions in the text aside.
bool SamePrinter(const VirtualPrinter& a, const VirtualPrinter& b) {
    return a.name == b.name && a.port == b.port && a.driver == b.driver && a.status == b.status &&
           a.attributes == b.attributes && a.dataType == b.dataType &&
           a.hasDeviceMode == b.hasDeviceMode && a.copies == b.copies &&
           a.orientation == b.orientation && a.resolution == b.resolution &&
           a.paperWidthTenthMm == b.paperWidthTenthMm &&
           a.paperHeightTenthMm == b.paperHeightTenthMm && a.fullAccess == b.fullAccess &&
           a.failures == b.failures && SameJobs(a, b);
}

// The text must parse to the original file with printer index as changed.
void CheckHolds(std::string_view text, const PrintersFile& original, std::size_t index,
                const VirtualPrinter& changed) {
    FileProblem problem;
    const auto again = ParsePrintersFile(text, problem);
    if (!again) std::fprintf(stderr, "line %zu: %s\n", problem.line, problem.reason.c_str());
    ZESEAL_FUZZ_CHECK(again.has_value());
    ZESEAL_FUZZ_CHECK(again->defaultPrinter == original.defaultPrinter);
    ZESEAL_FUZZ_CHECK(again->output == original.output);
    ZESEAL_FUZZ_CHECK(again->printers.size() == original.printers.size());
    for (std::size_t j = 0; j < original.printers.size(); ++j) {
        ZESEAL_FUZZ_CHECK(SamePrinter(again->printers[j], j == index ? changed : original.printers[j]));
    }
}

// The rewritten text as the file holds it: with CR LF line ends when the
// original's first line ends so.
std::string AsStored(std::string_view original, const std::string& rewritten) {
    const std::size_t end = original.find('\n');
    if (end == std::string_view::npos || end == 0 || original[end - 1] != '\r') return rewritten;
    std::string out;
    for (std::size_t i = 0; i < rewritten.size(); ++i) {
        if (rewritten[i] == '\n' && (i == 0 || rewritten[i - 1] != '\r')) out += '\r';
        out += rewritten[i];
    }
    return out;
}

// The change written through the spooler, as the printer code does: open
// with full access, then WriteInfo with the record changed.
void CheckThroughSpooler(std::string_view text, const PrintersFile& file, std::size_t index,
                         const VirtualPrinter& changed) {
    const std::string& path = PrintersPath();
    WriteText(path, text);
    ZESEAL_FUZZ_CHECK(ChooseVirtualSpoolerFile(path.c_str()) == 0);
    const VirtualPrinter& old = file.printers[index];
    std::uint32_t error = 0;
    const auto handle = VirtualSpoolerInstance().Open(old.name, PrinterAccess::kFull, error);
    if (!old.fullAccess) {
        ZESEAL_FUZZ_CHECK(handle == nullptr && error == kErrorAccessDenied);
        ZESEAL_FUZZ_CHECK(ReadText(path) == text);
        return;
    }
    ZESEAL_FUZZ_CHECK(handle != nullptr && error == 0);

    PrinterInfo info;
    info.name = old.name;
    info.port = old.port;
    info.driver = old.driver;
    info.status = old.status;
    info.jobCount = static_cast<std::uint32_t>(old.jobs.size());
    info.dataType = changed.dataType;
    info.attributes = changed.attributes;
    // Without a device mode, copies and orientation cannot be told.
    VirtualPrinter expected = changed;
    if (changed.hasDeviceMode) {
        DeviceMode mode;
        mode.copies = changed.copies;
        mode.orientation = changed.orientation;
        info.deviceMode = mode;
    } else {
        expected.copies = old.copies;
        expected.orientation = old.orientation;
    }
    const bool written = handle->WriteInfo(info);
    if ((old.failures & kFailWriteInfo) != 0) {
        ZESEAL_FUZZ_CHECK(!written);
        ZESEAL_FUZZ_CHECK(ReadText(path) == text);
        return;
    }
    ZESEAL_FUZZ_CHECK(written);
    const std::string stored = ReadText(path);
    ZESEAL_FUZZ_CHECK(stored == AsStored(text, RewriteSettings(file, index, expected)));
    CheckHolds(stored, file, index, expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeader) return 0;
    const std::uint8_t which = data[0];
    const std::uint8_t what = data[1];
    const auto copies = static_cast<std::int16_t>(1 + zeseal::base::ReadBe16(data + 2) % 9999);
    const std::uint32_t attributes = zeseal::base::ReadBe32(data + 4);
    std::size_t at = kHeader;
    std::optional<std::string> dataType;
    if (data[8] != 0xFF) {
        const std::size_t length = std::min<std::size_t>(data[8], size - at);
        dataType = std::string(reinterpret_cast<const char*>(data + at), length);
        at += length;
        if (!Representable(*dataType)) dataType = std::string("RAW");
    }
    if (size - at > kMaxText) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + at), size - at);

    FileProblem problem;
    const auto file = ParsePrintersFile(text, problem);
    if (!file || file->printers.empty()) return 0;
    const std::size_t index = which % file->printers.size();

    VirtualPrinter changed = file->printers[index];
    if (what & 0x01) changed.dataType = dataType;
    if (what & 0x02) changed.hasDeviceMode = !changed.hasDeviceMode;
    if (what & 0x04) changed.copies = copies;
    if (what & 0x08) changed.orientation = changed.orientation == 1 ? 2 : 1;
    if (what & 0x10) changed.attributes = attributes;

    // In memory.
    const std::string rewritten = RewriteSettings(*file, index, changed);
    CheckHolds(rewritten, *file, index, changed);

    // Through the file, locked and replaced atomically.
    const int ways = (what >> 5) & 3;
    if (ways & 1) {
        const std::string& path = PrintersPath();
        WriteText(path, text);
        const bool updated = UpdatePrintersFile(path, [&](const PrintersFile& current) -> std::optional<std::string> {
            ZESEAL_FUZZ_CHECK(current.printers.size() == file->printers.size());
            return RewriteSettings(current, index, changed);
        });
        ZESEAL_FUZZ_CHECK(updated);
        const std::string stored = ReadText(path);
        ZESEAL_FUZZ_CHECK(stored == AsStored(text, rewritten));
        CheckHolds(stored, *file, index, changed);
    }
    if (ways & 2) CheckThroughSpooler(text, *file, index, changed);
    return 0;
}
