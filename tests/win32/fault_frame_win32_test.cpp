// The fault frame on Windows: processor faults inside a guarded body give the
// export's code, faults elsewhere still end the process.
#include <windows.h>

#include <zeseal/zeseal.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "authoring/container_writer.h"
#include "frame/fault_frame.h"
#include "memory_page.h"

namespace zeseal::frame {
namespace {

volatile std::uintptr_t badAddress = 0x10;
template <class T = std::uint8_t>
T* BadPointer() {
    return reinterpret_cast<T*>(badAddress);
}

std::string WaterCodeText() {
    const std::vector<std::uint8_t> picture(8 * 128, 0);
    return authoring::EncodeBase64(authoring::PackContainer(picture, 44999));
}

TEST(FaultFrameWin32, BadCallerPointersGiveTheWaterCodeFaultCode) {
    const std::string text = WaterCodeText();
    testing::MemoryPage page(64, 64);
    std::vector<std::uint8_t> work(text.size()), raster(8 * 128);
    const auto length = static_cast<std::int32_t>(text.size());
    struct Case {
        const char* name;
        const char* text;
        std::uint8_t* work;
        std::uint8_t* raster;
    };
    const Case cases[] = {
        {"work", text.c_str(), BadPointer(), raster.data()},
        {"raster", text.c_str(), work.data(), BadPointer()},
        {"text", BadPointer<const char>(), work.data(), raster.data()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(iZeWaterCode(page.dc(), c.text, c.work, c.raster, length, 0, 8 * 128, 0, 0, 0),
                  ZE_WATERCODE_FAILED)
            << c.name;
        EXPECT_EQ(iZeWaterCodeData(c.text, c.work, c.raster, length), ZE_WATERCODE_FAILED)
            << c.name;
    }
    // The frame is sound after the faults: a good call still draws.
    EXPECT_EQ(iZeWaterCode(page.dc(), text.c_str(), work.data(), raster.data(), length, 0,
                           8 * 128, 0, 0, 0),
              ZE_OK);
}

TEST(FaultFrameWin32, NestedFramesLandInTheInnermostAndTheOuterGoesOn) {
    std::int32_t inner = 0;
    const std::int32_t outer = Guarded(1, [&] {
        for (int i = 0; i < 100; ++i) {
            inner = Guarded(2, [] {
                *BadPointer<volatile int>() = 1;
                return 0;
            });
            if (inner != 2) return 3;
        }
        return 0;
    });
    EXPECT_EQ(inner, 2);
    EXPECT_EQ(outer, 0);
}

TEST(FaultFrameWin32, ExceptionsAndOrdinaryResultsPassThrough) {
    EXPECT_EQ(Guarded(7, [] { return 42; }), 42);
    EXPECT_EQ(Guarded(7, []() -> std::int32_t { throw std::runtime_error("x"); }), 7);
    // A C++ exception thrown and caught inside the body is no fault.
    EXPECT_EQ(Guarded(7, [] {
                  try {
                      throw std::runtime_error("inside");
                  } catch (const std::exception&) {
                      return 5;
                  }
              }),
              5);
}

TEST(FaultFrameWin32, EachThreadHasItsOwnFrame) {
    std::atomic<int> caught{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                if (Guarded(9, [] { return *BadPointer<volatile int>(); }) == 9) ++caught;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(caught.load(), 200);
}

TEST(FaultFrameWin32, AFaultOutsideEveryFrameStillEndsTheProcess) {
    char self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    std::string command = std::string("\"") + self + "\" --unguarded-fault";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
}

}  // namespace
}  // namespace zeseal::frame
