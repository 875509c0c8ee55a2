#include "densecode_commands.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstring>
#include <ostream>

#include "base/ascii_case.h"
#include "draw_command.h"
#include "file_io.h"
#include "image_io.h"
#include "densecode/encoder.h"
#include "densecode/reader/page_reader.h"
#include "densecode/reader/reader.h"
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

dc::DenseCodeReading ReadPicture(const DenseDecodeOptions& options, std::ostream& report) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(options.input, 2 * kMaxPictureBytes + 4096);
    const bool picture = LooksLikePng(bytes) || (bytes.size() >= 2 && bytes[0] == 'P' &&
                                                 bytes[1] >= '1' && bytes[1] <= '7');
    if (!picture) {
        if (!options.at.empty()) {
            throw ToolError(options.input + ": a page must be a PNG, PGM or PPM picture");
        }
        if (bytes.size() != dc::kDenseImageBytes) {
            throw ToolError(options.input + ": neither a picture nor a raw code of " +
                            std::to_string(dc::kDenseImageBytes) + " bytes (it has " +
                            std::to_string(bytes.size()) + ")");
        }
        report << "raw code: " << dc::kDenseCodeWidth << "x" << dc::kDenseCodeHeight
               << ", bottom row first\n";
        return dc::DecodeDenseCode(bytes);
    }

    Image image = DecodeImage(bytes, options.input);
    if (options.at.empty()) {
        if (image.width != dc::kDenseCodeWidth || image.height != dc::kDenseCodeHeight) {
            throw ToolError(options.input + " is " + std::to_string(image.width) + "x" +
                            std::to_string(image.height) + " pixels, not a 2528x128 code; for a " +
                            "page, give the code's position with --at X,Y");
        }
        image = ToGray(std::move(image));
        std::vector<std::uint8_t> block(dc::kDenseImageBytes);
        for (int y = 0; y < dc::kDenseCodeHeight; ++y) {
            std::memcpy(block.data() + std::size_t(dc::kDenseCodeHeight - 1 - y) * dc::kDenseCodeWidth,
                        image.pixels.data() + std::size_t(y) * dc::kDenseCodeWidth, dc::kDenseCodeWidth);
        }
        report << "picture: " << dc::kDenseCodeWidth << "x" << dc::kDenseCodeHeight << "\n";
        return dc::DecodeDenseCode(block);
    }

    const MarkPosition at = ParsePosition(options.at);
    const std::int32_t dpi = options.dpi != 0 ? options.dpi : image.dpi;
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
    report << "page: " << image.width << "x" << image.height << " at " << dpi
           << " dpi, code at (" << at.x << ", " << at.y << ") in 1/300 inch\n";
    return dc::ReadDenseCodeFromPage(page, at.x, at.y);
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

// Reads the code, prints the corrections per codeword and writes the bytes.
// Returns 1 without writing when a codeword cannot be corrected.
int RunDenseDecode(const DenseDecodeOptions& options, std::ostream& out, std::ostream& err) {
    const bool toStandardOutput = options.output == "-";
    std::ostream& report = toStandardOutput ? err : out;
    const dc::DenseCodeReading reading = ReadPicture(options, report);
    if (reading.status != dc::DenseReadStatus::kRead &&
        reading.status != dc::DenseReadStatus::kUncorrectable) {
        throw ToolError(options.input + ": " + dc::DescribeDenseReadStatus(reading.status));
    }
    Report(reading, report);
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
    if (!toStandardOutput) {
        report << "wrote " << reading.bytes.size() << " bytes to " << options.output << "\n";
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
        "decode", "Read a dense code from its picture or from a page, and write its 6600 bytes");
    DenseDecodeOptions& d = c.decodeOptions;
    c.decode->add_option("IMAGE", d.input,
                         "The code (PNG, PGM or .raw) or, with --at, a page it was drawn on")
        ->required()
        ->type_name("FILE");
    c.decode->add_option("-o,--output", d.output, "File for the 6600 bytes; - for the standard output")
        ->required()
        ->type_name("FILE");
    CLI::Option* at = c.decode->add_option(
        "--at", d.at,
        "Where the code was drawn on the page: X,Y in 1/300 inch, as given to the drawing");
    at->type_name("X,Y");
    c.decode->add_option("--dpi", d.dpi, "The page's resolution (default: as the file states it)")
        ->check(CLI::Range(1, 9600))
        ->needs(at);
    c.decode->footer(
        "Each codeword corrects up to 27 wrong bytes, more when a page shows cells it cannot\n"
        "tell black or white. Nothing is written when a codeword cannot be corrected.\n\n"
        "Examples:\n"
        "  zeseal densecode decode code.png -o message.bin\n"
        "  zeseal densecode decode page.png --at 250,2100 -o message.bin");
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
    return false;
}

}  // namespace zeseal::tool
