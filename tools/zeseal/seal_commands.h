// "zeseal cdp", which writes a printer model's copy-detection pattern as a
// BMP file, and the options of "zeseal draw" that add the pattern and the
// court logo to the page.
#pragma once

#include <zeseal/zeseal.h>

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace zeseal::tool {

struct CdpCommand {
    CLI::App* command = nullptr;
    std::string model;
    std::int32_t kind = ZE_KIND_LOCAL;
    std::string output;
};

// Adds "cdp" to app.
void AddCdpCommand(CLI::App& app, CdpCommand& command);
// Builds the pattern through iZeCopyDetectorData and writes it atomically.
// Returns the exit status: 1 when the library gives no pattern.
int RunCdp(const CdpCommand& command, std::ostream& out, std::ostream& err);

struct SealDrawOptions {
    std::string cdpModel;  // empty: no pattern
    std::string cdpAt = "0,0";
    std::int32_t kind = ZE_KIND_LOCAL;
    std::string logoFile;        // a caller's BMP image, drawn with iZeCourtLogo
    std::int32_t logoModel = 0;  // 0: none; else the class iZeCourtLogoPrint takes
    std::string logoAt = "0,0";
};

// Adds --cdp, --cdp-at, --kind, --logo, --logo-model and --logo-at to draw.
void AddSealDrawOptions(CLI::App& draw, SealDrawOptions& options);

// What the seal marks need, read and checked before the page is made.
struct PreparedSealMarks {
    SealDrawOptions options;
    std::int32_t cdpX = 0, cdpY = 0;
    std::int32_t logoX = 0, logoY = 0;
    std::vector<std::uint8_t> logo;  // the --logo file's bytes
};

// Parses the positions and reads the logo file. Throws ToolError.
PreparedSealMarks PrepareSealMarks(const SealDrawOptions& options);

// Draws the pattern, then the logo, reporting each export's result. Returns
// true when every mark asked for was drawn.
bool DrawSealMarks(HDC page, const PreparedSealMarks& marks, std::ostream& out);

}  // namespace zeseal::tool
