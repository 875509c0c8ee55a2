// The virtual spooler's printers file, from arbitrary bytes.
//
// The input is the file's text. Checked:
//  - parsing either succeeds or names a line within the text (or none) and
//    a reason;
//  - every value of a parsed printer is within its documented range;
//  - for each printer, rewriting its settings (other attributes, data type,
//    device mode, copies and orientation) gives a text that parses again,
//    with those settings changed and every other printer as it was.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/posix/spooler/printers_file.h"

namespace {

using namespace zeseal::platform::posix;

void CheckRanges(const VirtualPrinter& p) {
    ZESEAL_FUZZ_CHECK(!p.name.empty() && !p.port.empty() && !p.driver.empty());
    ZESEAL_FUZZ_CHECK(p.copies >= 1 && p.copies <= 9999);
    ZESEAL_FUZZ_CHECK(p.orientation == 1 || p.orientation == 2);
    ZESEAL_FUZZ_CHECK(p.resolution >= 1 && p.resolution <= kMaxResolution);
    ZESEAL_FUZZ_CHECK(p.paperWidthTenthMm > 0 && p.paperHeightTenthMm > 0);
}

bool SameSettings(const VirtualPrinter& a, const VirtualPrinter& b) {
    return a.name == b.name && a.port == b.port && a.driver == b.driver && a.status == b.status &&
           a.attributes == b.attributes && a.dataType == b.dataType &&
           a.hasDeviceMode == b.hasDeviceMode && a.copies == b.copies &&
           a.orientation == b.orientation && a.resolution == b.resolution &&
           a.jobs.size() == b.jobs.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    FileProblem problem;
    const auto file = ParsePrintersFile(text, problem);
    if (!file) {
        ZESEAL_FUZZ_CHECK(!problem.reason.empty());
        ZESEAL_FUZZ_CHECK(problem.line <= size + 1);
        return 0;
    }
    for (std::size_t i = 0; i < file->printers.size(); ++i) {
        CheckRanges(file->printers[i]);
        VirtualPrinter changed = file->printers[i];
        changed.attributes ^= 0x3;
        changed.dataType = changed.dataType ? std::optional<std::string>() : std::string("RAW");
        changed.hasDeviceMode = !changed.hasDeviceMode;
        changed.copies = changed.copies == 1 ? 2 : 1;
        changed.orientation = changed.orientation == 1 ? 2 : 1;
        const std::string rewritten = RewriteSettings(*file, i, changed);
        const auto again = ParsePrintersFile(rewritten, problem);
        ZESEAL_FUZZ_CHECK(again.has_value());
        ZESEAL_FUZZ_CHECK(again->printers.size() == file->printers.size());
        for (std::size_t j = 0; j < file->printers.size(); ++j) {
            ZESEAL_FUZZ_CHECK(SameSettings(again->printers[j], j == i ? changed : file->printers[j]));
        }
    }
    return 0;
}
