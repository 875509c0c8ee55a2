// The fault frame on Windows. GCC has no __try/__except, so a vectored
// exception handler, registered once, watches for processor faults. A fault
// raised while the thread is inside a guarded body resumes at a landing
// function that jumps back to the frame; everything else passes on to the
// next handler unchanged.
#include <windows.h>

#include "frame/fault_frame.h"
#include "frame/frame_heap.h"
#include "platform/win32/fault_guard_win32.h"

namespace zeseal::frame {
namespace {

struct Guard {
    void* landing[5];  // __builtin_setjmp buffer
    Guard* outer = nullptr;
    volatile LONG armed = 0;
    volatile bool faulted = false;
#if defined(_M_IX86) || defined(__i386__)
    void* sehChain = nullptr;  // the frame's SEH list head, restored on landing
#endif
};

thread_local Guard* activeGuard = nullptr;

bool IsProcessorFault(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
        return true;
    default:
        return false;
    }
}

[[noreturn]] __attribute__((noinline)) void Land() {
    Guard* guard = activeGuard;
#if defined(_M_IX86) || defined(__i386__)
    // Drop the SEH records of the abandoned frames.
    __asm__ volatile("movl %0, %%fs:0" : : "r"(guard->sehChain) : "memory");
#endif
    __builtin_longjmp(guard->landing, 1);
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
    // Every exception of every thread passes here, C++ throws among them:
    // the code is tested first, so the thread-local guard is only looked at
    // for processor faults.
    if (!IsProcessorFault(info->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
    Guard* guard = activeGuard;
    if (guard == nullptr || guard->armed == 0) return EXCEPTION_CONTINUE_SEARCH;
    guard->armed = 0;
    CONTEXT* c = info->ContextRecord;
    // Resume in Land() on a fresh, aligned part of the faulting stack, as
    // if it had been called.
#if defined(_M_X64) || defined(__x86_64__)
    c->Rsp = ((c->Rsp - 512) & ~DWORD64{15}) - 8;
    c->Rip = reinterpret_cast<DWORD64>(&Land);
#else
    c->Esp = ((c->Esp - 512) & ~DWORD{15}) - 4;
    c->Eip = reinterpret_cast<DWORD>(&Land);
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
}

__attribute__((noinline)) std::int32_t RunArmed(Guard& guard, std::int32_t faultCode,
                                                GuardedBody body, void* context) {
    if (__builtin_setjmp(guard.landing) != 0) {
        guard.faulted = true;
        return faultCode;
    }
    guard.armed = 1;
    std::int32_t result;
    try {
        result = body(context);
    } catch (...) {
        result = faultCode;
    }
    guard.armed = 0;
    return result;
}

PVOID volatile installedHandler = nullptr;

}  // namespace

void InstallFaultHandler() noexcept {
    if (installedHandler != nullptr) return;
    PVOID handler = AddVectoredExceptionHandler(1, &OnException);
    if (handler == nullptr) return;
    // Two threads may race here: the loser takes its own handler out again.
    if (InterlockedCompareExchangePointer(&installedHandler, handler, nullptr) != nullptr) {
        RemoveVectoredExceptionHandler(handler);
    }
}

void RemoveFaultHandler() noexcept {
    PVOID handler = InterlockedExchangePointer(&installedHandler, nullptr);
    if (handler != nullptr) RemoveVectoredExceptionHandler(handler);
}

std::int32_t RunGuarded(std::int32_t faultCode, GuardedBody body, void* context) noexcept {
    InstallFaultHandler();
    Guard guard;
    guard.outer = activeGuard;
#if defined(_M_IX86) || defined(__i386__)
    __asm__ volatile("movl %%fs:0, %0" : "=r"(guard.sehChain));
#endif
    BlockCollector collector;
    activeGuard = &guard;
    const std::int32_t result = RunArmed(guard, faultCode, body, context);
    activeGuard = guard.outer;
    if (guard.faulted) collector.ReleaseAll();
    return result;
}

}  // namespace zeseal::frame
