// The shared library's unload on POSIX: the fault frame's signal handlers
// must not outlive the code they point to, so a host that unloads the
// library (dlclose) keeps its own handlers for the faults that follow. Only
// libzeseal.so carries this; a program that links the library in keeps the
// handlers to its end.
#include "platform/posix/fault/fault_guard_posix.h"

namespace {

__attribute__((destructor)) void TakeOutFaultHandlers() { zeseal::frame::RemoveFaultHandlers(); }

}  // namespace
