#include "data_file_sources.h"

#include <charconv>
#include <limits>
#include <map>
#include <optional>

#include "base/ascii_case.h"
#include "catalogue/data_file_format.h"

namespace zeseal::tool {
namespace {

using Severity = Diagnostic::Severity;

constexpr const char* kSettingNames[] = {"pen_width", "reserved1",      "reserved2",
                                         "reserved3", "dot_shape",      "dot_pitch",
                                         "smooth_pattern", "support_class"};
constexpr std::size_t kSettingCount = std::size(kSettingNames);

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Calls line(number, text) for every line that is neither blank nor a
// comment; text keeps no line ending.
template <class LineHandler>
void ForEachContentLine(std::string_view text, LineHandler&& line) {
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view current = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (!current.empty() && current.back() == '\r') current.remove_suffix(1);
        const std::string_view trimmed = Trim(current);
        if (trimmed.empty() || trimmed.front() == '#') continue;
        line(number, current);
    }
}

class DiagnosticList {
public:
    explicit DiagnosticList(std::vector<Diagnostic>& list) : list_(list) {}
    void Error(std::size_t line, std::string message) {
        list_.push_back({Severity::kError, line, std::move(message)});
    }
    void Warning(std::size_t line, std::string message) {
        list_.push_back({Severity::kWarning, line, std::move(message)});
    }

private:
    std::vector<Diagnostic>& list_;
};

// Splits a row into fields; nullopt (with an error) for an unclosed quote.
std::optional<std::vector<std::string>> SplitRow(std::string_view row, std::size_t line,
                                                 DiagnosticList& diagnostics) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (true) {
        while (i < row.size() && IsBlank(row[i])) ++i;
        std::string field;
        if (i < row.size() && row[i] == '"') {
            ++i;
            bool closed = false;
            while (i < row.size()) {
                if (row[i] == '"') {
                    if (i + 1 < row.size() && row[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                field += row[i++];
            }
            if (!closed) {
                diagnostics.Error(line, "a quoted field is not closed");
                return std::nullopt;
            }
            while (i < row.size() && IsBlank(row[i])) ++i;
            if (i < row.size() && row[i] != ',') {
                diagnostics.Error(line, "text follows a quoted field before the next comma");
                return std::nullopt;
            }
        } else {
            const std::size_t end = row.find(',', i);
            field = std::string(Trim(row.substr(i, end == std::string_view::npos ? end : end - i)));
            i = end == std::string_view::npos ? row.size() : end;
        }
        fields.push_back(std::move(field));
        if (i >= row.size()) break;
        ++i;  // the comma
    }
    return fields;
}

// A whole number within min..max; nullopt (with an error) otherwise.
std::optional<long long> ParseWholeNumber(const std::string& text, const char* what,
                                          long long min, long long max, std::size_t line,
                                          DiagnosticList& diagnostics) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || end != digits.data() + digits.size() ||
        (error != std::errc{} && error != std::errc::result_out_of_range)) {
        diagnostics.Error(line, std::string(what) + " '" + text + "' is not a whole number");
        return std::nullopt;
    }
    if (error == std::errc::result_out_of_range || value < min || value > max) {
        diagnostics.Error(line, std::string(what) + " " + text + " is outside the stored range " +
                                    std::to_string(min) + " to " + std::to_string(max));
        return std::nullopt;
    }
    return value;
}

std::optional<std::int16_t> ParseInt16(const std::string& text, const char* what,
                                       std::size_t line, DiagnosticList& diagnostics) {
    const auto value = ParseWholeNumber(text, what, std::numeric_limits<std::int16_t>::min(),
                                        std::numeric_limits<std::int16_t>::max(), line,
                                        diagnostics);
    if (!value) return std::nullopt;
    return static_cast<std::int16_t>(*value);
}

// Warnings for settings that are stored but draw no dots. (Any support class
// may be stored: lookups find it, and callers decide what it means.)
void CheckSettings(const authoring::ModelSettings& s, std::size_t line,
                   DiagnosticList& diagnostics) {
    const std::int16_t shape = s[4], pitch = s[5];
    if (shape != 11 && shape != 12 && shape != 21 && shape != 22) {
        diagnostics.Warning(line, "dot_shape " + std::to_string(shape) +
                                      " is none of 11, 12, 21, 22: the pattern has no dots");
    }
    if (pitch < 1) {
        diagnostics.Warning(line, "dot_pitch " + std::to_string(pitch) +
                                      " is below 1: the pattern has no dots");
    }
}

// Warns about a name that no lookup can find; false when it cannot be stored.
bool CheckName(const std::string& name, std::size_t maxBytes, std::size_t line,
               DiagnosticList& diagnostics) {
    if (name.empty()) {
        diagnostics.Error(line, "the name is empty");
        return false;
    }
    if (name.size() > maxBytes) {
        diagnostics.Error(line, "the name '" + name + "' is " + std::to_string(name.size()) +
                                    " bytes long; at most " + std::to_string(maxBytes) + " fit");
        return false;
    }
    if (name.find('\0') != std::string::npos) {
        diagnostics.Error(line, "the name holds a NUL byte");
        return false;
    }
    if (name.find(' ') != std::string::npos) {
        diagnostics.Warning(line, "the name '" + name +
                                      "' has a space: lookups remove the spaces from the name "
                                      "they are given, so it can never match");
    }
    return true;
}

// Warns when an earlier entry already has the name, ignoring case: the
// lookup stops at the earlier one.
void CheckDuplicate(std::map<std::string, std::size_t>& seen, const std::string& name,
                    std::size_t line, DiagnosticList& diagnostics) {
    const auto [it, inserted] = seen.emplace(base::UpperCased(name), line);
    if (!inserted) {
        diagnostics.Warning(line, "'" + name + "' repeats the name on line " +
                                      std::to_string(it->second) +
                                      " (ignoring case); lookups stop at that one");
    }
}

}  // namespace

std::string FormatDiagnostic(std::string_view fileName, const Diagnostic& diagnostic) {
    std::string text(fileName);
    if (diagnostic.line != 0) {
        text += ':';
        text += std::to_string(diagnostic.line);
    }
    text += diagnostic.severity == Severity::kError ? ": error: " : ": warning: ";
    text += diagnostic.message;
    return text;
}

bool HasErrors(const std::vector<Diagnostic>& diagnostics) {
    for (const Diagnostic& d : diagnostics) {
        if (d.severity == Severity::kError) return true;
    }
    return false;
}

CatalogueSource ParseCatalogueSource(std::string_view text) {
    CatalogueSource source;
    DiagnosticList diagnostics(source.diagnostics);
    std::map<std::string, std::size_t> seen;
    bool firstRow = true;
    ForEachContentLine(text, [&](std::size_t line, std::string_view row) {
        const auto fields = SplitRow(row, line, diagnostics);
        const bool header = firstRow && fields && !fields->empty() &&
                            base::SameIgnoringCase((*fields)[0], "NAME");
        firstRow = false;
        if (!fields || header) return;
        if (fields->size() != kSettingCount + 1 && fields->size() != kSettingCount + 2) {
            diagnostics.Error(line, "the row has " + std::to_string(fields->size()) +
                                        " fields; it needs the name, the 8 settings and "
                                        "optionally the tag");
            return;
        }
        authoring::ModelFileEntry entry;
        if (fields->size() == kSettingCount + 2) {
            const auto tag = ParseWholeNumber((*fields)[kSettingCount + 1], "tag",
                                              std::numeric_limits<std::int32_t>::min(),
                                              std::numeric_limits<std::int32_t>::max(), line,
                                              diagnostics);
            if (!tag) return;
            if (*tag != catalogue::kFillerTag && *tag != catalogue::kShortRecordTag &&
                *tag != catalogue::kRecordTag) {
                diagnostics.Error(line, "tag " + std::to_string(*tag) +
                                            " is not 74, 66 or 0 (a filler entry)");
                return;
            }
            entry.tag = static_cast<std::int32_t>(*tag);
        }
        if (entry.tag == catalogue::kFillerTag) {
            for (std::size_t i = 0; i <= kSettingCount; ++i) {
                if (!(*fields)[i].empty()) {
                    diagnostics.Warning(line, "a filler entry stores no record; its name and "
                                              "settings are ignored");
                    break;
                }
            }
            source.entries.push_back(entry);
            return;
        }
        const std::string& name = (*fields)[0];
        bool good = CheckName(name, authoring::kMaxModelNameBytes, line, diagnostics);
        authoring::ModelSettings settings{};
        for (std::size_t i = 0; i < kSettingCount; ++i) {
            const auto value = ParseInt16((*fields)[i + 1], kSettingNames[i], line, diagnostics);
            if (value) settings[i] = *value;
            good = good && value.has_value();
        }
        if (!good) return;
        CheckSettings(settings, line, diagnostics);
        CheckDuplicate(seen, name, line, diagnostics);
        entry.record = authoring::MakeModelRecord(name, settings);
        source.entries.push_back(entry);
    });
    if (!seen.contains("DEFAULT")) {
        diagnostics.Warning(0, "there is no DEFAULT record: a model without a record of its "
                               "own gets no copy-detection pattern");
    }
    return source;
}

CourtListSource ParseCourtListSource(std::string_view text) {
    CourtListSource source;
    DiagnosticList diagnostics(source.diagnostics);
    std::map<std::string, std::size_t> seen;
    ForEachContentLine(text, [&](std::size_t line, std::string_view row) {
        const std::string name(Trim(row));
        if (!CheckName(name, authoring::kMaxCourtNameBytes, line, diagnostics)) return;
        CheckDuplicate(seen, name, line, diagnostics);
        source.names.push_back(name);
    });
    if (source.names.empty() && !HasErrors(source.diagnostics)) {
        diagnostics.Warning(0, "the list has no names: no printer is a court printer");
    }
    return source;
}

}  // namespace zeseal::tool
