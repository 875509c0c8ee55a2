// The library's entry point: it succeeds for every reason, and installs the
// fault frame's exception handler on load and removes it on unload. It opens
// nothing else.
#include <windows.h>

#include "platform/win32/fault_guard_win32.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) zeseal::frame::InstallFaultHandler();
    // At process exit (reserved set) nothing more runs; on FreeLibrary the
    // handler must not outlive the code it points to.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) zeseal::frame::RemoveFaultHandler();
    return TRUE;
}
