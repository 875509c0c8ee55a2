// How a CUPS queue's attributes read as the spooler seam's Win32 values: the
// port name derived from the device URI, and the printer and job status
// words derived from the IPP states and their reasons.
//
// Kept free of the CUPS headers so that the tables can be tested without a
// scheduler.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zeseal::platform::posix {

// The Windows-style port name of a queue's device-uri:
//   parallel:/dev/lp0 .. lpN     -> "LPT1:" .. (N+1)
//   serial:/dev/ttyS0 ..         -> "COM1:" ..
//   usb://...                    -> "USB001"
//   socket://HOST[:PORT]         -> "HOST"           (a TCP/IP port is named by its host)
//   lpd://HOST/QUEUE             -> "HOST"           (an LPR port, by its host too)
//   ipp(s)://HOST/printers/Q,
//   ipp(s)://HOST/classes/Q      -> "\\HOST\Q"       (a queue another server shares)
//   ipp(s)/http(s)://HOST/...    -> "HOST"           (a network printer's own IPP service)
//   dnssd://NAME._ipp._tcp...    -> "\\NAME"         (a shared printer found by name)
//   smb://HOST/SHARE             -> "\\HOST\SHARE"
//   file:PATH                    -> "FILE:"
//   anything else                -> the URI itself
// A URI that carries user information loses it: "user:secret@" never
// becomes part of the port.
std::string PortFromDeviceUri(std::string_view deviceUri);

// The queue a destination names. A destination may carry an instance after
// a slash ("office/draft", as lpoptions -d, LPDEST or PRINTER give it); the
// instance is a set of saved options of the queue, not a queue of its own.
std::string QueueOfDestination(std::string_view destination);

// IPP status codes the backend tells apart.
inline constexpr int kIppStatusOk = 0x0000;
inline constexpr int kIppStatusOkEventsComplete = 0x0007;  // the last successful code
inline constexpr int kIppStatusForbidden = 0x0401;
inline constexpr int kIppStatusNotAuthenticated = 0x0402;
inline constexpr int kIppStatusNotAuthorized = 0x0403;
inline constexpr int kIppStatusNotFound = 0x0406;
inline constexpr int kIppStatusAuthenticationCanceled = 0x1000;  // no password was given

// The system error code of an IPP request's status: 0 when the scheduler
// answered it, kErrorInvalidPrinterName for an unknown queue,
// kErrorAccessDenied when it wants a login or refuses the user, and
// kErrorGenFailure for anything else.
std::uint32_t ErrorOfIppStatus(int ippStatus);

// IPP printer-state values.
inline constexpr int kIppPrinterIdle = 3;
inline constexpr int kIppPrinterProcessing = 4;
inline constexpr int kIppPrinterStopped = 5;

// IPP job-state values.
inline constexpr int kIppJobPending = 3;
inline constexpr int kIppJobHeld = 4;
inline constexpr int kIppJobProcessing = 5;
inline constexpr int kIppJobStopped = 6;
inline constexpr int kIppJobCanceled = 7;
inline constexpr int kIppJobAborted = 8;
inline constexpr int kIppJobCompleted = 9;

// One printer-state-reasons or job-state-reasons keyword and the status bits
// it sets. A reason matches as it is, or without its "-error", "-warning"
// or "-report" suffix.
struct ReasonBits {
    const char* keyword;
    std::uint32_t bits;
};

std::span<const ReasonBits> PrinterReasonTable();
std::span<const ReasonBits> JobReasonTable();

// The PRINTER_INFO_2 Status word of a printer-state and its reasons.
std::uint32_t PrinterStatusFromCups(int printerState, std::span<const std::string> reasons);

// The JOB_INFO Status word of a job-state and its reasons.
std::uint32_t JobStatusFromCups(int jobState, std::span<const std::string> reasons);

}  // namespace zeseal::platform::posix
