#include "densecode_commands.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cstring>
#include <cmath>
#include <cstdio>
#include <ostream>

#include "base/ascii_case.h"
#include "draw_command.h"
#include "file_io.h"
#include "image_io.h"
#include "progress.h"
#include "densecode/encoder.h"
#include "densecode/reader/page_reader.h"
#include "densecode/reader/reader.h"
#include "densecode/reader/scan_reader.h"
#include "densecode/reader/sample.h"
#include "testpage/test_page.h"
#include "tool_error.h"

namespace zeseal::tool {
namespace {

namespace dc = zeseal::densecode;

constexpr std::int32_t kCodeDpi = 300;

// A file name's extension, ignoring case. Only the tail is compared: the
// name is the host's (UTF-8), so its earlier bytes are not code page 949.
bool EndsWith(const std::string& text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           base::SameIgnoringCase(std::string_view(text).substr(text.size() - suffix.size()), suffix);
}

// Top row first, from the library's bottom-up block.
std::vector<std::uint8_t> TopDown(const std::vector<std::uint8_t>& block) {
    std::vector<std::uint8_t> rows(block.size());
    for (int y = 0; y < dc::kDenseCodeHeight; ++y) {
        std::memcpy(rows.data() + std::size_t(y) * dc::kDenseCodeWidth,
                    block.data() + std::size_t(dc::kDenseCodeHeight - 1 - y) * dc::kDenseCodeWidth,
                    dc::kDenseCodeWidth);
    }
    return rows;
}

std::vector<std::uint8_t> EncodePgm(const std::vector<std::uint8_t>& topDown) {
    const std::string header = "P5\n" + std::to_string(dc::kDenseCodeWidth) + " " +
                               std::to_string(dc::kDenseCodeHeight) + "\n255\n";
    std::vector<std::uint8_t> file(header.begin(), header.end());
    file.insert(file.end(), topDown.begin(), topDown.end());
    return file;
}

void Report(const dc::DenseCodeReading& reading, std::ostream& out) {
    std::int32_t erasures = 0;
    std::string failed;
    for (int j = 0; j < dc::kDenseBlocks; ++j) {
        const std::int32_t corrected = reading.corrected[std::size_t(j)];
        erasures += reading.erasures[std::size_t(j)];
        if (corrected < 0) failed += (failed.empty() ? "" : " ") + std::to_string(j);
        if (corrected <= 0) continue;
        out << "codeword " << j << ": " << corrected << " byte" << (corrected == 1 ? "" : "s")
            << " corrected";
        if (reading.erasures[std::size_t(j)] > 0) {
            out << " (" << reading.erasures[std::size_t(j)] << " unsure bytes used as erasures)";
        }
        out << "\n";
    }
    if (!failed.empty()) out << "cannot be corrected: codeword" << (reading.FailedCodewords() == 1 ? " " : "s ") << failed << "\n";
    out << "corrected " << reading.TotalCorrected() << " bytes in "
        << dc::kDenseBlocks - reading.FailedCodewords() << " of " << dc::kDenseBlocks
        << " codewords";
    if (erasures > 0) out << " (" << erasures << " erasures)";
    out << "; " << reading.FailedCodewords() << " could not be corrected\n";
}

// What was read, and how: the scan's geometry when the scan reader found it.
struct PictureReading {
    dc::DenseCodeReading reading;
    std::string source;  // "raw", "picture", "page" or "scan"
    bool scanned = false;
    dc::DenseScanReading scan;
    Image image;  // the picture as read (grey), for the overlay
};

dc::GreyView ViewOf(const Image& grey) {
    return {grey.pixels.data(), grey.width, grey.height, grey.RowBytes()};
}

// The scan reader over the whole picture, or near a position first.
void ReadScan(PictureReading& result, std::int32_t dpi, const MarkPosition* at, std::ostream& report,
              bool quiet, Progress& progress) {
    dc::DenseScanOptions options;
    options.dpi = dpi;
    if (at != nullptr && dpi > 0) {
        options.hasHint = true;
        options.hint = {at->x * dpi / 300.0, at->y * dpi / 300.0};
    }
    progress.Step("looking for the code in a " + std::to_string(result.image.width) + "x" +
                  std::to_string(result.image.height) + " scan...");
    result.scan = dc::ReadDenseCodeFromScan(ViewOf(result.image), options);
    progress.Clear();
    result.scanned = true;
    result.source = "scan";
    result.reading = result.scan.reading;
    if (!quiet && result.scan.found) {
        const dc::PointD corner = result.scan.map.Apply(0, 0);
        char line[200];
        std::snprintf(line, sizeof line,
                      "scan: %dx%d; code found at (%.1f, %.1f), %.2f degrees%s, %.0f dpi, %d timing squares "
                      "(misfit %.2f code pixels)\n",
                      result.image.width, result.image.height, corner.x, corner.y, result.scan.angleDegrees,
                      result.scan.upsideDown ? " (upside down)" : "", result.scan.dpi, result.scan.anchors,
                      result.scan.residual);
        report << line;
    }
}

// Reads the code; progress is shown on a terminal while the file is read
// and the code looked for, and cleared before anything is reported.
PictureReading ReadPicture(const DenseDecodeOptions& options, std::ostream& report, bool quiet,
                           Progress& progress) {
    PictureReading result;
    progress.Step("reading " + options.input + "...");
    const std::vector<std::uint8_t> bytes = ReadWholeFile(options.input, 2 * kMaxPictureBytes + 4096);
    const bool picture = LooksLikePicture(bytes);
    if (!picture) {
        if (!options.at.empty()) {
            throw ToolError(options.input + ": a page must be a picture (PNG, PGM, PPM, TIFF or JPEG)");
        }
        if (bytes.size() != dc::kDenseImageBytes) {
            throw ToolError(options.input + ": neither a picture nor a raw code of " +
                            std::to_string(dc::kDenseImageBytes) + " bytes (it has " +
                            std::to_string(bytes.size()) + ")");
        }
        progress.Clear();
        if (!quiet) {
            report << "raw code: " << dc::kDenseCodeWidth << "x" << dc::kDenseCodeHeight << ", bottom row first\n";
        }
        result.source = "raw";
        result.reading = dc::DecodeDenseCode(bytes);
        return result;
    }

    Image image = DecodeImage(bytes, options.input);
    progress.Clear();
    const std::int32_t dpi = options.dpi != 0 ? options.dpi : image.dpi;
    if (options.at.empty() && image.width == dc::kDenseCodeWidth && image.height == dc::kDenseCodeHeight) {
        // The encoder's own picture: read exactly, and as a scan only if that fails.
        result.image = ToGray(std::move(image));
        std::vector<std::uint8_t> block(dc::kDenseImageBytes);
        for (int y = 0; y < dc::kDenseCodeHeight; ++y) {
            std::memcpy(block.data() + std::size_t(dc::kDenseCodeHeight - 1 - y) * dc::kDenseCodeWidth,
                        result.image.pixels.data() + std::size_t(y) * dc::kDenseCodeWidth, dc::kDenseCodeWidth);
        }
        result.source = "picture";
        result.reading = dc::DecodeDenseCode(block);
        if (result.reading.ok()) {
            if (!quiet) report << "picture: " << dc::kDenseCodeWidth << "x" << dc::kDenseCodeHeight << "\n";
            return result;
        }
        PictureReading scanned;
        scanned.image = std::move(result.image);
        ReadScan(scanned, dpi, nullptr, report, quiet, progress);
        if (scanned.reading.ok() || scanned.scan.found) return scanned;
        scanned.reading = result.reading;
        scanned.source = "picture";
        scanned.scanned = false;
        return scanned;
    }

    if (!options.at.empty()) {
        const MarkPosition at = ParsePosition(options.at);
        if (dpi == 0) {
            throw ToolError(options.input + " states no resolution; give the page's with --dpi N");
        }
        dc::DensePageRaster page;
        page.pixels = image.pixels.data();
        page.width = image.width;
        page.height = image.height;
        page.channels = image.channels;
        page.rowBytes = image.RowBytes();
        page.dpiX = page.dpiY = dpi;
        result.source = "page";
        result.reading = dc::ReadDenseCodeFromPage(page, at.x, at.y);
        if (!quiet) {
            report << "page: " << image.width << "x" << image.height << " at " << dpi
                   << " dpi, code at (" << at.x << ", " << at.y << ") in 1/300 inch\n";
        }
        if (result.reading.ok()) {
            result.image = ToGray(std::move(image));
            return result;
        }
        // Not where the drawing put it: a scan of the printed page, read
        // with the position as a hint.
        PictureReading scanned;
        scanned.image = ToGray(std::move(image));
        ReadScan(scanned, dpi, &at, report, quiet, progress);
        if (scanned.reading.ok() || scanned.scan.found) return scanned;
        result.image = std::move(scanned.image);
        return result;
    }

    result.image = ToGray(std::move(image));
    ReadScan(result, dpi, nullptr, report, quiet, progress);
    return result;
}

// The bytes of a file as the code carries them: its first 6600 bytes, zero
// filled when it has fewer. A note goes to err when bytes are cut off.
std::vector<std::uint8_t> DenseCodeInput(const std::string& path, std::ostream& err) {
    std::vector<std::uint8_t> bytes = ReadWholeFile(path, kMaxPictureBytes);
    if (bytes.size() > dc::kDenseInputBytes) {
        err << "zeseal: note: " << path << " has " << bytes.size() << " bytes; the code carries "
            << "the first " << dc::kDenseInputBytes << "\n";
    }
    bytes.resize(dc::kDenseInputBytes, 0);
    return bytes;
}

// Writes the picture: PGM or PNG (top row first, 300 dpi in the PNG), or
// .raw, the library's block exactly (bottom row first, 323,584 bytes).
int RunDenseEncode(const DenseEncodeOptions& options, std::ostream& out, std::ostream& err) {
    const bool png = EndsWith(options.output, ".png");
    const bool pgm = EndsWith(options.output, ".pgm");
    const bool raw = EndsWith(options.output, ".raw");
    if (!png && !pgm && !raw) {
        throw ToolError("output '" + options.output + "' must end in .pgm, .png or .raw");
    }
    const std::vector<std::uint8_t> block = EncodeDenseCodeFile(options.input, err);
    if (raw) {
        WriteFileAtomically(options.output, block);
    } else if (pgm) {
        WriteFileAtomically(options.output, EncodePgm(TopDown(block)));
    } else {
        Image image;
        image.width = dc::kDenseCodeWidth;
        image.height = dc::kDenseCodeHeight;
        image.channels = 1;
        image.dpi = kCodeDpi;
        image.pixels = TopDown(block);
        WritePngFile(options.output, image);
    }
    out << "encoded " << options.input << " into a " << dc::kDenseCodeWidth << "x"
        << dc::kDenseCodeHeight << " code: " << options.output << "\n";
    return 0;
}

std::string JsonNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            quoted += '\\';
            quoted += ch;
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            quoted += escape;
        } else {
            quoted += ch;
        }
    }
    return quoted + "\"";
}

template <typename Array>
std::string JsonList(const Array& values) {
    std::string list = "[";
    for (std::size_t i = 0; i < values.size(); ++i) list += (i ? "," : "") + std::to_string(values[i]);
    return list + "]";
}

// The whole report as one JSON object (verify adds whether the bytes match).
void ReportJson(const PictureReading& read, const DenseDecodeOptions& options, const bool* matches,
                std::ostream& out) {
    const dc::DenseCodeReading& r = read.reading;
    std::vector<int> failed;
    for (int j = 0; j < dc::kDenseBlocks; ++j) {
        if (r.corrected[std::size_t(j)] < 0) failed.push_back(j);
    }
    out << "{\"file\":" << JsonString(options.input) << ",\"source\":" << JsonString(read.source)
        << ",\"status\":" << JsonString(dc::DescribeDenseReadStatus(r.status))
        << ",\"decoded\":" << (r.ok() ? "true" : "false");
    if (matches != nullptr) out << ",\"matches\":" << (*matches ? "true" : "false");
    if (r.status == dc::DenseReadStatus::kRead || r.status == dc::DenseReadStatus::kUncorrectable) {
        out << ",\"margin\":" << r.Margin() << ",\"failed\":" << JsonList(failed)
            << ",\"corrected\":" << JsonList(r.corrected) << ",\"erasures\":" << JsonList(r.erasures)
            << ",\"spare\":" << JsonList(r.spare);
    }
    if (read.scanned && read.scan.found) {
        const dc::PointD corner = read.scan.map.Apply(0, 0);
        out << ",\"found\":{\"x\":" << JsonNumber(corner.x) << ",\"y\":" << JsonNumber(corner.y)
            << ",\"angle\":" << JsonNumber(read.scan.angleDegrees) << ",\"dpi\":" << JsonNumber(read.scan.dpi)
            << ",\"upsideDown\":" << (read.scan.upsideDown ? "true" : "false")
            << ",\"timingSquares\":" << read.scan.anchors << ",\"misfit\":" << JsonNumber(read.scan.residual)
            << "}";
    }
    out << "}\n";
}

// The scan in colour with every sampled cell marked: green where its
// codeword was corrected with room to spare, orange where it came within
// three bytes of failing, red where it failed.
void WriteOverlay(const PictureReading& read, const std::string& path) {
    if (!read.scanned || !read.scan.found) {
        throw ToolError("no overlay: the code was not found as a scan in " + path);
    }
    Image rgb = ToRgb(read.image);
    const dc::DenseCodeReading& r = read.reading;
    std::array<int, dc::kDenseStreamBytes> codeword{};
    for (std::size_t n = 0; n < dc::kDenseStreamBytes; ++n) {
        codeword[n] = n < dc::kDenseFillerStart ? int(n % dc::kDenseBlocks) : -1;
    }
    const double scale = std::max(1.0, read.scan.dpi / 300.0);
    const int dot = std::max(0, int(scale / 2) - 1);
    for (int n = 0; n < int(dc::kDenseStreamBytes); ++n) {
        const int j = codeword[std::size_t(n)];
        std::array<std::uint8_t, 3> colour = {0, 160, 255};  // the filler: blue
        if (j >= 0) {
            const std::int32_t spare = r.spare[std::size_t(j)];
            colour = spare < 0 ? std::array<std::uint8_t, 3>{255, 0, 0}
                     : spare <= 3 ? std::array<std::uint8_t, 3>{255, 150, 0}
                                  : std::array<std::uint8_t, 3>{0, 200, 0};
        }
        for (int bit = 0; bit < 8; ++bit) {
            const dc::PointD code = dc::DenseCellSamplePoint(n, bit);
            const dc::PointD p = read.scan.map.Apply(code.x, code.y);
            const long cx = std::lround(std::floor(p.x));
            const long cy = std::lround(std::floor(p.y));
            for (long y = cy - dot; y <= cy + dot; ++y) {
                for (long x = cx - dot; x <= cx + dot; ++x) {
                    if (x < 0 || y < 0 || x >= rgb.width || y >= rgb.height) continue;
                    std::uint8_t* px = rgb.pixels.data() + (std::size_t(y) * std::size_t(rgb.width) + std::size_t(x)) * 3;
                    px[0] = colour[0], px[1] = colour[1], px[2] = colour[2];
                }
            }
        }
    }
    WritePngFile(path, rgb);
}

void CheckFound(const PictureReading& read, const DenseDecodeOptions& options) {
    const dc::DenseReadStatus status = read.reading.status;
    if (status != dc::DenseReadStatus::kRead && status != dc::DenseReadStatus::kUncorrectable) {
        throw ToolError(options.input + ": " + dc::DescribeDenseReadStatus(status));
    }
}

// Reads the code, prints the corrections per codeword and writes the bytes.
// Returns 1 without writing when a codeword cannot be corrected.
int RunDenseDecode(const DenseDecodeOptions& options, std::ostream& out, std::ostream& err) {
    const bool toStandardOutput = options.output == "-";
    std::ostream& report = toStandardOutput ? err : out;
    Progress progress(err);
    const PictureReading read = ReadPicture(options, report, options.json, progress);
    if (!options.overlay.empty() && read.scanned && read.scan.found) WriteOverlay(read, options.overlay);
    if (options.json) {
        ReportJson(read, options, nullptr, report);
    } else {
        CheckFound(read, options);
    }
    const dc::DenseCodeReading& reading = read.reading;
    if (!options.json) Report(reading, report);
    if (!reading.ok()) {
        err << "zeseal: error: " << options.input << ": "
            << dc::DescribeDenseReadStatus(reading.status) << "; nothing was written\n";
        if (reading.FailedCodewords() == dc::kDenseBlocks && !options.at.empty()) {
            err << "zeseal: note: no codeword could be read; check the position (--at) and the "
                   "resolution (--dpi)\n";
        }
        return 1;
    }
    WriteFileAtomically(options.output, reading.bytes);
    if (!toStandardOutput && !options.json) {
        report << "wrote " << reading.bytes.size() << " bytes to " << options.output << "\n";
    }
    return 0;
}

// Reads the code of a scanned test page and compares its bytes with the
// test page's text. 0 only when every codeword was corrected and the bytes
// match.
int RunDenseVerify(const DenseDecodeOptions& options, std::ostream& out, std::ostream& err) {
    Progress progress(err);
    const PictureReading read = ReadPicture(options, out, options.json, progress);
    if (!options.overlay.empty() && read.scanned && read.scan.found) WriteOverlay(read, options.overlay);
    std::vector<std::uint8_t> expected(dc::kDenseInputBytes, 0);
    std::memcpy(expected.data(), testpage::kDenseCodeText.data(), testpage::kDenseCodeText.size());
    const bool matches = read.reading.ok() && read.reading.bytes == expected;
    if (options.json) {
        ReportJson(read, options, &matches, out);
    } else {
        CheckFound(read, options);
        Report(read.reading, out);
        if (read.reading.ok()) out << "margin: " << read.reading.Margin() << " more wrong bytes in the weakest codeword\n";
        out << (matches ? "the code matches the test page\n"
                : read.reading.ok() ? "the code was read but does not match the test page\n"
                                    : "the code could not be read\n");
    }
    if (!matches) {
        err << "zeseal: error: " << options.input << ": "
            << (read.reading.ok() ? "not the test page's code" : dc::DescribeDenseReadStatus(read.reading.status))
            << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

std::vector<std::uint8_t> EncodeDenseCodeFile(const std::string& path, std::ostream& err) {
    const std::vector<std::uint8_t> input = DenseCodeInput(path, err);
    const frame::HeapBlock image = dc::EncodeDenseCode(input.data());
    if (!image) throw ToolError("out of memory while encoding the dense code");
    return {image.data(), image.data() + image.size()};
}

namespace {

void AddReadingOptions(CLI::App& command, DenseDecodeOptions& d) {
    command.add_option("--at", d.at,
                       "Where the code was drawn on the page: X,Y in 1/300 inch, as given to the "
                       "drawing (for a scan, where to look first)")
        ->type_name("X,Y");
    command.add_option("--dpi", d.dpi, "The picture's resolution (default: as the file states it, "
                                       "else measured from the code)")
        ->check(CLI::Range(1, 9600));
    command.add_flag("--json", d.json, "Report as one JSON object on the standard output");
    command.add_option("--overlay", d.overlay,
                       "Write the scan with the sampled cells marked by their codeword's state (PNG)")
        ->type_name("FILE");
}

}  // namespace

void AddDenseCodeCommands(CLI::App& app, DenseCodeCommands& c) {
    CLI::App* group = app.add_subcommand(
        "densecode", "Encode bytes into the library's own dense code, or read one back");
    group->require_subcommand(1);

    c.encode = group->add_subcommand("encode", "Encode a file's first 6600 bytes as a 2528x128 code");
    c.encode->add_option("INPUT", c.encodeOptions.input, "Any file; shorter ones are zero-filled")
        ->required()
        ->type_name("FILE");
    c.encode->add_option("-o,--output", c.encodeOptions.output,
                         "Picture to write: .pgm, .png (300 dpi) or .raw (the library's block: "
                         "323,584 bytes, bottom row first)")
        ->required()
        ->type_name("FILE");
    c.encode->footer("Example:\n  zeseal densecode encode message.txt -o code.png");

    c.decode = group->add_subcommand(
        "decode", "Read a dense code from its picture, a page or a scan, and write its 6600 bytes");
    DenseDecodeOptions& d = c.decodeOptions;
    c.decode->add_option("IMAGE", d.input,
                         "The code (PNG, PGM, PPM, TIFF, JPEG or .raw), a page it was drawn on, or a "
                         "scan of one")
        ->required()
        ->type_name("FILE");
    c.decode->add_option("-o,--output", d.output, "File for the 6600 bytes; - for the standard output")
        ->required()
        ->type_name("FILE");
    AddReadingOptions(*c.decode, d);
    c.decode->footer(
        "Without --at the code is looked for anywhere in the picture, turned up to a few\n"
        "degrees or upside down. Each codeword corrects up to 27 wrong bytes, more when cells\n"
        "could not be told black or white. Nothing is written when a codeword cannot be\n"
        "corrected.\n\n"
        "Examples:\n"
        "  zeseal densecode decode code.png -o message.bin\n"
        "  zeseal densecode decode scan.png --dpi 600 -o message.bin --json\n"
        "  zeseal densecode decode page.png --at 250,2100 -o message.bin");

    c.verify = group->add_subcommand(
        "verify", "Read the dense code of a scanned test page and check it against the test page");
    DenseDecodeOptions& v = c.verifyOptions;
    c.verify->add_option("SCAN", v.input, "The scan (PNG, PGM, PPM, TIFF or JPEG)")
        ->required()
        ->type_name("FILE");
    AddReadingOptions(*c.verify, v);
    c.verify->footer(
        "Exit status 0 only when every codeword is corrected and the bytes are the test\n"
        "page's. The margin is how many more wrong bytes the weakest codeword could take.\n\n"
        "Example:\n"
        "  zeseal densecode verify scan.jpg --dpi 600 --overlay checked.png");
}

bool RunDenseCodeCommand(const DenseCodeCommands& c, std::ostream& out, std::ostream& err,
                         int& status) {
    if (c.encode != nullptr && c.encode->parsed()) {
        status = RunDenseEncode(c.encodeOptions, out, err);
        return true;
    }
    if (c.decode != nullptr && c.decode->parsed()) {
        status = RunDenseDecode(c.decodeOptions, out, err);
        return true;
    }
    if (c.verify != nullptr && c.verify->parsed()) {
        status = RunDenseVerify(c.verifyOptions, out, err);
        return true;
    }
    return false;
}

}  // namespace zeseal::tool
