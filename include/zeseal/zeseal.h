/*
 * zeseal.h - the C interface of ZEsealWARDEN, the certificate printing library.
 *
 * The library draws a certificate page's protective marks (watermark, water
 * code, copy-detection pattern, court logo) onto a printer device context,
 * classifies the local printers, answers printer queries, changes printer
 * settings, prints a test page and lets the user choose a printer.
 *
 * Conventions, stated once for every function below:
 *  - Every function is a plain C function with the cdecl calling convention
 *    that returns an int32_t result code. 0 always means success.
 *  - Strings are NUL-terminated single-byte text in the system code page.
 *  - Buffers belong to the caller, who sizes them as each function states.
 *    Name buffers are 260 bytes; a name of 260 characters or more is cut to
 *    its first 258.
 *  - Device contexts and windows are handles owned by the caller. On Windows
 *    they are GDI and USER handles; on POSIX, HDC is a page created through
 *    zeseal_posix.h and every function validates it before use (an unknown
 *    or destroyed handle is a drawing failure, never a crash).
 *  - Functions marked "guarded" run inside a fault frame: a bad pointer that
 *    makes the body fault, or an exception inside it, returns the stated
 *    fault code instead of ending the process.
 *  - The library keeps process-wide state for the printer list and the last
 *    model lookup; callers must not run two list or model operations at once.
 */
#ifndef ZESEAL_ZESEAL_H
#define ZESEAL_ZESEAL_H

#include <stdint.h>

#if defined(_WIN32)
#  include <windows.h>
#  define ZESEAL_CALL __cdecl
#  if defined(ZESEAL_BUILDING_LIBRARY)
#    define ZESEAL_API __declspec(dllexport)
#  else
#    define ZESEAL_API __declspec(dllimport)
#  endif
#else
#  define ZESEAL_CALL
#  if defined(ZESEAL_BUILDING_LIBRARY)
#    define ZESEAL_API __attribute__((visibility("default")))
#  else
#    define ZESEAL_API
#  endif
/* An opaque page handle: created by iZeHostPageCreate (zeseal_posix.h). */
typedef struct ZeHostPage_* HDC;
/* An opaque window handle: the owner of a dialog; may be NULL. */
typedef struct ZeHostWindow_* HWND;
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Result codes ------------------------------------------------------ */

#define ZE_OK 0

/* Printer queries, settings, jobs and the test page. */
#define ZE_NO_LOCAL_PRINTER      1000 /* no local printer */
#define ZE_NO_ABLE_PRINTER       1001 /* no printer able to issue, or a fault */
#define ZE_SETTINGS_FAILED       1003 /* settings not applied, or a fault */
#define ZE_NO_MATCHING_JOB       1004 /* no matching job, or the job list not readable */
#define ZE_DIALOG_NOT_CONFIRMED  1005 /* the dialog closed without a confirmed printer */
#define ZE_TEST_PRINT_REFUSED    1006 /* the printer settings for the test page failed */
#define ZE_CHOSEN_PRINTER_UNABLE 1008 /* the final check found the chosen printer unable */

/* Watermark. */
#define ZE_WATERMARK_FAILED      2000 /* not drawn, or the container is unusable */
#define ZE_WATERMARK_NO_BYTES    2002 /* the Base64 text gave no bytes */
#define ZE_WATERMARK_NO_MEMORY   2003 /* out of memory while decompressing */
#define ZE_WATERMARK_BAD_CHUNK   2004 /* a chunk length in the container is negative */
#define ZE_WATERMARK_BAD_TOTAL   2005 /* the container's total length is below 1 */

/* Water code. */
#define ZE_WATERCODE_FAILED      3000 /* not drawn, the container is unusable, or a fault */
#define ZE_WATERCODE_NO_BYTES    3002
#define ZE_WATERCODE_NO_MEMORY   3003
#define ZE_WATERCODE_BAD_CHUNK   3004
#define ZE_WATERCODE_BAD_TOTAL   3005

/* Copy-detection pattern and court logo. */
#define ZE_COPYDETECTOR_FAILED   4000 /* pattern not built or not drawn, or a fault */
#define ZE_COURTLOGO_FAILED      4100 /* logo not drawn, or a fault */
#define ZE_COURTLOGO_SIZE        4102 /* the constant answer of iZeCourtLogoSize */

/* Printer status: the first condition found decides. */
#define ZE_STATUS_ERROR              5000
#define ZE_STATUS_BUSY               5001
#define ZE_STATUS_DOOR_OPEN          5002
#define ZE_STATUS_INITIALIZING       5003
#define ZE_STATUS_IO_ACTIVE          5004
#define ZE_STATUS_MANUAL_FEED        5005
#define ZE_STATUS_NO_TONER           5006
#define ZE_STATUS_NOT_AVAILABLE      5007
#define ZE_STATUS_OFFLINE            5008
#define ZE_STATUS_OUT_OF_MEMORY      5009
#define ZE_STATUS_OUTPUT_BIN_FULL    5010
#define ZE_STATUS_PAPER_JAM          5011
#define ZE_STATUS_PAPER_OUT          5012
#define ZE_STATUS_PAPER_PROBLEM      5013
#define ZE_STATUS_PAUSED             5014
#define ZE_STATUS_PENDING_DELETION   5015
#define ZE_STATUS_POWER_SAVE         5016
#define ZE_STATUS_PROCESSING         5018
#define ZE_STATUS_SERVER_UNKNOWN     5019
#define ZE_STATUS_TONER_LOW          5020
#define ZE_STATUS_USER_INTERVENTION  5021
#define ZE_STATUS_WAITING            5022
#define ZE_STATUS_WARMING_UP         5023
#define ZE_STATUS_PRINTING           5024
#define ZE_JOB_ERROR                 5030
#define ZE_JOB_OFFLINE               5031
#define ZE_JOB_BLOCKED               5032
#define ZE_JOB_PAPER_OUT             5033
#define ZE_JOB_PAUSED                5034
#define ZE_JOB_RESTART               5035
#define ZE_JOB_SPOOLING              5036
#define ZE_JOB_USER_INTERVENTION     5037

/* A fault was caught, or the printer could not be opened or read. */
#define ZE_FAULT 9999

/* Answers of the printer list about the chosen printer's driver. */
#define ZE_COURT_LIST_UNREADABLE 60004 /* the court printer list cannot be opened */
#define ZE_COURT_LIST_REGISTERED 70000 /* the driver is in the court printer list */
#define ZE_COURT_LIST_UNKNOWN    80000 /* the driver is not in the court printer list */

/* Codes passed between the exports through the caller. */
#define ZE_KIND_LOCAL    1101 /* a printer attached to this machine */
#define ZE_KIND_NETWORK  1102 /* a printer reached through a shared printer */
#define ZE_MODEL_CLASS_1 1201
#define ZE_MODEL_CLASS_2 1202

/* ---- Watermark --------------------------------------------------------- */

/*
 * Decodes a watermark without drawing it.
 *   base64Text  Base64 text of the image container; decoding stops at the
 *               first character outside the alphabet or after textLength.
 *   work        receives the container bytes: at least 3 * ceil(textLength/4).
 *   raster      receives the picture: at least the container's total length.
 *   textLength  the number of characters to decode (a negative one gives none).
 * Results:
 *   0     decoded
 *   2000  the container is unusable: a chunk above 30000 bytes, a chunk past
 *         the end of the input, a chunk that inflates to nothing, more bytes
 *         than the stated total, input shorter than two words, or a zlib error
 *   2002  the text gave no bytes
 *   2003  out of memory while decompressing
 *   2004  a negative chunk length
 *   2005  a total length below 1
 * On a failure, raster is left as it was. Not guarded.
 */
ZESEAL_API int32_t ZESEAL_CALL iZeWaterMarkData(const char* base64Text, uint8_t* work,
                                                uint8_t* raster, int32_t textLength);

/*
 * Decodes a watermark picture and copies it onto the page at (x, y) in 1/300
 * inch (x from the printable area's left edge plus 30; x = 0 means the edge).
 * Results: those of iZeWaterMarkData, and
 *   2000  also: the picture's depth is not 8 or 24 bits, its header asks for
 *         more pixels than the container delivered, the device is unknown,
 *         or drawing failed.
 * Not guarded.
 */
ZESEAL_API int32_t ZESEAL_CALL iZeWaterMark(HDC dc, const char* base64Text, uint8_t* work,
                                            uint8_t* raster, int32_t textLength,
                                            int32_t reserved1, int32_t reserved2, int32_t x,
                                            int32_t y);

/* ---- Water code -------------------------------------------------------- */

/*
 * Decodes a water code without drawing it. Arguments as iZeWaterMarkData.
 * Results: 0, and 3000, 3002, 3003, 3004, 3005 with the meanings of 2000 to
 * 2005 above. Guarded: a fault gives 3000.
 */
ZESEAL_API int32_t ZESEAL_CALL iZeWaterCodeData(const char* base64Text, uint8_t* work,
                                                uint8_t* raster, int32_t textLength);

/*
 * Decodes a water code and ANDs it onto the page at (x, y) in 1/300 inch.
 *   rasterBytes  the code's pixel bytes (width x rows); 0 means the layout's
 *                full width
 *   layout       1: 248 rows (1928 columns by default); any other: 128 rows
 *                (2528 columns by default)
 * Results: those of iZeWaterCodeData, and
 *   3000  also: rasterBytes is negative or more than the container delivered,
 *         the device is unknown, drawing failed, or a fault was caught.
 * Guarded.
 */
ZESEAL_API int32_t ZESEAL_CALL iZeWaterCode(HDC dc, const char* base64Text, uint8_t* work,
                                            uint8_t* raster, int32_t textLength,
                                            int32_t reserved, int32_t rasterBytes, int32_t x,
                                            int32_t y, int32_t layout);

/* ---- Copy-detection pattern ------------------------------------------- */

/* Stores the size in bytes of the pattern image (a BMP file) in *size.
 * Results: 0. Not guarded. */
ZESEAL_API int32_t ZESEAL_CALL iZeCopyDetectorSize(int32_t* size);

/* Builds the pattern of a printer model as a BMP file image in out (of the
 * size iZeCopyDetectorSize gives; 140470 bytes are written). kind 1101 looks
 * the model up by name (cut to 258 characters at 260 or more); any other kind
 * uses the network printer's pattern. A model without a record of its own
 * gets the DEFAULT record's plainer pattern.
 * Results: 0; 4000 not built (neither record, the supported-model file
 * missing or corrupt, no font), or a fault; out is then left as it was.
 * Guarded. */
ZESEAL_API int32_t ZESEAL_CALL iZeCopyDetectorData(const char* modelName, uint8_t* out,
                                                   int32_t kind);

/* ANDs a pattern image made by iZeCopyDetectorData onto the page at (x, y)
 * in 1/600 inch. The image's file-size field bounds what is read of it.
 * Results: 0; 4000 not drawn, or a fault. Guarded. */
ZESEAL_API int32_t ZESEAL_CALL iZeCopyDetector(HDC dc, int32_t reserved1,
                                               const uint8_t* bmpImage, int32_t x, int32_t y,
                                               int32_t reserved2, int32_t unused);

/* Builds a model's pattern and ANDs it onto the page at (x, y) in 1/600 inch.
 * Results: 0; 4000 not built or not drawn, or a fault. Guarded. */
ZESEAL_API int32_t ZESEAL_CALL iZeCopyDetectorPrint(HDC dc, const char* modelName, int32_t x,
                                                    int32_t y, int32_t kind, int32_t unused);

/* ---- Court logo -------------------------------------------------------- */

/* Results: always 4102 (arguments, if any, are ignored). Not guarded. */
ZESEAL_API int32_t ZESEAL_CALL iZeCourtLogoSize(void);

/* Results: always 0; nothing changes. Not guarded. */
ZESEAL_API int32_t ZESEAL_CALL iZeCourtLogoData(void);

/* ANDs a caller's BMP file image of imageLength bytes onto the page at (x, y)
 * in 1/72 inch, from a private copy. The rows are taken from the fixed offset
 * of the picture's depth (54 for 24 bits, 1078 for 8, 62 for others).
 * Results: 0; 4100 not drawn (the headers, colours or rows reach past
 * imageLength, or the picture is not 1, 4, 8 or 24 bits uncompressed), or a
 * fault. Guarded. */
ZESEAL_API int32_t ZESEAL_CALL iZeCourtLogo(HDC dc, const uint8_t* bmpImage, int32_t imageLength,
                                            int32_t reserved1, int32_t reserved2, int32_t x,
                                            int32_t y);

/* As iZeCourtLogo, for a BMP file image without a stated length, drawn from
 * the caller's buffer (which is not changed): the file-size field bounds it.
 * Results: 0; 4100 not drawn, or a fault. Guarded. */
ZESEAL_API int32_t ZESEAL_CALL iZeCourtLogoAddVista(HDC dc, const uint8_t* bmpImage,
                                                    int32_t reserved1, int32_t reserved2,
                                                    int32_t reserved3, int32_t x, int32_t y);

/* ANDs the installed logo of a model class onto the page at (x, y) in 1/72
 * inch: the file "court_ink" in the system directory for 1201, "court_laser"
 * for any other class, drawn from the pixel offset its header stores.
 * Results: 0; 4100 the file is missing, not a whole BMP file ("BM" and a size
 * field equal to its size) or not a drawable picture, the drawing failed, or
 * a fault. Guarded. */
ZESEAL_API int32_t ZESEAL_CALL iZeCourtLogoPrint(HDC dc, int32_t model, int32_t reserved1,
                                                 int32_t reserved2, int32_t x, int32_t y);

/* ---- Printer status and jobs ------------------------------------------- */

/* Tells whether a printer is ready to print.
 * Results: 0 ready; 5000 to 5024 a printer condition; 5030 to 5037 a condition
 * of a printing job; 9999 the printer cannot be opened, or a fault. A printer
 * whose state the spooler cannot tell counts as ready.
 * Guarded. */
ZESEAL_API int32_t ZESEAL_CALL iZePrinterStatus(const char* printerName);

/* Counts a printer's jobs whose document name matches documentFilter ("ALL"
 * matches every job) and stores the count in *count.
 * Results: 0 jobs found; 1004 none found, or the job list not readable;
 * 9999 the printer cannot be opened or its record read, or a fault. The
 * count is stored with 0 and 1004 when the jobs were read. Guarded. */
ZESEAL_API int32_t ZESEAL_CALL iGetZePrinterJob(const char* printerName,
                                                const char* documentFilter, int32_t* count);

/* ---- Printer settings -------------------------------------------------- */

/* Sets a printer's spooling mode, one copy and its data type.
 * Results: 0 written, or already in the requested state; 1003 not applied,
 * or a fault. Guarded. */
ZESEAL_API int32_t ZESEAL_CALL iZePrinterSet(const char* printerName, int32_t mode);

/* ---- Printer queries --------------------------------------------------- */

/* Tells whether the default printer is local and able to issue.
 * Results: 0 able; 1000 no local printer; 1001 otherwise, or a fault.
 * Guarded. */
ZESEAL_API int32_t ZESEAL_CALL iGetZeDefaultPrinter(void);

/* Tells whether any local printer is able to issue.
 * Results: 0 at least one; 1000 no local printer; 1001 otherwise, or a fault.
 * Guarded. */
ZESEAL_API int32_t ZESEAL_CALL iGetZePrinter(void);

/* Copies the port of a local printer into portOut.
 * Results: 0 copied, or no local printer has that name (portOut unchanged);
 * otherwise the size needed (the port's length + 1) when it does not fit in
 * portOutSize bytes (nothing copied). Not guarded. */
ZESEAL_API int32_t ZESEAL_CALL iGetZePrinterPort(const char* printerName, char* portOut,
                                                 int32_t portOutSize);

/* ---- Printer list ------------------------------------------------------ */

/* Lets the user choose a printer in the list dialog and checks the choice.
 * nameOut and driverOut receive up to 259 characters (260-byte buffers);
 * kindOut receives 1101 or 1102, modelOut 1201, 1202 or 0; option 0 hides the
 * dialog's extra buttons.
 * Results: 70000 confirmed, driver in the court list; 80000 confirmed, driver
 * not in it; 60004 confirmed, court list unreadable; 1005 not confirmed;
 * 1000 no printer; 1008 the chosen printer is unable to issue; 9999 a fault.
 * Guarded. */
ZESEAL_API int32_t ZESEAL_CALL iGetZePrinterList(HWND parent, char* nameOut, char* driverOut,
                                                 int32_t* kindOut, int32_t* modelOut,
                                                 int32_t option);

/* Shows one of three printer-list dialogs, chosen by mode.
 * Results: mode 1: 0 when the dialog closes; mode 2: 0 confirmed, else 1005;
 * mode 3: 0 confirmed with the outputs filled, else 1005; any other mode: -1;
 * 1000 no printer; 9999 a fault. Guarded. */
ZESEAL_API int32_t ZESEAL_CALL iGetZePrinterListChk(HWND parent, char* nameOut,
                                                    char* driverOut, int32_t* kindOut,
                                                    int32_t* modelOut, int32_t mode);

/* ---- Test page --------------------------------------------------------- */

/* Prints a test page with a frame, a caption, a dense code and the copy-
 * detection pattern of detectorName on printerName.
 * Results: 0 the call ran to its end; 1006 kind 1101 and the printer settings
 * failed (nothing printed). Not guarded. */
ZESEAL_API int32_t ZESEAL_CALL iZeTestPrinting(const char* printerName, const char* detectorName,
                                               const char* caption, int32_t kind,
                                               int32_t orientation);

#ifdef __cplusplus
}
#endif

#endif /* ZESEAL_ZESEAL_H */
