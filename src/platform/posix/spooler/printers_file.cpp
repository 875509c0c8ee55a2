#include "platform/posix/spooler/printers_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <unordered_map>

#include "base/ascii_case.h"
#include "platform/posix/spooler/spooler_flag_names.h"
#include "printers/paper_sizes.h"

namespace zeseal::platform::posix {
namespace {

constexpr auto kFailureNames = std::to_array<std::pair<std::string_view, std::uint32_t>>({
    {"read-info", kFailReadInfo},
    {"list-jobs", kFailListJobs},
    {"driver", kFailDriver},
    {"write-info", kFailWriteInfo},
    {"start-document", kFailStartDocument},
});

// Keys that a printer section holds once; "job" may repeat.
constexpr auto kPrinterKeys = std::to_array<std::string_view>({
    "port", "driver", "status", "attributes", "datatype", "devmode", "copies", "orientation",
    "resolution", "paper", "access", "fail",
});

constexpr std::int32_t kMaxPageSidePixels = 20000;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

using base::LowerCased;
using base::SameIgnoringCase;

template <class Int>
bool ParseInteger(std::string_view text, Int& value, Int low, Int high) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc{} && end == text.data() + text.size() &&
           value >= low && value <= high;
}

// A named size ("A4"), or "210x297mm" in whole millimetres (tenths allowed:
// "215.9x279.4mm").
bool ParsePaper(std::string_view text, std::int32_t& widthTenthMm, std::int32_t& heightTenthMm) {
    if (const printers::PaperSize* size = printers::FindPaperSize(text)) {
        widthTenthMm = size->widthTenthMm;
        heightTenthMm = size->heightTenthMm;
        return true;
    }
    const std::string lower = LowerCased(text);
    std::string_view rest = lower;
    if (rest.size() < 3 || rest.substr(rest.size() - 2) != "mm") return false;
    rest.remove_suffix(2);
    const std::size_t x = rest.find('x');
    if (x == std::string_view::npos) return false;
    const auto tenths = [](std::string_view side, std::int32_t& out) {
        side = Trim(side);
        const std::size_t dot = side.find('.');
        std::int32_t whole = 0;
        std::int32_t tenth = 0;
        if (!ParseInteger(side.substr(0, dot), whole, 1, 2000)) return false;
        if (dot != std::string_view::npos && !ParseInteger(side.substr(dot + 1), tenth, 0, 9)) {
            return false;
        }
        out = whole * 10 + tenth;
        return true;
    };
    return tenths(rest.substr(0, x), widthTenthMm) && tenths(rest.substr(x + 1), heightTenthMm);
}

std::int64_t PixelsAt(std::int32_t tenthMm, std::int32_t dpi) {
    return (std::int64_t{tenthMm} * dpi * 2 + 254) / (2 * 254);
}

class Parser {
public:
    Parser(std::string_view text, FileProblem& problem) : problem_(problem) { SplitLines(text); }

    std::optional<PrintersFile> Run() {
        for (std::size_t i = 0; i < file_.lines.size(); ++i) {
            if (!ParseLine(i)) return std::nullopt;
        }
        if (!FinishPrinter()) return std::nullopt;
        return std::move(file_);
    }

private:
    void SplitLines(std::string_view text) {
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find('\n', at);
            if (end == std::string_view::npos) end = text.size();
            std::string_view line = text.substr(at, end - at);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            file_.lines.emplace_back(line);
            at = end + 1;
        }
    }

    bool Fail(std::size_t index, std::string reason) {
        problem_.line = index + 1;
        problem_.reason = std::move(reason);
        return false;
    }

    bool ParseLine(std::size_t index) {
        const std::string_view line = Trim(file_.lines[index]);
        if (line.empty() || line.front() == '#') return true;
        if (line.find('\0') != std::string_view::npos) return Fail(index, "the line holds a NUL byte");
        if (line.front() == '[') return StartSection(index, line);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            return Fail(index, "expected 'key = value', '[printer NAME]' or a '#' comment");
        }
        const std::string key = LowerCased(Trim(line.substr(0, equals)));
        const std::string_view value = Trim(line.substr(equals + 1));
        if (key.empty()) return Fail(index, "a key is missing before '='");
        if (current_ == nullptr) return TopLevelKey(index, key, value);
        current_->lastLine = index;
        return PrinterKey(index, key, value);
    }

    bool StartSection(std::size_t index, std::string_view line) {
        if (line.back() != ']') return Fail(index, "a section header must end with ']'");
        const std::string_view inside = Trim(line.substr(1, line.size() - 2));
        constexpr std::string_view kWord = "printer";
        if (inside.size() <= kWord.size() || !base::StartsWithIgnoringCase(inside, kWord) ||
            (inside[kWord.size()] != ' ' && inside[kWord.size()] != '\t')) {
            return Fail(index, "a section header must be '[printer NAME]'");
        }
        const std::string_view name = Trim(inside.substr(kWord.size()));
        if (name.empty()) return Fail(index, "the printer has no name");
        if (name.find(',') != std::string_view::npos) {
            return Fail(index, "a printer name cannot contain ','");
        }
        if (!FinishPrinter()) return false;
        // A map, not a scan of the printers so far: a file may hold thousands.
        const auto [earlier, added] = headerLines_.emplace(LowerCased(name), index);
        if (!added) {
            return Fail(index, "printer '" + std::string(name) + "' is already defined on line " +
                                   std::to_string(earlier->second + 1));
        }
        file_.printers.emplace_back();
        current_ = &file_.printers.back();
        current_->name = std::string(name);
        current_->headerLine = index;
        current_->lastLine = index;
        return true;
    }

    bool TopLevelKey(std::size_t index, const std::string& key, std::string_view value) {
        if (key == "default") {
            if (seenDefault_) return Fail(index, "'default' is given twice");
            seenDefault_ = true;
            file_.defaultPrinter = std::string(value);
            return true;
        }
        if (key == "output") {
            if (seenOutput_) return Fail(index, "'output' is given twice");
            if (value.empty()) return Fail(index, "'output' needs a folder");
            seenOutput_ = true;
            file_.output = std::string(value);
            return true;
        }
        if (std::find(kPrinterKeys.begin(), kPrinterKeys.end(), key) != kPrinterKeys.end() ||
            key == "job") {
            return Fail(index, "'" + key + "' belongs inside a [printer NAME] section");
        }
        return Fail(index, "unknown key '" + key + "' (expected 'default' or 'output')");
    }

    bool PrinterKey(std::size_t index, const std::string& key, std::string_view value) {
        VirtualPrinter& p = *current_;
        if (key == "job") return ParseJob(index, value);
        if (std::find(kPrinterKeys.begin(), kPrinterKeys.end(), key) == kPrinterKeys.end()) {
            if (key == "default" || key == "output") {
                return Fail(index, "'" + key + "' belongs before the first [printer NAME] section");
            }
            return Fail(index, "unknown printer key '" + key + "'");
        }
        if (p.keyLines.contains(key)) {
            return Fail(index, "'" + key + "' is given twice for printer '" + p.name + "' (first on line " +
                                   std::to_string(p.keyLines.find(key)->second + 1) + ")");
        }
        p.keyLines.emplace(key, index);
        std::string unknown;
        if (key == "port" || key == "driver") {
            if (value.empty()) return Fail(index, "'" + key + "' needs a value");
            (key == "port" ? p.port : p.driver) = std::string(value);
        } else if (key == "status" || key == "attributes") {
            const auto flags = ParseFlags(
                value, key == "status" ? PrinterStatusNames() : PrinterAttributeNames(), unknown);
            if (!flags) return Fail(index, "unknown " + key + " flag '" + unknown + "'");
            (key == "status" ? p.status : p.attributes) = *flags;
        } else if (key == "datatype") {
            if (SameIgnoringCase(value, "none")) p.dataType.reset();
            else p.dataType = std::string(value);
        } else if (key == "devmode") {
            if (!ParseYesNo(value, p.hasDeviceMode)) return Fail(index, "'devmode' must be yes or no");
        } else if (key == "copies") {
            if (!ParseInteger<std::int16_t>(value, p.copies, 1, 9999)) {
                return Fail(index, "'copies' must be a whole number from 1 to 9999");
            }
        } else if (key == "orientation") {
            if (SameIgnoringCase(value, "portrait")) p.orientation = 1;
            else if (SameIgnoringCase(value, "landscape")) p.orientation = 2;
            else if (!ParseInteger<std::int16_t>(value, p.orientation, 1, 2)) {
                return Fail(index, "'orientation' must be portrait, landscape, 1 or 2");
            }
        } else if (key == "resolution") {
            std::string_view number = value;
            if (number.size() > 3 && SameIgnoringCase(number.substr(number.size() - 3), "dpi")) {
                number = Trim(number.substr(0, number.size() - 3));
            }
            if (!ParseInteger(number, p.resolution, 1, kMaxResolution)) {
                return Fail(index, "'resolution' must be dots per inch from 1 to " +
                                       std::to_string(kMaxResolution));
            }
        } else if (key == "paper") {
            if (!ParsePaper(value, p.paperWidthTenthMm, p.paperHeightTenthMm)) {
                return Fail(index, "unknown paper '" + std::string(value) + "' (" +
                                       printers::PaperSizeNames() +
                                       ", or WxHmm such as 210x297mm)");
            }
        } else if (key == "access") {
            if (SameIgnoringCase(value, "full")) p.fullAccess = true;
            else if (SameIgnoringCase(value, "use")) p.fullAccess = false;
            else return Fail(index, "'access' must be full or use");
        } else if (key == "fail") {
            return ParseFailures(index, value);
        }
        return true;
    }

    static bool ParseYesNo(std::string_view value, bool& out) {
        if (SameIgnoringCase(value, "yes")) out = true;
        else if (SameIgnoringCase(value, "no")) out = false;
        else return false;
        return true;
    }

    bool ParseFailures(std::size_t index, std::string_view value) {
        std::size_t at = 0;
        while (at < value.size()) {
            if (value[at] == ' ' || value[at] == '\t' || value[at] == '|') {
                ++at;
                continue;
            }
            std::size_t end = value.find_first_of(" \t|", at);
            if (end == std::string_view::npos) end = value.size();
            const std::string word = LowerCased(value.substr(at, end - at));
            at = end;
            const auto found = std::find_if(kFailureNames.begin(), kFailureNames.end(),
                                            [&](const auto& entry) { return entry.first == word; });
            if (found == kFailureNames.end()) {
                return Fail(index, "unknown failure '" + word +
                                       "' (read-info, list-jobs, driver, write-info, start-document)");
            }
            current_->failures |= found->second;
        }
        return true;
    }

    // "ID, FLAGS" for a job without a document name, "ID, FLAGS, DOCUMENT"
    // otherwise; the document name may hold commas.
    bool ParseJob(std::size_t index, std::string_view value) {
        const std::size_t firstComma = value.find(',');
        if (firstComma == std::string_view::npos) {
            return Fail(index, "a job is 'ID, STATUS FLAGS, DOCUMENT' (the document may be left out)");
        }
        VirtualJob job;
        if (!ParseInteger(Trim(value.substr(0, firstComma)), job.id, std::uint32_t{1},
                          std::uint32_t{0x7FFFFFFF})) {
            return Fail(index, "a job id must be a whole number from 1 to 2147483647");
        }
        std::string_view rest = value.substr(firstComma + 1);
        const std::size_t secondComma = rest.find(',');
        const std::string_view flags = Trim(rest.substr(0, secondComma));
        if (secondComma != std::string_view::npos) job.document = std::string(Trim(rest.substr(secondComma + 1)));
        std::string unknown;
        const auto status = ParseFlags(flags, JobStatusNames(), unknown);
        if (!status) return Fail(index, "unknown job status flag '" + unknown + "'");
        job.status = *status;
        for (const VirtualJob& other : current_->jobs) {
            if (other.id == job.id) {
                return Fail(index, "job " + std::to_string(job.id) + " is listed twice for printer '" +
                                       current_->name + "'");
            }
        }
        current_->jobs.push_back(std::move(job));
        return true;
    }

    bool FinishPrinter() {
        if (current_ == nullptr) return true;
        const VirtualPrinter& p = *current_;
        const std::size_t header = p.headerLine;
        current_ = nullptr;
        if (p.port.empty()) return Fail(header, "printer '" + p.name + "' has no 'port'");
        if (p.driver.empty()) return Fail(header, "printer '" + p.name + "' has no 'driver'");
        const std::int64_t longest =
            PixelsAt(std::max(p.paperWidthTenthMm, p.paperHeightTenthMm), p.resolution);
        if (longest > kMaxPageSidePixels) {
            return Fail(header, "printer '" + p.name + "': its paper at " +
                                    std::to_string(p.resolution) + " dpi is " +
                                    std::to_string(longest) + " pixels long; the most is " +
                                    std::to_string(kMaxPageSidePixels));
        }
        return true;
    }

    FileProblem& problem_;
    PrintersFile file_;
    VirtualPrinter* current_ = nullptr;
    std::unordered_map<std::string, std::size_t> headerLines_;  // by lower-cased printer name
    bool seenDefault_ = false;
    bool seenOutput_ = false;
};

std::string Indentation(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return std::string(line.substr(0, first == std::string_view::npos ? line.size() : first));
}

// "portrait", "landscape", or the number.
std::string OrientationText(std::int16_t orientation) {
    if (orientation == 1) return "portrait";
    if (orientation == 2) return "landscape";
    return std::to_string(orientation);
}

}  // namespace

std::optional<PrintersFile> ParsePrintersFile(std::string_view text, FileProblem& problem) {
    problem = {};
    if (text.size() > kMaxPrintersFileBytes) {
        problem.reason = "the file is larger than " + std::to_string(kMaxPrintersFileBytes) + " bytes";
        return std::nullopt;
    }
    return Parser(text, problem).Run();
}

std::string RewriteSettings(const PrintersFile& file, std::size_t index,
                            const VirtualPrinter& changed) {
    const VirtualPrinter& old = file.printers.at(index);
    std::vector<std::pair<std::string, std::string>> updates;
    if (changed.dataType != old.dataType) {
        updates.emplace_back("datatype", changed.dataType ? *changed.dataType : "none");
    }
    if (changed.hasDeviceMode != old.hasDeviceMode) {
        updates.emplace_back("devmode", changed.hasDeviceMode ? "yes" : "no");
    }
    if (changed.copies != old.copies) updates.emplace_back("copies", std::to_string(changed.copies));
    if (changed.orientation != old.orientation) {
        updates.emplace_back("orientation", OrientationText(changed.orientation));
    }
    if (changed.attributes != old.attributes) {
        updates.emplace_back("attributes", FormatFlags(changed.attributes, PrinterAttributeNames()));
    }

    std::vector<std::string> lines = file.lines;
    std::vector<std::string> added;
    const std::string indent =
        old.lastLine != old.headerLine ? Indentation(lines[old.lastLine]) : std::string();
    for (const auto& [key, value] : updates) {
        if (const auto found = old.keyLines.find(key); found != old.keyLines.end()) {
            std::string& line = lines[found->second];
            const std::size_t equals = line.find('=');
            line = line.substr(0, equals + 1) + " " + value;
        } else {
            added.push_back(indent + key + " = " + value);
        }
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(old.lastLine + 1), added.begin(),
                 added.end());

    std::string text;
    for (const std::string& line : lines) {
        text += line;
        // The reader drops one CR before each line end, so a line that ends
        // in a CR of its own (read from "\r\r\n") needs one more to read
        // back the same.
        if (!line.empty() && line.back() == '\r') text += '\r';
        text += '\n';
    }
    return text;
}

}  // namespace zeseal::platform::posix
