// The fault frame's signal handlers among the host's own: installed once,
// never chained to themselves, and taken out when the shared library is
// unloaded. Each case runs in a child process started afresh
// ("threadsafe" death tests), so it begins with no handler of ours in place.
#include <zeseal/zeseal.h>

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <setjmp.h>
#include <signal.h>
#include <unistd.h>

#include <cstdint>

#include "frame/fault_frame.h"

namespace zeseal::frame {
namespace {

volatile std::uintptr_t badAddress = 0x10;
void Fault() { *reinterpret_cast<volatile int*>(badAddress) = 1; }

void Install(void (*handler)(int, siginfo_t*, void*), struct sigaction* replaced = nullptr) {
    struct sigaction action = {};
    action.sa_sigaction = handler;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(SIGSEGV, &action, replaced);
}

void ExitWith42(int, siginfo_t*, void*) { _exit(42); }

// A host handler installed after the library's, passing every signal on to
// the handler it replaced, as hosts do. Entered twice for one fault, the
// handlers call each other in a loop.
struct sigaction replacedByHost;
volatile sig_atomic_t hostCalls = 0;
void PassingHost(int signal, siginfo_t* info, void* context) {
    hostCalls = hostCalls + 1;
    if (hostCalls > 1) _exit(3);
    replacedByHost.sa_sigaction(signal, info, context);
}

class FaultHandlers : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(FaultHandlers, AHostHandlerThatPassesOnNeverLeadsBackToItself) {
    EXPECT_EXIT(
        {
            Install(&ExitWith42);
            Guarded(0, [] { return 0; });  // the frame's handler goes in front
            Install(&PassingHost, &replacedByHost);
            // The frame still catches inside, through the host's handler.
            if (Guarded(5, [] {
                    Fault();
                    return 0;
                }) != 5) {
                _exit(1);
            }
            if (Guarded(0, [] { return 0; }) != 0) _exit(2);
            hostCalls = 0;
            Fault();  // host, frame, then the first handler: once each
        },
        ::testing::ExitedWithCode(42), "");
}

sigjmp_buf hostLanding;
void RecoverInHost(int, siginfo_t*, void*) { siglongjmp(hostLanding, 1); }

TEST_F(FaultHandlers, AfterUnloadingTheLibraryTheHostRecoversItsOwnFaults) {
    EXPECT_EXIT(
        {
            Install(&RecoverInHost);
            void* library = dlopen(ZESEAL_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
            if (library == nullptr) _exit(10);
            using PrinterStatus = std::int32_t (*)(const char*);
            const auto status = reinterpret_cast<PrinterStatus>(dlsym(library, "iZePrinterStatus"));
            // A guarded call that catches a fault: the library's handlers are in.
            if (status == nullptr || status(reinterpret_cast<const char*>(badAddress)) != ZE_FAULT) {
                _exit(11);
            }
            dlclose(library);
            // Unmapped, or the case proves nothing.
            if (dlopen(ZESEAL_SHARED_LIBRARY, RTLD_NOW | RTLD_NOLOAD) != nullptr) _exit(12);
            if (sigsetjmp(hostLanding, 1) == 0) {
                Fault();
                _exit(13);
            }
            _exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace zeseal::frame
