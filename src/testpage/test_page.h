// The test page: a blue frame, a caption, a dense code and the printer
// model's copy-detection pattern, printed as one document on a named printer
// through the spooler seam, so that a user sees how the printer renders the
// marks before a certificate is issued on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <zeseal/zeseal.h>

namespace zeseal::testpage {

// The dense code's text (code page 949).
inline constexpr std::string_view kDenseCodeText =
    "test print - Ostrevane"
    "\xBA\xCE\xB5\xBF\xBB\xEA\xB5\xEE\xB1\xE2\xC0\xCE\xC5\xCD\xB3\xDD\xBC\xAD\xBA\xF1\xBD\xBA";

// The document's name in the spooler (code page 949).
inline constexpr std::string_view kTestDocumentName =
    "Ostrevane \xB5\xEE\xB1\xE2 \xC0\xCE\xC5\xCD\xB3\xDD \xBC\xAD\xBA\xF1\xBD\xBA Test Printing...";

// The caption's face, "궁서" in code page 949.
inline constexpr std::string_view kCaptionFace = "\xB1\xC3\xBC\xAD";

// Where the marks go: the dense code in 1/300 inch, the pattern in 1/600.
inline constexpr std::int32_t kDenseCodeX = 250;
inline constexpr std::int32_t kDenseCodeY = 2100;
inline constexpr std::int32_t kPatternX = 5810;
inline constexpr std::int32_t kPatternY = 4200;

// The argument as the test page keeps it in a name buffer (base::CutLongName).
std::string KeptArgument(std::string_view text);

// Orientation 1 is portrait; every value above 1 is taken as landscape (2);
// values below 1 are passed on unchanged.
constexpr std::int32_t ClampOrientation(std::int32_t orientation) noexcept {
    return orientation > 1 ? 2 : orientation;
}

// Draws the copy-detection pattern of detectorName on the page dc; kind is
// the caller's printer kind. The page ignores whether it was drawn.
using PatternDrawing = void (*)(HDC dc, const char* detectorName, std::int32_t kind);

struct TestPageArguments {
    std::string printerName;   // kept copies (KeptArgument)
    std::string detectorName;
    std::string caption;
    std::int32_t kind = ZE_KIND_LOCAL;
    std::int32_t orientation = 1;  // after ClampOrientation
};

// What became of the page, for the tool and the tests.
struct TestPageReport {
    bool pageDrawn = false;       // the spooler accepted the document and the page
    bool documentEnded = false;   // the page and the document were ended
    std::uint32_t jobId = 0;      // the document's job, when the spooler accepted it
};

// Prints the test page after the printer settings were dealt with: encodes
// the dense code, opens the printer, sets the device mode's orientation and
// one copy, starts the document and its page and draws frame, caption,
// dense code and pattern (through drawPattern) in that order, then ends the
// page and the document. A printer that cannot be opened, a device mode
// that cannot be had, and a refused document or page end the call early
// with nothing drawn; what was taken is released in every case.
void PrintTestPage(const TestPageArguments& arguments, PatternDrawing drawPattern,
                   TestPageReport* report = nullptr);

}  // namespace zeseal::testpage
