// The signal handlers behind the fault frame on POSIX. The first guarded
// call installs them, once per copy of the library, and records the
// handlers they replace; those receive every fault raised outside a guarded
// body. The shared library takes its handlers out again when it is unloaded
// (where they are still the installed ones), so no handler is left pointing
// into unmapped code.
//
// A host that installs its own handler for SIGSEGV, SIGBUS, SIGILL or SIGFPE
// after the library's first guarded call replaces the frame's: the library
// never puts itself back in front. Such a handler should pass on the signals
// it does not handle to the handler it replaced, as is usual; the frame then
// still catches the faults of guarded bodies, and the host keeps the first
// word on everything.
#pragma once

namespace zeseal::frame {

// Installs the handlers once; later calls do nothing.
void InstallFaultHandlers() noexcept;

// Puts back the handlers found at installation, for each signal whose
// handler is still the frame's own. For the library's unload.
void RemoveFaultHandlers() noexcept;

}  // namespace zeseal::frame
