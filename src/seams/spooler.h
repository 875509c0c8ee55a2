// The print spooler as the printer code sees it: the local printers, one
// open printer's level-2 record and jobs, its driver's handling of the device
// mode, and documents whose pages are page devices.
//
// The printer code is written once against this interface. Each backend
// turns it into its own calls (winspool on Windows; on POSIX the virtual
// spooler of a text file, and later CUPS). Field and flag values are the
// Win32 ones, so the printer code tests the bits it always tested.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <zeseal/zeseal.h>

namespace zeseal::platform {

// Printer status bits (PRINTER_INFO_2 Status).
inline constexpr std::uint32_t kPrinterStatusPaused = 0x00000001;
inline constexpr std::uint32_t kPrinterStatusError = 0x00000002;
inline constexpr std::uint32_t kPrinterStatusPendingDeletion = 0x00000004;
inline constexpr std::uint32_t kPrinterStatusPaperJam = 0x00000008;
inline constexpr std::uint32_t kPrinterStatusPaperOut = 0x00000010;
inline constexpr std::uint32_t kPrinterStatusManualFeed = 0x00000020;
inline constexpr std::uint32_t kPrinterStatusPaperProblem = 0x00000040;
inline constexpr std::uint32_t kPrinterStatusOffline = 0x00000080;
inline constexpr std::uint32_t kPrinterStatusIoActive = 0x00000100;
inline constexpr std::uint32_t kPrinterStatusBusy = 0x00000200;
inline constexpr std::uint32_t kPrinterStatusPrinting = 0x00000400;
inline constexpr std::uint32_t kPrinterStatusOutputBinFull = 0x00000800;
inline constexpr std::uint32_t kPrinterStatusNotAvailable = 0x00001000;
inline constexpr std::uint32_t kPrinterStatusWaiting = 0x00002000;
inline constexpr std::uint32_t kPrinterStatusProcessing = 0x00004000;
inline constexpr std::uint32_t kPrinterStatusInitializing = 0x00008000;
inline constexpr std::uint32_t kPrinterStatusWarmingUp = 0x00010000;
inline constexpr std::uint32_t kPrinterStatusTonerLow = 0x00020000;
inline constexpr std::uint32_t kPrinterStatusNoToner = 0x00040000;
inline constexpr std::uint32_t kPrinterStatusPagePunt = 0x00080000;
inline constexpr std::uint32_t kPrinterStatusUserIntervention = 0x00100000;
inline constexpr std::uint32_t kPrinterStatusOutOfMemory = 0x00200000;
inline constexpr std::uint32_t kPrinterStatusDoorOpen = 0x00400000;
inline constexpr std::uint32_t kPrinterStatusServerUnknown = 0x00800000;
inline constexpr std::uint32_t kPrinterStatusPowerSave = 0x01000000;

// Printer attribute bits (PRINTER_INFO_2 Attributes).
inline constexpr std::uint32_t kPrinterAttributeQueued = 0x00000001;
inline constexpr std::uint32_t kPrinterAttributeDirect = 0x00000002;
inline constexpr std::uint32_t kPrinterAttributeDefault = 0x00000004;
inline constexpr std::uint32_t kPrinterAttributeShared = 0x00000008;
inline constexpr std::uint32_t kPrinterAttributeNetwork = 0x00000010;
inline constexpr std::uint32_t kPrinterAttributeHidden = 0x00000020;
inline constexpr std::uint32_t kPrinterAttributeLocal = 0x00000040;
inline constexpr std::uint32_t kPrinterAttributeEnableDevq = 0x00000080;
inline constexpr std::uint32_t kPrinterAttributeKeepPrintedJobs = 0x00000100;
inline constexpr std::uint32_t kPrinterAttributeDoCompleteFirst = 0x00000200;
inline constexpr std::uint32_t kPrinterAttributeWorkOffline = 0x00000400;
inline constexpr std::uint32_t kPrinterAttributeEnableBidi = 0x00000800;
inline constexpr std::uint32_t kPrinterAttributeRawOnly = 0x00001000;
inline constexpr std::uint32_t kPrinterAttributePublished = 0x00002000;

// Job status bits (JOB_INFO_1/2 Status).
inline constexpr std::uint32_t kJobStatusPaused = 0x0001;
inline constexpr std::uint32_t kJobStatusError = 0x0002;
inline constexpr std::uint32_t kJobStatusDeleting = 0x0004;
inline constexpr std::uint32_t kJobStatusSpooling = 0x0008;
inline constexpr std::uint32_t kJobStatusPrinting = 0x0010;
inline constexpr std::uint32_t kJobStatusOffline = 0x0020;
inline constexpr std::uint32_t kJobStatusPaperOut = 0x0040;
inline constexpr std::uint32_t kJobStatusPrinted = 0x0080;
inline constexpr std::uint32_t kJobStatusDeleted = 0x0100;
inline constexpr std::uint32_t kJobStatusBlockedDevq = 0x0200;
inline constexpr std::uint32_t kJobStatusUserIntervention = 0x0400;
inline constexpr std::uint32_t kJobStatusRestart = 0x0800;
inline constexpr std::uint32_t kJobStatusComplete = 0x1000;
inline constexpr std::uint32_t kJobStatusRetained = 0x2000;

// DEVMODE field flags (dmFields).
inline constexpr std::uint32_t kDeviceModeOrientation = 0x00000001;
inline constexpr std::uint32_t kDeviceModeCopies = 0x00000100;

// DEVMODE orientations.
inline constexpr std::int16_t kOrientationPortrait = 1;
inline constexpr std::int16_t kOrientationLandscape = 2;

// System error codes that the backends report.
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorNotEnoughMemory = 8;
inline constexpr std::uint32_t kErrorGenFailure = 31;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorInvalidPrinterName = 1801;

// The part of a DEVMODE the library reads and changes, and the block it came
// from.
struct DeviceMode {
    std::uint32_t fields = kDeviceModeOrientation | kDeviceModeCopies;  // dmFields
    std::int16_t orientation = kOrientationPortrait;                     // dmOrientation
    std::int16_t copies = 1;                                             // dmCopies
    // The whole DEVMODE as the spooler or the driver last gave it, the
    // driver's private part included; empty when the backend keeps no such
    // block, or for a mode made up by the caller. A pass through the driver,
    // a write and a document start from this block with the three fields
    // above put in, so nothing else the driver set is lost.
    std::vector<std::uint8_t> block;
};

// A printer's level-2 record (PRINTER_INFO_2), the fields the library uses.
// A write never touches the printer's security (pSecurityDescriptor is none).
struct PrinterInfo {
    std::string name;
    std::string port;
    std::string driver;
    std::optional<std::string> dataType;      // pDatatype, none when missing
    std::optional<DeviceMode> deviceMode;     // pDevMode, none when missing
    std::uint32_t attributes = 0;
    std::uint32_t status = 0;
    std::uint32_t jobCount = 0;               // cJobs
};

// One queued job (JOB_INFO_1 and JOB_INFO_2 share what the library reads).
struct JobInfo {
    std::uint32_t id = 0;
    std::optional<std::string> document;      // pDocument, none when missing
    std::uint32_t status = 0;
};

// One enumerated local printer (PRINTER_ENUM_LOCAL, level 2).
struct LocalPrinter {
    std::string name;
    std::string port;  // may list several ports separated by ","
    std::string driver;
};

enum class PrinterAccess {
    kUse,   // default access: enough to read, list jobs and print
    kFull,  // PRINTER_ALL_ACCESS: needed to change the stored settings
};

// All jobs from the first one asked for (EnumJobs with a count of 0xFFFFFFFF).
inline constexpr std::uint32_t kAllJobs = 0xFFFFFFFFu;

// A document being printed. Each page is a device context at the printer's
// resolution whose size is the printer's paper (turned for landscape). A
// document destroyed before EndDocument is abandoned: nothing of it is kept.
class PrintDocument {
public:
    virtual ~PrintDocument() = default;
    // The spooler's id of the job that carries the document.
    virtual std::uint32_t JobId() const = 0;
    // Starts the next page. Returns its device context, valid until EndPage,
    // or nullptr when the page cannot be started.
    virtual HDC StartPage() = 0;
    // Ends the current page and hands it to the printer.
    virtual bool EndPage() = 0;
    // Ends the document; after true, its pages are printed.
    virtual bool EndDocument() = 0;
};

// A printer opened by name. Closed when destroyed.
class PrinterHandle {
public:
    virtual ~PrinterHandle() = default;

    // Reads the level-2 record.
    virtual bool ReadInfo(PrinterInfo& info) = 0;
    // Writes the record's data type, device mode and attributes back (level
    // 2, command 0); needs full access. The change lasts.
    virtual bool WriteInfo(const PrinterInfo& info) = 0;
    // Lists up to count jobs from the zero-based position firstJob, in the
    // spooler's order.
    virtual bool ListJobs(std::uint32_t firstJob, std::uint32_t count,
                          std::vector<JobInfo>& jobs) = 0;
    // The driver's current device mode (DocumentProperties, DM_OUT_BUFFER).
    virtual bool CurrentDeviceMode(DeviceMode& mode) = 0;
    // Passes a device mode through the driver, which may correct it in place
    // (DocumentProperties, DM_IN_BUFFER | DM_OUT_BUFFER, one block as input
    // and output). False when the driver refuses it; the mode is then as it
    // was.
    virtual bool PassThroughDriver(DeviceMode& mode) = 0;
    // Starts a document printed with the given device mode as it is (it is
    // not passed through the driver again); winspool gets it with the data
    // type RAW. Returns nullptr when the spooler refuses it.
    virtual std::unique_ptr<PrintDocument> StartDocument(std::string_view documentName,
                                                         const DeviceMode& mode) = 0;
    // The system error code of the last failed call on this printer.
    virtual std::uint32_t LastError() const = 0;
};

class Spooler {
public:
    virtual ~Spooler() = default;

    // The local printers in a stable order. False when they cannot be listed.
    virtual bool ListLocalPrinters(std::vector<LocalPrinter>& printers) = 0;
    // Opens a printer by name. On failure returns nullptr and sets error to
    // the system error code (kErrorInvalidPrinterName for an unknown name,
    // kErrorAccessDenied when the access is not granted).
    virtual std::unique_ptr<PrinterHandle> Open(std::string_view name, PrinterAccess access,
                                                std::uint32_t& error) = 0;
};

// The spooler this process prints through.
Spooler& ActiveSpooler();

}  // namespace zeseal::platform
