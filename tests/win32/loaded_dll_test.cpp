// ZEsealWARDEN.dll loaded as the service's client loads it: its exports by
// name, its fault frame, and an unload after which exceptions still unwind.
#include <windows.h>

#include <zeseal/zeseal.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "authoring/container_writer.h"
#include "memory_page.h"

namespace zeseal {
namespace {

using WaterCodeFunction = int32_t(ZESEAL_CALL*)(HDC, const char*, uint8_t*, uint8_t*, int32_t, int32_t,
                                                int32_t, int32_t, int32_t, int32_t);

volatile std::uintptr_t badAddress = 0x10;

TEST(LoadedDll, TheFaultFrameWorksInTheDllAndUnloadingLeavesNoHandler) {
    HMODULE dll = LoadLibraryA("ZEsealWARDEN.dll");
    ASSERT_NE(dll, nullptr) << GetLastError();
    EXPECT_EQ(GetModuleHandleA("ZEsealWARDEN.dll"), dll);
    const auto waterCode = reinterpret_cast<WaterCodeFunction>(
        reinterpret_cast<void*>(GetProcAddress(dll, "iZeWaterCode")));
    ASSERT_NE(waterCode, nullptr);
    // Decorated or ordinal-only names would not be found.
    EXPECT_NE(GetProcAddress(dll, "iZePrinterSet"), nullptr);
    EXPECT_NE(GetProcAddress(dll, "iZeCopyDetectorPrint"), nullptr);

    const std::vector<std::uint8_t> picture(8 * 128, 0);
    const std::string text = authoring::EncodeBase64(authoring::PackContainer(picture, 44999));
    std::vector<std::uint8_t> raster(picture.size());
    testing::MemoryPage page(64, 64);
    EXPECT_EQ(waterCode(page.dc(), text.c_str(), reinterpret_cast<std::uint8_t*>(badAddress), raster.data(),
                        static_cast<std::int32_t>(text.size()), 0, 8 * 128, 0, 0, 0),
              ZE_WATERCODE_FAILED);
    std::vector<std::uint8_t> work(text.size());
    EXPECT_EQ(waterCode(page.dc(), text.c_str(), work.data(), raster.data(), static_cast<std::int32_t>(text.size()),
                        0, 8 * 128, 0, 0, 0),
              ZE_OK);

    ASSERT_TRUE(FreeLibrary(dll));
    EXPECT_EQ(GetModuleHandleA("ZEsealWARDEN.dll"), nullptr);
    // Every exception passes the vectored handlers first, so this throw runs
    // past whatever the unload left.
    bool caught = false;
    try {
        throw std::runtime_error("after unload");
    } catch (const std::runtime_error&) {
        caught = true;
    }
    EXPECT_TRUE(caught);
}

// A host may load the library twice under two names, or link a copy of its
// code as this program does: each copy's frame catches the faults of its own
// calls whichever copy came last, and unloading one leaves the others' frames
// working.
TEST(LoadedDll, EachCopyUnderItsOwnNameCatchesItsOwnFaults) {
    char folder[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
    const std::string secondName = std::string(folder) + "ZEsealWARDEN-second.dll";
    char first[MAX_PATH] = {};
    HMODULE firstDll = LoadLibraryA("ZEsealWARDEN.dll");
    ASSERT_NE(firstDll, nullptr) << GetLastError();
    ASSERT_GT(GetModuleFileNameA(firstDll, first, MAX_PATH), 0u);
    ASSERT_TRUE(CopyFileA(first, secondName.c_str(), FALSE)) << GetLastError();
    HMODULE secondDll = LoadLibraryA(secondName.c_str());
    ASSERT_NE(secondDll, nullptr) << GetLastError();
    ASSERT_NE(secondDll, firstDll);

    const auto entry = [](HMODULE dll) {
        return reinterpret_cast<WaterCodeFunction>(
            reinterpret_cast<void*>(GetProcAddress(dll, "iZeWaterCode")));
    };
    struct Copy {
        const char* name;
        WaterCodeFunction waterCode;
    };
    const Copy dlls[] = {{"first", entry(firstDll)}, {"second", entry(secondDll)}};
    const Copy linked = {"linked", &iZeWaterCode};
    ASSERT_NE(dlls[0].waterCode, nullptr);
    ASSERT_NE(dlls[1].waterCode, nullptr);

    const std::vector<std::uint8_t> picture(8 * 128, 0);
    const std::string text = authoring::EncodeBase64(authoring::PackContainer(picture, 44999));
    std::vector<std::uint8_t> work(text.size()), raster(picture.size());
    testing::MemoryPage page(64, 64);
    const auto length = static_cast<std::int32_t>(text.size());
    const auto faultAndDraw = [&](const Copy& copy) {
        EXPECT_EQ(copy.waterCode(page.dc(), text.c_str(), reinterpret_cast<std::uint8_t*>(badAddress),
                                 raster.data(), length, 0, 8 * 128, 0, 0, 0),
                  ZE_WATERCODE_FAILED)
            << copy.name;
        EXPECT_EQ(copy.waterCode(page.dc(), text.c_str(), work.data(), raster.data(), length, 0,
                                 8 * 128, 0, 0, 0),
                  ZE_OK)
            << copy.name;
    };
    for (int round = 0; round < 2; ++round) {
        for (const Copy& copy : dlls) faultAndDraw(copy);
        faultAndDraw(linked);
    }
    ASSERT_TRUE(FreeLibrary(firstDll));
    faultAndDraw(dlls[1]);
    faultAndDraw(linked);
    ASSERT_TRUE(FreeLibrary(secondDll));
    faultAndDraw(linked);
    EXPECT_TRUE(DeleteFileA(secondName.c_str())) << GetLastError();
}

}  // namespace
}  // namespace zeseal
