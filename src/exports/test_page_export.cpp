// The test-page export: keeps its own copies of the caller's strings, has a
// local printer set for direct printing first, then prints the page.
#include <zeseal/zeseal.h>

#include <cstring>
#include <string_view>

#include "frame/fault_frame.h"
#include "testpage/test_page.h"

using namespace zeseal;

namespace {

// A missing string is taken as an empty one.
std::string_view CallerText(const char* text) {
    return text != nullptr ? std::string_view(text, std::strlen(text)) : std::string_view();
}

void DrawTestPattern(HDC dc, const char* detectorName, std::int32_t kind) {
    // The page prints with or without its pattern, so the result is not needed.
    iZeCopyDetectorPrint(dc, detectorName, testpage::kPatternX, testpage::kPatternY, kind, 3);
}

}  // namespace

extern "C" {

ZESEAL_API int32_t ZESEAL_CALL iZeTestPrinting(const char* printerName, const char* detectorName,
                                               const char* caption, int32_t kind,
                                               int32_t orientation) {
    return frame::ContainExceptions(ZE_OK, [&] {
        testpage::TestPageArguments arguments;
        arguments.printerName = testpage::KeptArgument(CallerText(printerName));
        arguments.detectorName = testpage::KeptArgument(CallerText(detectorName));
        arguments.caption = testpage::KeptArgument(CallerText(caption));
        arguments.kind = kind;
        arguments.orientation = testpage::ClampOrientation(orientation);
        if (kind == ZE_KIND_LOCAL &&
            iZePrinterSet(arguments.printerName.c_str(), arguments.orientation) != ZE_OK) {
            return ZE_TEST_PRINT_REFUSED;
        }
        testpage::PrintTestPage(arguments, DrawTestPattern);
        return ZE_OK;
    });
}

}  // extern "C"
