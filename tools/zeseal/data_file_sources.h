// The text sources of the two installed data files, as the people who ship
// them write them, parsed into entries with line-numbered diagnostics.
//
// A catalogue source (MODELS.csv) has one row per entry:
//   name,pen_width,reserved1,reserved2,reserved3,dot_shape,dot_pitch,smooth_pattern,support_class[,tag]
// A court list source (NAMES.txt) has one printer name per line. In both,
// blank lines and lines starting with '#' are skipped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/data_file_writer.h"

namespace zeseal::tool {

struct Diagnostic {
    enum class Severity { kWarning, kError };
    Severity severity = Severity::kError;
    std::size_t line = 0;  // 1-based; 0 for the source as a whole
    std::string message;
};

// "FILE:LINE: error: message" (or "FILE: warning: message" without a line).
std::string FormatDiagnostic(std::string_view fileName, const Diagnostic& diagnostic);

bool HasErrors(const std::vector<Diagnostic>& diagnostics);

struct CatalogueSource {
    std::vector<authoring::ModelFileEntry> entries;
    std::vector<Diagnostic> diagnostics;
};

// Rows are comma-separated; a field may be double-quoted ("" for a quote
// inside), and blanks around unquoted fields are dropped. A first row whose
// first field is "name" is a header. The tag is 74 when left out; 66 is read
// alike; 0 makes a filler entry whose other fields are ignored.
CatalogueSource ParseCatalogueSource(std::string_view text);

struct CourtListSource {
    std::vector<std::string> names;
    std::vector<Diagnostic> diagnostics;
};

// Blanks around each name are dropped.
CourtListSource ParseCourtListSource(std::string_view text);

}  // namespace zeseal::tool
