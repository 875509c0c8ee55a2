/*
 * zeseal_reader.h - reading the dense code back from a scan.
 *
 * A separate library (libzeseal_reader), for a service that verifies printed
 * pages: it holds no printer code and draws nothing. The scan is an 8-bit
 * grey raster, 0 black and 255 white, top row first. The code is found
 * anywhere in it (turned a few degrees, or upside down), registered on its
 * timing squares and read; every codeword is corrected with the cells that
 * could not be told black or white as erasures.
 *
 * The function keeps no state and may run on several threads at once.
 */
#ifndef ZESEAL_ZESEAL_READER_H
#define ZESEAL_ZESEAL_READER_H

#include <stdint.h>

#if defined(_WIN32)
#  define ZESEAL_READER_CALL __cdecl
#  if defined(ZESEAL_BUILDING_READER)
#    define ZESEAL_READER_API __declspec(dllexport)
#  else
#    define ZESEAL_READER_API __declspec(dllimport)
#  endif
#else
#  define ZESEAL_READER_CALL
#  if defined(ZESEAL_BUILDING_READER)
#    define ZESEAL_READER_API __attribute__((visibility("default")))
#  else
#    define ZESEAL_READER_API
#  endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* What the code carries, and how it is protected. */
#define ZE_DENSE_BYTES 6600
#define ZE_DENSE_CODEWORDS 33

/* Results of zeDenseReadScan. */
#define ZE_DENSE_READ 0           /* every codeword was corrected; the bytes are whole */
#define ZE_DENSE_UNCORRECTABLE 1  /* found, but at least one codeword failed */
#define ZE_DENSE_NOT_FOUND 2      /* no code in the picture */
#define ZE_DENSE_BAD_ARGUMENT -1  /* a null pointer, or a size or stride that cannot be */

typedef struct ZeDenseReading {
    int32_t result;                          /* as returned */
    /* The fewest more wrong bytes any codeword could have taken; -1 when one failed. */
    int32_t margin;
    int32_t failedCodewords;
    int32_t corrected[ZE_DENSE_CODEWORDS];   /* bytes corrected per codeword, -1: failed */
    int32_t erasures[ZE_DENSE_CODEWORDS];    /* unsure bytes given as erasures */
    int32_t spare[ZE_DENSE_CODEWORDS];       /* more wrong bytes each could take, -1: failed */
    /* Where the code was found: its top left corner in picture pixels, the
     * angle of its length to the rows in degrees, the resolution measured
     * from it, and 1 when it lay upside down. */
    double cornerX;
    double cornerY;
    double angleDegrees;
    double dpi;
    int32_t upsideDown;
    int32_t timingSquares;                   /* timing squares the geometry was fitted to */
} ZeDenseReading;

/*
 * Reads the code from a grey raster of width x height pixels whose rows are
 * stride bytes apart (stride >= width). dpi is the scan's resolution, or 0
 * when unknown (it is then measured from the code). bytes receives the
 * ZE_DENSE_BYTES carried bytes (a failed codeword's as read); reading, when
 * not NULL, the details. Returns one of the ZE_DENSE_ results.
 */
ZESEAL_READER_API int32_t ZESEAL_READER_CALL zeDenseReadScan(const uint8_t* grey, int32_t width, int32_t height,
                                                             int32_t stride, int32_t dpi, uint8_t* bytes,
                                                             ZeDenseReading* reading);

#ifdef __cplusplus
}
#endif

#endif /* ZESEAL_ZESEAL_READER_H */
