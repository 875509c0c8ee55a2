#include "seal_commands.h"

#include <CLI/CLI.hpp>
#include <zeseal/zeseal.h>

#include <limits>
#include <ostream>

#include "base/byte_order.h"
#include "base/name_cut.h"
#include "catalogue/model_lookup.h"
#include "catalogue/model_name.h"
#include "draw_command.h"
#include "file_io.h"
#include "marks/copy_detector.h"
#include "result_meanings.h"
#include "system_files.h"
#include "tool_error.h"

namespace zeseal::tool {
namespace {

// The largest logo file the tool passes on (iZeCourtLogo takes an int32 length).
constexpr std::uint64_t kMaxLogoBytes = 64ull << 20;
constexpr std::int32_t kBmpFileSizeAt = 2;

std::string KindText(std::int32_t kind) {
    return std::to_string(kind) + (kind == ZE_KIND_LOCAL ? " (local)" : " (network: NETWORKPRINTER)");
}

}  // namespace

void AddCdpCommand(CLI::App& app, CdpCommand& c) {
    c.command = app.add_subcommand(
        "cdp", "Write a printer model's copy-detection pattern as a BMP file");
    c.command->add_option("MODEL", c.model, "Printer model (driver) name")->required();
    c.command->add_option("--kind", c.kind,
                          "Printer kind: 1101 a local printer (the model's own record); any "
                          "other, e.g. 1102, a network printer (the NETWORKPRINTER record)")
        ->capture_default_str();
    c.command->add_option("-o,--output", c.output, "BMP file to write (replaced atomically)")
        ->required()
        ->type_name("FILE");
    c.command->footer(
        "The model is looked up in ZePrintInfoCourt.dat in the system directory (the\n"
        "environment variable ZESEAL_SYSTEM_DIR, or the library's built-in one); a model\n"
        "without a record gets the DEFAULT record's plainer pattern. The image is 528 x 264\n"
        "pixels, 8-bit grey, 600 dpi.\n\n"
        "Example:\n"
        "  ZESEAL_SYSTEM_DIR=build/default/system zeseal cdp TalvoLaser5100 -o out/cdp.bmp");
}

int RunCdp(const CdpCommand& c, std::ostream& out, std::ostream& err) {
    std::int32_t size = 0;
    iZeCopyDetectorSize(&size);
    if (size < 54) throw ToolError("the library reports an image size of " + std::to_string(size));
    std::vector<std::uint8_t> image(static_cast<std::size_t>(size), 0);
    const std::int32_t code = iZeCopyDetectorData(c.model.c_str(), image.data(), c.kind);
    out << "iZeCopyDetectorData \"" << c.model << "\", kind " << KindText(c.kind) << ": "
        << DescribeResult(code) << "\n";
    if (code != ZE_OK) {
        if (auto missing = MissingModelFile()) err << "zeseal: " << *missing << "\n";
        err << "zeseal: error: no pattern was built; " << c.output << " was not written\n";
        return 1;
    }
    const std::uint32_t fileSize = base::ReadLe32(image.data() + kBmpFileSizeAt);
    if (fileSize < 54 || fileSize > image.size()) {
        throw ToolError("the library's image states a size of " + std::to_string(fileSize) +
                        " bytes, outside its " + std::to_string(image.size()) + "-byte buffer");
    }
    image.resize(fileSize);
    WriteFileAtomically(c.output, image);
    out << "wrote " << c.output << " (" << fileSize << " bytes)\n";
    // A model without a record of its own is drawn with the DEFAULT record.
    char name[base::kNameBufferSize] = {};
    if (marks::ChooseDetectorName(c.model.c_str(), c.kind, name)) {
        catalogue::NormalizeModelName(name);
        if (catalogue::LookupSupportedModel(name) == catalogue::kModelNotFound) {
            out << "note: '" << name << "' has no record in the supported-model file; the DEFAULT "
                << "record was used\n";
        }
    }
    return 0;
}

void AddSealDrawOptions(CLI::App& draw, SealDrawOptions& s) {
    CLI::Option* cdp = draw.add_option("--cdp", s.cdpModel,
                                       "Printer model whose copy-detection pattern is ANDed "
                                       "onto the page (iZeCopyDetectorPrint)")
                           ->type_name("MODEL");
    draw.add_option("--cdp-at", s.cdpAt, "Pattern position X,Y in 1/600 inch")
        ->needs(cdp)
        ->type_name("X,Y")
        ->capture_default_str();
    draw.add_option("--kind", s.kind,
                    "Printer kind for --cdp: 1101 local (the model's record), any other a "
                    "network printer")
        ->needs(cdp)
        ->capture_default_str();
    CLI::Option* logo = draw.add_option("--logo", s.logoFile,
                                        "Court logo BMP file, ANDed onto the page (iZeCourtLogo)")
                            ->type_name("FILE");
    CLI::Option* logoModel =
        draw.add_option("--logo-model", s.logoModel,
                        "Draw the installed court logo of a model class instead "
                        "(iZeCourtLogoPrint): 1201 court_ink, any other court_laser")
            ->excludes(logo)
            ->type_name("CLASS");
    logo->excludes(logoModel);
    draw.add_option("--logo-at", s.logoAt, "Logo position X,Y in 1/72 inch")
        ->type_name("X,Y")
        ->capture_default_str();
}

PreparedSealMarks PrepareSealMarks(const SealDrawOptions& options) {
    PreparedSealMarks p;
    p.options = options;
    if (!options.cdpModel.empty()) {
        const MarkPosition at = ParsePosition(options.cdpAt, "1/600 inch");
        p.cdpX = at.x;
        p.cdpY = at.y;
    }
    if (!options.logoFile.empty() || options.logoModel != 0) {
        const MarkPosition at = ParsePosition(options.logoAt, "1/72 inch");
        p.logoX = at.x;
        p.logoY = at.y;
    }
    if (!options.logoFile.empty()) {
        p.logo = ReadWholeFile(options.logoFile, kMaxLogoBytes);
        if (p.logo.empty()) throw ToolError("logo file '" + options.logoFile + "' is empty");
    }
    return p;
}

bool DrawSealMarks(HDC page, const PreparedSealMarks& p, std::ostream& out) {
    bool drawn = true;
    const SealDrawOptions& o = p.options;
    if (!o.cdpModel.empty()) {
        const std::int32_t code = iZeCopyDetectorPrint(page, o.cdpModel.c_str(), p.cdpX, p.cdpY, o.kind, 0);
        out << "iZeCopyDetectorPrint \"" << o.cdpModel << "\", kind " << KindText(o.kind) << " at ("
            << p.cdpX << ", " << p.cdpY << "): " << DescribeResult(code) << "\n";
        drawn = drawn && code == ZE_OK;
    }
    if (!p.logo.empty()) {
        const std::int32_t code = iZeCourtLogo(page, p.logo.data(), static_cast<std::int32_t>(p.logo.size()),
                                               0, 0, p.logoX, p.logoY);
        out << "iZeCourtLogo " << o.logoFile << " at (" << p.logoX << ", " << p.logoY
            << "): " << DescribeResult(code) << "\n";
        drawn = drawn && code == ZE_OK;
    } else if (o.logoModel != 0) {
        const std::int32_t code = iZeCourtLogoPrint(page, o.logoModel, 0, 0, p.logoX, p.logoY);
        out << "iZeCourtLogoPrint class " << o.logoModel << " at (" << p.logoX << ", " << p.logoY
            << "): " << DescribeResult(code) << "\n";
        drawn = drawn && code == ZE_OK;
    }
    return drawn;
}

}  // namespace zeseal::tool
