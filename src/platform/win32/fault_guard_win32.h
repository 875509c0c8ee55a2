// The vectored exception handler behind the fault frame on Windows. The
// library's entry point installs it when the DLL is loaded and removes it
// when the DLL is unloaded, so no handler is left pointing into unmapped
// code; a guarded call installs it too, for programs that link the library
// statically.
#pragma once

namespace zeseal::frame {

// Installs the handler once; later calls do nothing.
void InstallFaultHandler() noexcept;

// Removes the handler, if installed.
void RemoveFaultHandler() noexcept;

}  // namespace zeseal::frame
