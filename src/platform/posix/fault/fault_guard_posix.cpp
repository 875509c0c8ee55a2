// The fault frame on POSIX: a processor fault (SIGSEGV, SIGBUS, SIGILL or
// SIGFPE) raised inside a guarded body jumps back to the frame, which
// releases what the body held (frame heap blocks, frame locks) and returns
// the export's code. Signals outside a guarded body go to the handlers the
// process had before, so the host's own crash handling is untouched.
#include "platform/posix/fault/fault_guard_posix.h"

#include <setjmp.h>
#include <signal.h>

#include <atomic>
#include <cstddef>

#include "frame/fault_frame.h"
#include "frame/frame_heap.h"

namespace zeseal::frame {
namespace {

struct Guard {
    sigjmp_buf landing;
    Guard* outer = nullptr;
    volatile sig_atomic_t armed = 0;
};

thread_local Guard* activeGuard = nullptr;

constexpr int kGuardedSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE};
constexpr std::size_t kGuardedCount = sizeof kGuardedSignals / sizeof kGuardedSignals[0];

// The handlers found at installation. Written once, before any of ours is
// installed, and published by previousRecorded: a handler running on any
// thread reads them only after seeing the flag.
struct sigaction previousAction[kGuardedCount];
std::atomic<bool> previousRecorded{false};
// Which signals carry our handler because we put it there.
std::atomic<bool> installedHere[kGuardedCount];

void OnFault(int signal, siginfo_t* info, void* context);

std::size_t SlotOf(int signal) {
    std::size_t slot = 0;
    while (slot + 1 < kGuardedCount && kGuardedSignals[slot] != signal) ++slot;
    return slot;
}

bool IsOurs(const struct sigaction& action) {
    return (action.sa_flags & SA_SIGINFO) != 0 && action.sa_sigaction == &OnFault;
}

// Ends the process as the fault would have without us: the default action
// takes the signal raised here once the handler returns.
void EndAsWithoutUs(int signal) {
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

void PassOn(int signal, siginfo_t* info, void* context) {
    if (!previousRecorded.load(std::memory_order_acquire)) {
        EndAsWithoutUs(signal);
        return;
    }
    const struct sigaction& previous = previousAction[SlotOf(signal)];
    if ((previous.sa_flags & SA_SIGINFO) != 0 && previous.sa_sigaction != nullptr) {
        previous.sa_sigaction(signal, info, context);
        return;
    }
    if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN &&
        previous.sa_handler != nullptr) {
        previous.sa_handler(signal);
        return;
    }
    EndAsWithoutUs(signal);
}

void OnFault(int signal, siginfo_t* info, void* context) {
    Guard* guard = activeGuard;
    if (guard != nullptr && guard->armed != 0) {
        guard->armed = 0;
        siglongjmp(guard->landing, 1);
    }
    PassOn(signal, info, context);
}

void Install() noexcept {
    // Every previous handler is recorded before the first of ours can run.
    for (const int signal : kGuardedSignals) {
        struct sigaction& previous = previousAction[SlotOf(signal)];
        if (sigaction(signal, nullptr, &previous) != 0 || IsOurs(previous)) {
            previous = {};
            previous.sa_handler = SIG_DFL;
        }
    }
    previousRecorded.store(true, std::memory_order_release);
    for (const int signal : kGuardedSignals) {
        struct sigaction ours = {};
        ours.sa_sigaction = &OnFault;
        ours.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&ours.sa_mask);
        if (sigaction(signal, &ours, nullptr) == 0) {
            installedHere[SlotOf(signal)].store(true, std::memory_order_release);
        }
    }
}

}  // namespace

void InstallFaultHandlers() noexcept {
    // Once: a handler installed later by the host stays in front, and ours
    // is never recorded as the one it replaced.
    static const bool installed = (Install(), true);
    (void)installed;
}

void RemoveFaultHandlers() noexcept {
    for (const int signal : kGuardedSignals) {
        const std::size_t slot = SlotOf(signal);
        if (!installedHere[slot].exchange(false, std::memory_order_acq_rel)) continue;
        // A host handler installed after ours may lead back here; it is the
        // host's to take out before unloading the library.
        struct sigaction current = {};
        if (sigaction(signal, nullptr, &current) != 0 || !IsOurs(current)) continue;
        sigaction(signal, &previousAction[slot], nullptr);
    }
}

std::int32_t RunGuarded(std::int32_t faultCode, GuardedBody body, void* context) noexcept {
    InstallFaultHandlers();
    Guard guard;
    guard.outer = activeGuard;
    BlockCollector collector;
    if (sigsetjmp(guard.landing, 1) != 0) {
        activeGuard = guard.outer;
        collector.ReleaseAll();
        return faultCode;
    }
    activeGuard = &guard;
    guard.armed = 1;
    std::int32_t result;
    try {
        result = body(context);
    } catch (...) {
        result = faultCode;
    }
    guard.armed = 0;
    activeGuard = guard.outer;
    return result;
}

}  // namespace zeseal::frame
