/* A program built against an installed zeseal, through find_package(zeseal)
 * or pkg-config: it includes the installed headers, links the installed
 * shared library and calls it. Exits 0 when every answer is the expected one. */
#include <zeseal/zeseal.h>
#include <zeseal/zeseal_posix.h>

#include <stdio.h>
#include <string.h>

int main(void) {
    /* A container of a 1 x 1 black 8-bit picture. */
    const char* text = "AAAADQAAABF42mNgYGBkgGAOBgYAADgACwAAAAA=";
    uint8_t work[64];
    uint8_t picture[64];
    int32_t size = 0;
    int failures = 0;
    HDC page;

    if (iZeWaterMarkData(text, work, picture, (int32_t)strlen(text)) != ZE_OK) {
        fprintf(stderr, "consumer: the watermark container does not decode\n");
        ++failures;
    }
    if (iZeCopyDetectorSize(&size) != ZE_OK || size <= 0) {
        fprintf(stderr, "consumer: no copy-detection pattern size\n");
        ++failures;
    }
    page = iZeHostPageCreate(100, 100, 300, 300);
    if (page == NULL) {
        fprintf(stderr, "consumer: no page\n");
        ++failures;
    } else if (iZeWaterMark(page, text, work, picture, (int32_t)strlen(text), 0, 0, 10, 20) != ZE_OK ||
               iZeHostPageDestroy(page) != 0) {
        fprintf(stderr, "consumer: drawing on the page failed\n");
        ++failures;
    }
    if (failures == 0) printf("consumer: the installed library answers\n");
    return failures == 0 ? 0 : 1;
}
