#include "frame/fault_frame.h"

#include <zeseal/zeseal.h>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>

#include <atomic>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "frame/frame_heap.h"
#include "support/test_pages.h"

namespace zeseal::frame {
namespace {

// An address that faults. Read through a volatile so the compiler cannot
// see the constant and reject the access at build time.
volatile std::uintptr_t badAddress = 0x10;
template <class T = std::uint8_t>
T* BadPointer() {
    return reinterpret_cast<T*>(badAddress);
}

// One processor fault of each kind the frame guards against.
void TouchBadAddress() { *BadPointer<volatile int>() = 1; }

void ExecuteIllegalInstruction() {
#if defined(__x86_64__) || defined(__i386__)
    __asm__ volatile("ud2");
#else
    raise(SIGILL);
#endif
}

void DivideByZero() {
#if defined(__x86_64__) || defined(__i386__)
    // In assembly: a division by zero in C++ is undefined, and the sanitizer
    // build would stop at it.
    const int zero = 0;
    __asm__ volatile("movl $1, %%eax\n\tcltd\n\tidivl %0" : : "r"(zero) : "eax", "edx", "cc");
#else
    raise(SIGFPE);
#endif
}

// A page mapped over an empty file: reading it raises SIGBUS.
volatile std::uint8_t* pastTheFile = nullptr;
void ReadPastAMappedFile() { (void)*pastTheFile; }

struct ProcessorFault {
    const char* name;
    int signal;
    void (*raise)();
};
constexpr ProcessorFault kProcessorFaults[] = {
    {"SIGSEGV", SIGSEGV, &TouchBadAddress},
    {"SIGBUS", SIGBUS, &ReadPastAMappedFile},
    {"SIGILL", SIGILL, &ExecuteIllegalInstruction},
    {"SIGFPE", SIGFPE, &DivideByZero},
};

class ProcessorFaults : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        file_ = std::tmpfile();
        ASSERT_NE(file_, nullptr);
        void* page = mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fileno(file_), 0);
        ASSERT_NE(page, MAP_FAILED);
        pastTheFile = static_cast<volatile std::uint8_t*>(page);
    }
    static void TearDownTestSuite() {
        if (pastTheFile != nullptr) munmap(const_cast<std::uint8_t*>(pastTheFile), 4096);
        pastTheFile = nullptr;
        if (file_ != nullptr) std::fclose(file_);
        file_ = nullptr;
    }
    static std::FILE* file_;
};
std::FILE* ProcessorFaults::file_ = nullptr;

TEST_F(ProcessorFaults, EachKindInsideAFrameGivesTheCodeAndLeavesTheFrameSound) {
    for (const ProcessorFault& fault : kProcessorFaults) {
        for (int round = 0; round < 3; ++round) {
            EXPECT_EQ(Guarded(77, [&] {
                          HeapBlock held(256);
                          fault.raise();
                          return 0;
                      }),
                      77)
                << fault.name;
            EXPECT_EQ(Guarded(77, [] { return 5; }), 5) << fault.name;
        }
    }
}

void ExitWithSignalNumber(int signal, siginfo_t*, void*) { _exit(signal); }

TEST_F(ProcessorFaults, EachKindOutsideAFrameGoesOnToTheHostOrEndsTheProcess) {
    for (const ProcessorFault& fault : kProcessorFaults) {
        // A host handler installed before the frame's own still hears the
        // faults outside the frame.
        EXPECT_EXIT(
            {
                struct sigaction host = {};
                host.sa_sigaction = &ExitWithSignalNumber;
                host.sa_flags = SA_SIGINFO;
                sigemptyset(&host.sa_mask);
                sigaction(fault.signal, &host, nullptr);
                if (Guarded(5, [&] {
                        fault.raise();
                        return 0;
                    }) != 5) {
                    _exit(1);
                }
                fault.raise();
            },
            ::testing::ExitedWithCode(fault.signal), "")
            << fault.name;
        // Without one, the fault ends the process as it would without us.
        EXPECT_DEATH(
            {
                Guarded(1, [] { return 0; });
                fault.raise();
            },
            "")
            << fault.name;
    }
}

TEST(FaultFrame, BadCallerPointersGiveTheWaterCodeFaultCode) {
    const std::string text = testing::ContainerText(std::vector<std::uint8_t>(8 * 128, 0));
    testing::OwnedPage page(64, 64, 300);
    std::vector<std::uint8_t> work(text.size()), raster(8 * 128);
    const auto length = static_cast<std::int32_t>(text.size());
    struct Case {
        const char* name;
        const char* text;
        std::uint8_t* work;
        std::uint8_t* raster;
    };
    const Case cases[] = {
        {"raster", text.c_str(), work.data(), BadPointer()},
        {"work", text.c_str(), BadPointer(), raster.data()},
        {"text", BadPointer<const char>(), work.data(), raster.data()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(iZeWaterCode(page.dc(), c.text, c.work, c.raster, length, 0, 8 * 128, 1, 1, 0), 3000) << c.name;
        EXPECT_EQ(iZeWaterCodeData(c.text, c.work, c.raster, length), 3000) << c.name;
    }
    // The frame leaves the library usable.
    EXPECT_EQ(iZeWaterCode(page.dc(), text.c_str(), work.data(), raster.data(), length, 0, 8 * 128, 1, 1, 0), 0);
}

TEST(FaultFrame, ExceptionsGiveTheCodeToo) {
    EXPECT_EQ(Guarded(4000, []() -> std::int32_t { throw std::bad_alloc(); }), 4000);
    EXPECT_EQ(Guarded(4000, [] { return 7; }), 7);
    EXPECT_EQ(ContainExceptions(2000, []() -> std::int32_t { throw 1; }), 2000);
}

TEST(FaultFrame, ReleasesTheBlocksTheBodyHeld) {
    BlockCollector outer;
    std::size_t liveInside = 0;
    const std::int32_t result = Guarded(9999, [&] {
        HeapBlock a(100), b(1 << 20);
        liveInside = outer.LiveBlocks();  // the frame's own collector takes them
        *BadPointer<volatile std::uint8_t>() = a.data()[0];
        return 0;
    });
    EXPECT_EQ(result, 9999);
    EXPECT_EQ(liveInside, 0u);
    EXPECT_EQ(outer.LiveBlocks(), 0u);
    // A block taken after the frame belongs to the outer collector again.
    HeapBlock later(8);
    EXPECT_EQ(outer.LiveBlocks(), 1u);
}

TEST(FaultFrame, NestedFramesCatchAtTheInnermost) {
    const std::int32_t result = Guarded(1, [] {
        const std::int32_t inner = Guarded(2, [] {
            *BadPointer<volatile int>() = 1;
            return 0;
        });
        return inner == 2 ? 10 : 20;
    });
    EXPECT_EQ(result, 10);
}

TEST(FaultFrame, EachThreadHasItsOwnFrame) {
    std::atomic<int> caught{0}, clean{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                const bool fault = (i + t) % 2 == 0;
                const std::int32_t r = Guarded(3000, [&] {
                    HeapBlock block(64);
                    if (fault) *BadPointer<volatile int>() = i;
                    return 0;
                });
                (r == 3000 ? caught : clean)++;
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(caught.load(), 400);
    EXPECT_EQ(clean.load(), 400);
}

using FaultFrameDeathTest = ::testing::Test;

TEST_F(FaultFrameDeathTest, AFaultOutsideAFrameStillEndsTheProcess) {
    EXPECT_DEATH(
        {
            Guarded(1, [] { return 0; });  // the handlers are in place now
            *BadPointer<volatile int>() = 1;
        },
        "");
}

void ExitWith42(int, siginfo_t*, void*) { _exit(42); }

TEST_F(FaultFrameDeathTest, FaultsOutsideAFrameReachTheHostsOwnHandler) {
    EXPECT_EXIT(
        {
            struct sigaction host = {};
            host.sa_sigaction = &ExitWith42;
            host.sa_flags = SA_SIGINFO;
            sigemptyset(&host.sa_mask);
            sigaction(SIGSEGV, &host, nullptr);
            // The frame still catches inside, and passes the rest on.
            if (Guarded(5, [] {
                    *BadPointer<volatile int>() = 1;
                    return 0;
                }) != 5) {
                _exit(1);
            }
            *BadPointer<volatile int>() = 1;
        },
        ::testing::ExitedWithCode(42), "");
}

}  // namespace
}  // namespace zeseal::frame
