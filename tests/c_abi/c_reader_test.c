/* A plain C consumer of the reader's header: it must compile as C and read a
 * code through the shared reader library. The picture is the encoder's code
 * (written by the tool as a PGM) placed with a margin on a white page. */
#include <zeseal/zeseal_reader.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures = 0;

static void Expect(int condition, const char* what) {
    if (!condition) {
        fprintf(stderr, "failed: %s\n", what);
        ++failures;
    }
}

int main(int argc, char** argv) {
    enum { kCodeWidth = 2528, kCodeHeight = 128, kMargin = 40, kScale = 2 };
    const int32_t width = kCodeWidth * kScale + 2 * kMargin;
    const int32_t height = kCodeHeight * kScale + 2 * kMargin;
    static uint8_t code[kCodeWidth * kCodeHeight];
    static uint8_t bytes[ZE_DENSE_BYTES];
    uint8_t* page;
    ZeDenseReading reading;
    char header[64];
    FILE* file;
    int32_t x, y, result;

    if (argc != 2) {
        fprintf(stderr, "usage: %s CODE.pgm\n", argv[0]);
        return 2;
    }
    file = fopen(argv[1], "rb");
    if (file == NULL || fgets(header, sizeof header, file) == NULL || fgets(header, sizeof header, file) == NULL ||
        fgets(header, sizeof header, file) == NULL || fread(code, 1, sizeof code, file) != sizeof code) {
        fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    fclose(file);

    /* At 600 dpi: every code pixel two by two. */
    page = malloc((size_t)width * (size_t)height);
    if (page == NULL) return 2;
    memset(page, 255, (size_t)width * (size_t)height);
    for (y = 0; y < kCodeHeight * kScale; ++y) {
        for (x = 0; x < kCodeWidth * kScale; ++x) {
            page[(size_t)(y + kMargin) * (size_t)width + (size_t)(x + kMargin)] = code[(y / kScale) * kCodeWidth + x / kScale];
        }
    }

    result = zeDenseReadScan(page, width, height, width, 600, bytes, &reading);
    Expect(result == ZE_DENSE_READ, "the code is read");
    Expect(reading.result == result, "the reading states the result");
    Expect(reading.margin == 27 && reading.failedCodewords == 0, "a clean code has the whole margin");
    Expect(reading.cornerX > kMargin - 1 && reading.cornerX < kMargin + 1, "the corner is found");
    Expect(reading.dpi > 590 && reading.dpi < 610, "the resolution is measured");
    Expect(memcmp(bytes, "zeseal c reader", 15) == 0, "the bytes are the message");

    /* Without a resolution, the scale comes from the code. */
    result = zeDenseReadScan(page, width, height, width, 0, bytes, NULL);
    Expect(result == ZE_DENSE_READ, "the code is read without a resolution");

    /* A blank page, and arguments that cannot be. */
    memset(page, 255, (size_t)width * (size_t)height);
    Expect(zeDenseReadScan(page, width, height, width, 600, bytes, &reading) == ZE_DENSE_NOT_FOUND,
           "nothing is found on a blank page");
    Expect(reading.margin == -1, "no margin without a code");
    Expect(zeDenseReadScan(NULL, width, height, width, 600, bytes, NULL) == ZE_DENSE_BAD_ARGUMENT, "no picture");
    Expect(zeDenseReadScan(page, width, height, width - 1, 600, bytes, NULL) == ZE_DENSE_BAD_ARGUMENT,
           "rows shorter than the width");
    Expect(zeDenseReadScan(page, width, height, width, 600, NULL, NULL) == ZE_DENSE_BAD_ARGUMENT, "no room for the bytes");
    free(page);
    if (failures == 0) printf("c reader: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
