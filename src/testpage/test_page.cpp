#include "testpage/test_page.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "base/name_cut.h"
#include "frame/frame_heap.h"
#include "marks/water_code.h"
#include "seams/page_device.h"
#include "seams/spooler.h"
#include "densecode/encoder.h"

namespace zeseal::testpage {
namespace {

using namespace zeseal::platform;

constexpr std::int32_t kFrameInset = 200;
constexpr std::int32_t kCaptionOffset = 200;
constexpr std::int32_t kCaptionPoints = 30;
constexpr std::uint32_t kCaptionAlignment = kAlignCenter | kAlignTop;
constexpr std::int32_t kDenseCodeDpiBase = 300;
constexpr std::int32_t kDenseCodeLayout = 3;  // 128 rows: the dense code's 2528 x 128 picture
// The buffer the dense code's text starts in; the encoder reads it as a whole.
constexpr std::size_t kDenseCodeTextBufferSize = 11400;
constexpr std::uint32_t kFrameBlue = PageColour(0, 0, 255);

frame::HeapBlock EncodeTestCode() noexcept {
    frame::HeapBlock text(kDenseCodeTextBufferSize);
    if (!text) return {};
    std::memcpy(text.data(), kDenseCodeText.data(), kDenseCodeText.size());
    return densecode::EncodeDenseCode(text.data());
}

void DrawPage(PageDevice& page, const TestPageArguments& arguments, const frame::HeapBlock& code) {
    const std::int32_t dpiY = page.DotsPerInchY();
    // Unused, but asked: the device sees both resolution queries, as with every mark drawn.
    page.DotsPerInchX();
    const std::int32_t width = page.PixelWidth();
    const std::int32_t height = page.PixelHeight();

    // Each part is drawn for its effect alone: one that fails leaves the others to print.
    page.OutlineRectangle({kFrameInset, kFrameInset, width - kFrameInset, height - kFrameInset},
                          {dpiY / 10, kFrameBlue});

    PageFont font;
    font.faceName = kCaptionFace;
    font.height = dpiY * kCaptionPoints / 72;
    page.WriteText(width / 2 - kCaptionOffset, height / 2 - kCaptionOffset, arguments.caption, font,
                   kCaptionAlignment);

    marks::DrawWaterCode(page, code.data(), code.size(), kDenseCodeX, kDenseCodeY, kDenseCodeLayout,
                         kDenseCodeDpiBase, 0);
}

}  // namespace

std::string KeptArgument(std::string_view text) {
    return std::string(base::CutLongName(text));
}

void PrintTestPage(const TestPageArguments& arguments, PatternDrawing drawPattern,
                   TestPageReport* report) {
    TestPageReport outcome;
    const frame::HeapBlock code = EncodeTestCode();

    std::uint32_t error = 0;
    const auto printer = ActiveSpooler().Open(arguments.printerName, PrinterAccess::kUse, error);
    if (printer) {
        DeviceMode mode;
        if (printer->CurrentDeviceMode(mode)) {
            mode.fields = kDeviceModeOrientation | kDeviceModeCopies;
            mode.orientation = static_cast<std::int16_t>(arguments.orientation);
            mode.copies = 1;
            // The driver's answer is not checked: a mode it refuses is
            // printed as it was set here.
            printer->PassThroughDriver(mode);
            if (auto document = printer->StartDocument(kTestDocumentName, mode)) {
                outcome.jobId = document->JobId();
                if (const HDC dc = document->StartPage()) {
                    outcome.pageDrawn = true;
                    if (const auto page = AttachPageDevice(dc)) DrawPage(*page, arguments, code);
                    if (drawPattern != nullptr) {
                        drawPattern(dc, arguments.detectorName.c_str(), arguments.kind);
                    }
                    outcome.documentEnded = document->EndPage() && document->EndDocument();
                }
                // A document whose page could not be started is abandoned.
            }
        }
    }
    if (report != nullptr) *report = outcome;
}

}  // namespace zeseal::testpage
