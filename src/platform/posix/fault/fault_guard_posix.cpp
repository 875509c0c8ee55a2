// The fault frame on POSIX: a processor fault (SIGSEGV, SIGBUS, SIGILL or
// SIGFPE) raised inside a guarded body jumps back to the frame, which frees
// the body's heap blocks and returns the export's code. Signals outside a
// guarded body go to the handlers the process had before, so the host's own
// crash handling is untouched.
#include <setjmp.h>
#include <signal.h>

#include <cstddef>
#include <mutex>

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
struct sigaction previousAction[kGuardedCount];
std::mutex installMutex;

void OnFault(int signal, siginfo_t* info, void* context);

std::size_t SlotOf(int signal) {
    std::size_t slot = 0;
    while (slot + 1 < kGuardedCount && kGuardedSignals[slot] != signal) ++slot;
    return slot;
}

void PassOn(int signal, siginfo_t* info, void* context) {
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
    // Default action: end the process as the fault would have without us.
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

void OnFault(int signal, siginfo_t* info, void* context) {
    Guard* guard = activeGuard;
    if (guard != nullptr && guard->armed != 0) {
        guard->armed = 0;
        siglongjmp(guard->landing, 1);
    }
    PassOn(signal, info, context);
}

// Puts our handler in front of whatever the process has now. Checked on
// every guarded call, so a host that installs its own handlers later still
// gets the frame, and its handlers receive every fault outside the frame.
void EnsureHandlers() {
    std::lock_guard lock(installMutex);
    for (const int signal : kGuardedSignals) {
        struct sigaction current = {};
        sigaction(signal, nullptr, &current);
        if ((current.sa_flags & SA_SIGINFO) != 0 && current.sa_sigaction == &OnFault) continue;
        struct sigaction ours = {};
        ours.sa_sigaction = &OnFault;
        ours.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&ours.sa_mask);
        if (sigaction(signal, &ours, &previousAction[SlotOf(signal)]) != 0) continue;
    }
}

}  // namespace

std::int32_t RunGuarded(std::int32_t faultCode, GuardedBody body, void* context) noexcept {
    try {
        EnsureHandlers();
    } catch (...) {
        return faultCode;
    }
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
