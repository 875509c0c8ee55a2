#include "draw_command.h"

#include <zeseal/zeseal_posix.h>

#include <charconv>
#include <ostream>

#include "authoring/container_writer.h"
#include "densecode_commands.h"
#include "file_io.h"
#include "mark_text.h"
#include "paper.h"
#include "progress.h"
#include "result_meanings.h"
#include "tool_error.h"

namespace zeseal::tool {
namespace {

// The largest coordinate accepted: far beyond any page, small enough that
// scaling to the largest resolution stays well inside an int32.
constexpr std::int32_t kMaxCoordinate = 1000000;

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool ParseCoordinate(std::string_view text, std::int32_t& value) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc{} && end == text.data() + text.size() &&
           value >= -kMaxCoordinate && value <= kMaxCoordinate;
}

// Destroys the page when the command ends, however it ends.
class Page {
public:
    Page(std::int32_t width, std::int32_t height, std::int32_t dpi)
        : handle_(iZeHostPageCreate(width, height, dpi, dpi)) {}
    ~Page() {
        if (handle_ != nullptr) iZeHostPageDestroy(handle_);
    }
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;
    HDC get() const { return handle_; }

private:
    HDC handle_;
};

std::string PositionText(MarkPosition at) {
    std::string text = "(";
    text += std::to_string(at.x);
    text += ", ";
    text += std::to_string(at.y);
    text += ')';
    return text;
}

// Warns when a mark's corner lies right of or below the page, so that none
// of it can show. at is in 1/unitsPerInch inch; the smaller of the two
// readings of a watermark's x (with or without its 30-unit offset) is
// taken, so a mark that may show is never warned about.
void WarnWhenOffPage(const char* mark, MarkPosition at, std::int32_t unitsPerInch, std::int32_t xOffset,
                     std::int32_t dpi, PagePixels page, std::ostream& err) {
    const std::int64_t x = std::int64_t(at.x - xOffset) * dpi / unitsPerInch;
    const std::int64_t y = std::int64_t(at.y) * dpi / unitsPerInch;
    if (x >= page.width || y >= page.height) {
        err << "zeseal: warning: the " << mark << " at " << PositionText(at) << " lies wholly off the "
            << page.width << "x" << page.height << "-pixel page\n";
    }
}

}  // namespace

MarkPosition ParsePosition(std::string_view text, std::string_view unit) {
    const std::size_t comma = text.find(',');
    MarkPosition at;
    if (comma == std::string_view::npos || !ParseCoordinate(text.substr(0, comma), at.x) ||
        !ParseCoordinate(text.substr(comma + 1), at.y)) {
        throw ToolError("position '" + std::string(text) + "' must be X,Y: two whole numbers in " +
                        std::string(unit) + " between -" + std::to_string(kMaxCoordinate) + " and " +
                        std::to_string(kMaxCoordinate));
    }
    return at;
}

int RunDraw(const DrawOptions& options, std::ostream& out, std::ostream& err) {
    if (options.output.empty()) throw ToolError("no output file given (-o OUT.png)");
    if (options.output == kStandardStream) throw ToolError("draw saves the page to a file, not '-'");
    CheckOutputPath(options.output);  // before the page is rendered
    if (options.waterCodeBytes < 0) throw ToolError("--wc-bytes must not be negative");
    const Paper paper = ParsePaper(options.paper);
    const PagePixels size = PageSizeAt(paper, options.dpi);

    // Everything that can be refused is read and sized before the page is made.
    MarkText watermark;
    MarkText waterCode;
    MarkBuffers watermarkBuffers;
    MarkBuffers waterCodeBuffers;
    if (!options.watermark.empty()) {
        watermark = LoadMarkText(options.watermark, err);
        watermarkBuffers = SizeMarkBuffers(watermark, options.watermark);
    }
    if (!options.waterCode.empty()) {
        waterCode = LoadMarkText(options.waterCode, err);
        waterCodeBuffers = SizeMarkBuffers(waterCode, options.waterCode);
    }
    const PreparedSealMarks seal = PrepareSealMarks(options.seal);

    // The dense code travels as a water code does: container text, drawn by
    // iZeWaterCode with layout 3 and byte count 0 (2528 x 128).
    MarkText denseCode;
    MarkBuffers denseCodeBuffers;
    if (!options.denseCode.empty()) {
        denseCode = ParseMarkText(authoring::EncodeBase64(
            authoring::PackContainer(EncodeDenseCodeFile(options.denseCode, err))));
        denseCodeBuffers = SizeMarkBuffers(denseCode, options.denseCode);
    }

    Progress progress(err);
    progress.Step("making a " + std::to_string(size.width) + "x" + std::to_string(size.height) + " page...");
    const Page page(size.width, size.height, options.dpi);
    progress.Clear();
    if (page.get() == nullptr) {
        throw ToolError("cannot create a page of " + std::to_string(size.width) + "x" +
                        std::to_string(size.height) + " pixels (out of memory?)");
    }
    out << "page: " << paper.name << " at " << options.dpi << " dpi, " << size.width << "x"
        << size.height << " pixels\n";
    if (!options.watermark.empty()) {
        WarnWhenOffPage("watermark", options.watermarkAt, 300, 30, options.dpi, size, err);
    }
    if (!options.waterCode.empty()) {
        WarnWhenOffPage("water code", options.waterCodeAt, 300, 0, options.dpi, size, err);
    }
    if (!options.denseCode.empty()) {
        WarnWhenOffPage("dense code", options.denseCodeAt, 300, 0, options.dpi, size, err);
    }
    if (!options.seal.cdpModel.empty()) {
        WarnWhenOffPage("copy-detection pattern", ParsePosition(options.seal.cdpAt, "1/600 inch"), 600, 0,
                        options.dpi, size, err);
    }
    if (!options.seal.logoFile.empty() || options.seal.logoModel != 0) {
        WarnWhenOffPage("court logo", ParsePosition(options.seal.logoAt, "1/72 inch"), 72, 0, options.dpi, size,
                        err);
    }

    bool drawn = true;
    if (!options.watermark.empty()) {
        const std::int32_t code =
            iZeWaterMark(page.get(), watermark.text.c_str(), watermarkBuffers.work.data.get(),
                         watermarkBuffers.raster.data.get(),
                         static_cast<std::int32_t>(watermark.text.size()), 0, 0,
                         options.watermarkAt.x, options.watermarkAt.y);
        out << "iZeWaterMark at " << PositionText(options.watermarkAt) << ": "
            << DescribeResult(code) << "\n";
        drawn = drawn && code == 0;
    }
    if (!options.waterCode.empty()) {
        const std::int32_t code = iZeWaterCode(
            page.get(), waterCode.text.c_str(), waterCodeBuffers.work.data.get(),
            waterCodeBuffers.raster.data.get(), static_cast<std::int32_t>(waterCode.text.size()),
            0, options.waterCodeBytes, options.waterCodeAt.x, options.waterCodeAt.y,
            options.layout);
        out << "iZeWaterCode at " << PositionText(options.waterCodeAt) << ", layout "
            << options.layout << ": " << DescribeResult(code) << "\n";
        drawn = drawn && code == 0;
    }
    drawn = DrawSealMarks(page.get(), seal, out) && drawn;
    if (!options.denseCode.empty()) {
        const std::int32_t code = iZeWaterCode(
            page.get(), denseCode.text.c_str(), denseCodeBuffers.work.data.get(),
            denseCodeBuffers.raster.data.get(), static_cast<std::int32_t>(denseCode.text.size()),
            0, 0, options.denseCodeAt.x, options.denseCodeAt.y, 3);
        out << "dense code of " << options.denseCode << " at " << PositionText(options.denseCodeAt)
            << ": " << DescribeResult(code) << "\n";
        drawn = drawn && code == 0;
    }
    if (!drawn) {
        err << "zeseal: error: a mark was not drawn; " << options.output << " was not written\n";
        return 1;
    }

    EnsureParentDirectory(options.output);
    progress.Step("saving " + options.output + "...");
    const std::int32_t saved = iZeHostPageSavePng(page.get(), options.output.c_str());
    progress.Clear();
    if (saved != 0) {
        throw ToolError("cannot save the page to '" + options.output + "' (" +
                        (saved == -1 ? "unknown page" : "the file cannot be written") + ")");
    }
    out << "saved " << options.output << "\n";
    return 0;
}

}  // namespace zeseal::tool
