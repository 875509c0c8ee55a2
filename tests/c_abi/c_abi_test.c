/* A plain C consumer of the library's headers: it must compile as C and call
 * the exports through the shared library. */
#include <zeseal/zeseal.h>
#include <zeseal/zeseal_posix.h>

#include <stdio.h>
#include <string.h>

static int failures = 0;

static void Expect(int condition, const char* what) {
    if (!condition) {
        fprintf(stderr, "failed: %s\n", what);
        ++failures;
    }
}

int main(void) {
    char port[16] = "";
    /* A container of a 1 x 1 black 8-bit picture, Base64-encoded: total 13,
     * one zlib chunk of the 12-byte header, one pixel and the terminator,
     * then a zero length. */
    const char* text = "AAAADQAAABF42mNgYGBkgGAOBgYAADgACwAAAAA=";
    uint8_t work[64];
    uint8_t picture[64];
    uint8_t rgb[100 * 100 * 3];
    HDC page;
    int32_t result;

    memset(picture, 0xEE, sizeof picture);
    result = iZeWaterMarkData("!", work, picture, 1);
    Expect(result == ZE_WATERMARK_NO_BYTES, "no digits give 2002");

    result = iZeWaterMarkData(text, work, picture, (int32_t)strlen(text));
    Expect(result == ZE_OK, "the picture decodes");
    Expect(picture[3] == 1 && picture[11] == 8 && picture[12] == 0, "the picture's bytes");

    page = iZeHostPageCreate(100, 100, 300, 300);
    Expect(page != NULL, "a page is created");
    result = iZeWaterMark(page, text, work, picture, (int32_t)strlen(text), 0, 0, 10, 20);
    Expect(result == ZE_OK, "the watermark is drawn");
    Expect(iZeHostPageRead(page, rgb, (int32_t)sizeof rgb) == (int32_t)sizeof rgb, "the page is read");
    Expect(rgb[(20 * 100 + 40) * 3] == 0 && rgb[(20 * 100 + 41) * 3] == 255, "one black dot at (40, 20)");
    result = iZeWaterCode(page, "!", work, picture, 1, 0, 0, 1, 1, 3);
    Expect(result == ZE_WATERCODE_NO_BYTES, "no digits give 3002");
    result = iZeWaterCode(page, text, work, (uint8_t*)0x10, (int32_t)strlen(text), 0, 0, 1, 1, 3);
    Expect(result == ZE_WATERCODE_FAILED, "a bad raster pointer gives 3000");
    Expect(iZeHostPageDestroy(page) == 0, "the page is destroyed");
    Expect(iZeWaterCode(page, "!", work, picture, 1, 0, 0, 1, 1, 3) == ZE_WATERCODE_NO_BYTES,
           "decoding comes before the device check");

    {
        /* cdecl: a caller may pass arguments a function does not take. */
        int32_t (*sizeWithArguments)() = (int32_t (*)())iZeCourtLogoSize;
        int32_t size = 0;
        Expect(sizeWithArguments(1, 2, 3) == ZE_COURTLOGO_SIZE, "extra arguments are ignored");
        Expect(iZeCourtLogoData() == ZE_OK, "the logo data answer");
        Expect(iZeCopyDetectorSize(&size) == ZE_OK && size == 190166, "the pattern buffer size");
        Expect(iZeCourtLogo(NULL, (const uint8_t*)0x10, 100, 0, 0, 1, 1) == ZE_COURTLOGO_FAILED,
               "a bad logo pointer gives 4100");
    }
    /* Without a printers file there are no printers, and no crash. */
    Expect(iZeHostUseVirtualSpooler("/nonexistent/printers.txt") == -1, "a missing file is refused");
    Expect(iZePrinterStatus("Nobody") == ZE_FAULT, "an unknown printer gives 9999");
    Expect(iGetZePrinter() == ZE_NO_LOCAL_PRINTER, "no printer gives 1000");
    Expect(iGetZePrinterPort("Nobody", port, (int32_t)sizeof port) == 0, "no port is found");
    Expect(iZePrinterSet("Nobody", 1) == ZE_SETTINGS_FAILED, "nothing is set");
    Expect(iZeTestPrinting("Nobody", "Any", "caption", ZE_KIND_LOCAL, 2) == ZE_TEST_PRINT_REFUSED,
           "a local printer that cannot be set prints no test page");
    Expect(iZeTestPrinting("Nobody", "Any", "caption", ZE_KIND_NETWORK, 2) == ZE_OK,
           "a network printer that cannot be opened ends the test page with 0");
    Expect(iZeHostUseVirtualSpooler(NULL) == 0, "the choice is undone");
    return failures == 0 ? 0 : 1;
}
