/*
 * zeseal_posix.h - the host interface of the POSIX build.
 *
 * On POSIX there is no GDI: a "page" created here stands in for a printer
 * device context. It is a white 24-bit RGB raster with a size in device
 * pixels and a resolution in dots per inch. Every zeseal.h function that
 * takes an HDC accepts such a page and validates it on every use.
 *
 * A page may be used from any thread, but not from two threads at once.
 */
#ifndef ZESEAL_ZESEAL_POSIX_H
#define ZESEAL_ZESEAL_POSIX_H

#include <zeseal/zeseal.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Creates a white page of widthPx x heightPx device pixels at dpiX x dpiY dots
 * per inch. Returns NULL for a size below 1 or above 20000 pixels, a
 * resolution outside 1 to 9600, or when memory runs out. */
ZESEAL_API HDC ZESEAL_CALL iZeHostPageCreate(int32_t widthPx, int32_t heightPx, int32_t dpiX,
                                             int32_t dpiY);

/* Copies the page into rgbOut as top-down rows of 3 x width bytes (red,
 * green, blue), without padding. Returns the number of bytes written; the
 * negative number of bytes needed when outSize is too small (nothing is
 * written); 0 for an unknown page or a NULL rgbOut with a positive size. */
ZESEAL_API int32_t ZESEAL_CALL iZeHostPageRead(HDC page, uint8_t* rgbOut, int32_t outSize);

/* Saves the page as an 8-bit RGB PNG with its resolution. The file appears
 * whole or not at all (it is written to a temporary file, then renamed).
 * Returns 0 on success, -1 for an unknown page or a NULL path, -2 when the
 * file cannot be written. */
ZESEAL_API int32_t ZESEAL_CALL iZeHostPageSavePng(HDC page, const char* path);

/* Destroys a page. Returns 0, or -1 for an unknown page. A destroyed page is
 * unknown to every function afterwards. */
ZESEAL_API int32_t ZESEAL_CALL iZeHostPageDestroy(HDC page);

/* Chooses the system directory: where the library finds the supported-model
 * file, the court printer list and the court-logo files. Without this call
 * (or after a call with NULL or ""), the directory is the environment
 * variable ZESEAL_SYSTEM_DIR, or else the one built into the library (under
 * the install prefix: share/zeseal/system). Returns 0, or -1 when dir is not
 * an existing directory (the choice is then unchanged). */
ZESEAL_API int32_t ZESEAL_CALL iZeHostSetSystemDirectory(const char* dir);

/* Chooses the virtual spooler's printers file: a text file that lists the
 * printers (name, port, driver, status, attributes, settings, paper,
 * resolution and queued jobs), the default printer and the folder where
 * printed pages land as PNG files (job-<id>-page-<n>.png). Without this call
 * (or after a call with NULL or ""), the file is the environment variable
 * ZESEAL_PRINTERS, or none: then there are no printers. Changes of settings
 * are written back to the file atomically, under an advisory lock.
 * Returns 0 when the file reads and parses, -1 when it cannot be read, -2
 * when it is malformed. The choice is made in every case; a file that
 * cannot be used has no printers, and the line and reason of the problem go
 * to the diagnostic stream (ZESEAL_DIAGNOSTICS). */
ZESEAL_API int32_t ZESEAL_CALL iZeHostUseVirtualSpooler(const char* printersFile);

/* Sets the dialog script that answers the printer-list dialogs in place of
 * a person, for tests and unattended hosts. Commands are separated by ";" or
 * line ends, "#" starts a comment, rows are numbered from 1:
 *   click N    a mouse click on row N      select N  the keyboard moves to row N
 *   up, down   one arrow key               press ID  a button or command id
 *   escape     the cancel command (Escape; "close" does the same)
 *   enter      the default button
 * Example: "click 2; press 1035". Each dialog takes commands until it ends
 * and leaves the rest to the next dialog; a dialog left without ending ends
 * as one that could not be created (-1). Without a script the dialogs are
 * shown at the terminal when standard input and output are one, and are
 * otherwise not created. NULL or "" removes the script.
 * Returns 0, or -1 when the script does not parse (it is then unchanged; the
 * reason goes to the diagnostic stream). */
ZESEAL_API int32_t ZESEAL_CALL iZeHostSetDialogScript(const char* script);

/* Chooses a CUPS scheduler as the spooler: its queues become the printers.
 * server is a host name, "host:port" or the path of the scheduler's local
 * socket; NULL or "" is the client's default server (CUPS_SERVER or the
 * client configuration). Until this call the virtual spooler is used; a
 * later iZeHostUseVirtualSpooler returns to it. Returns 0 when the scheduler
 * answers, -1 when it cannot be reached (the choice is made in every case:
 * then there are no printers until it answers). */
ZESEAL_API int32_t ZESEAL_CALL iZeHostUseCupsSpooler(const char* server);

#ifdef __cplusplus
}
#endif

#endif /* ZESEAL_ZESEAL_POSIX_H */
