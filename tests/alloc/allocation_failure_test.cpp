// Running out of memory below an export: each allocation in turn is made to
// fail, and the export must answer one of its documented codes, leak nothing
// (LeakSanitizer checks that in the sanitizer build) and never end the host.
//
// This executable replaces the global operator new, so it runs apart from
// the other tests. The library's own heap blocks ask the same countdown.
#include <zeseal/zeseal_posix.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "authoring/bmp_writer.h"
#include "authoring/container_writer.h"
#include "codec/image_container.h"
#include "frame/frame_heap.h"
#include "support/temp_printers_file.h"
#include "support/test_pages.h"

namespace {

// 0: disarmed. n > 0: the nth allocation from now fails, then the countdown
// stops. The tests run on one thread.
long countdown = 0;
bool refused = false;

bool RefuseThisOne() noexcept {
    if (countdown <= 0 || --countdown != 0) return false;
    refused = true;
    return true;
}

void* Take(std::size_t size) noexcept {
    if (RefuseThisOne()) return nullptr;
    return std::malloc(size != 0 ? size : 1);
}

void* TakeAligned(std::size_t size, std::align_val_t alignment) noexcept {
    if (RefuseThisOne()) return nullptr;
    const auto a = static_cast<std::size_t>(alignment);
    return std::aligned_alloc(a, (size + a - 1) / a * a);
}

void* TakeOrThrow(void* p) {
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

}  // namespace

void* operator new(std::size_t size) { return TakeOrThrow(Take(size)); }
void* operator new[](std::size_t size) { return TakeOrThrow(Take(size)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Take(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Take(size); }
void* operator new(std::size_t size, std::align_val_t a) { return TakeOrThrow(TakeAligned(size, a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return TakeOrThrow(TakeAligned(size, a)); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return TakeAligned(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return TakeAligned(size, a);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }

namespace zeseal {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::ContainerText;
using testing::MarkBuffers;
using testing::OwnedPage;

struct ExportRun {
    const char* name;
    std::function<std::int32_t()> call;
    std::set<std::int32_t> allowed;  // besides the answer with memory to spare
    std::int32_t spared = ZE_OK;     // that answer
};

// Fails allocation 1, 2, 3, ... of run.call until a call needs no more;
// returns how many allocations the successful call made.
long FailEachAllocationInTurn(const ExportRun& run) {
    frame::SetAllocationRefusal(&RefuseThisOne);
    constexpr long kLimit = 20000;
    for (long n = 1; n <= kLimit; ++n) {
        countdown = n;
        refused = false;
        const std::int32_t result = run.call();
        countdown = 0;
        if (!refused) {
            EXPECT_EQ(result, run.spared) << run.name << " with memory to spare";
            frame::SetAllocationRefusal(nullptr);
            return n - 1;
        }
        EXPECT_TRUE(result == run.spared || run.allowed.count(result) != 0)
            << run.name << " answered " << result << " when allocation " << n << " failed";
    }
    frame::SetAllocationRefusal(nullptr);
    ADD_FAILURE() << run.name << " still allocating after " << kLimit << " allocations";
    return kLimit;
}

Bytes LogoBmp() {
    authoring::IndexedPicture picture;
    picture.width = 5;
    picture.height = 3;
    picture.palette = {{0, 0, 0}, {255, 255, 255}};
    picture.indices.assign(15, 0);
    return authoring::EncodeIndexedBmp(picture);
}

TEST(AllocationFailure, DrawingExportsAnswerTheirCodesAndDrawOnceMemoryIsThere) {
    OwnedPage page(64, 64, 300);
    const std::string markText = ContainerText(authoring::MakeMarkRaster(2, 2, 24, Bytes(12, 0)));
    MarkBuffers mark(markText, 4096);
    const auto markLength = static_cast<std::int32_t>(markText.size());
    // A water code of 2 columns by 128 rows (layout 0), black.
    const std::string codeText = ContainerText(Bytes(256, 0));
    MarkBuffers code(codeText, 4096);
    const auto codeLength = static_cast<std::int32_t>(codeText.size());
    const Bytes logo = LogoBmp();
    const auto logoLength = static_cast<std::int32_t>(logo.size());

    const ExportRun runs[] = {
        {"iZeWaterMark",
         [&] {
             return iZeWaterMark(page.dc(), markText.c_str(), mark.work.data(), mark.raster.data(),
                                 markLength, 0, 0, 1, 1);
         },
         {ZE_WATERMARK_FAILED, ZE_WATERMARK_NO_MEMORY}},
        {"iZeWaterCode",
         [&] {
             return iZeWaterCode(page.dc(), codeText.c_str(), code.work.data(), code.raster.data(),
                                 codeLength, 0, 256, 1, 1, 0);
         },
         {ZE_WATERCODE_FAILED, ZE_WATERCODE_NO_MEMORY}},
        {"iZeCopyDetector",
         [&] { return iZeCopyDetector(page.dc(), 0, logo.data(), 1, 1, 0, 0); },
         {ZE_COPYDETECTOR_FAILED}},
        {"iZeCourtLogo",
         [&] { return iZeCourtLogo(page.dc(), logo.data(), logoLength, 0, 0, 1, 1); },
         {ZE_COURTLOGO_FAILED}},
        {"iZeCourtLogoAddVista",
         [&] { return iZeCourtLogoAddVista(page.dc(), logo.data(), 0, 0, 0, 1, 1); },
         {ZE_COURTLOGO_FAILED}},
    };
    for (const ExportRun& run : runs) {
        // Every one of them scales onto the page, which takes memory.
        EXPECT_GT(FailEachAllocationInTurn(run), 0) << run.name;
    }
    EXPECT_GT(page.InkedPixels(), 0u);
}

TEST(AllocationFailure, DataExportsAnswerTheirCodes) {
    const std::string text = ContainerText(authoring::MakeMarkRaster(2, 2, 24, Bytes(12, 0)));
    MarkBuffers buffers(text, 4096);
    const auto length = static_cast<std::int32_t>(text.size());
    // Three zlib streams: each inflate takes its own memory, and the
    // picture grows between them.
    const std::string chunked = ContainerText(Bytes(24, 0), 8);
    MarkBuffers chunkedBuffers(chunked, 4096);
    const auto chunkedLength = static_cast<std::int32_t>(chunked.size());
    const ExportRun runs[] = {
        {"iZeWaterMarkData",
         [&] { return iZeWaterMarkData(text.c_str(), buffers.work.data(), buffers.raster.data(), length); },
         {ZE_WATERMARK_FAILED, ZE_WATERMARK_NO_MEMORY}},
        {"iZeWaterCodeData",
         [&] { return iZeWaterCodeData(text.c_str(), buffers.work.data(), buffers.raster.data(), length); },
         {ZE_WATERCODE_FAILED, ZE_WATERCODE_NO_MEMORY}},
        {"iZeWaterCodeData, three streams",
         [&] {
             return iZeWaterCodeData(chunked.c_str(), chunkedBuffers.work.data(),
                                     chunkedBuffers.raster.data(), chunkedLength);
         },
         {ZE_WATERCODE_FAILED, ZE_WATERCODE_NO_MEMORY}},
    };
    for (const ExportRun& run : runs) FailEachAllocationInTurn(run);

    // zlib's memory is counted (and refused) as the library's own is: each
    // further stream takes at least its inflate state. (Where libdeflate
    // inflates, zlib only names the fault in a damaged stream.)
    const auto one = authoring::PackContainer(Bytes(24, 0));
    const auto three = authoring::PackContainer(Bytes(24, 0), 8);
    std::vector<std::uint8_t> out(64);
    std::uint32_t outLength = 0;
    const auto zlibDecode = [&](const std::vector<std::uint8_t>& container) {
        return ExportRun{"the container through zlib",
                         [&] {
                             return codec::ContainerResultCode(
                                 ZE_WATERCODE_FAILED,
                                 codec::DecodeImageContainerWith(codec::Inflater::kZlib, out.data(), &outLength,
                                                                 container.data(),
                                                                 static_cast<std::uint32_t>(container.size())));
                         },
                         {ZE_WATERCODE_FAILED, ZE_WATERCODE_NO_MEMORY}};
    };
    EXPECT_GE(FailEachAllocationInTurn(zlibDecode(three)), FailEachAllocationInTurn(zlibDecode(one)) + 2);
}

TEST(AllocationFailure, PrinterExportsAnswerTheirCodes) {
    testing::TempPrintersFile file("[printer P]\nport = LPT1:\ndriver = D\n");
    std::int32_t jobs = -1;
    const ExportRun runs[] = {
        {"iZePrinterStatus", [] { return iZePrinterStatus("P"); }, {ZE_FAULT}},
        {"iGetZePrinterJob", [&] { return iGetZePrinterJob("P", "", &jobs); }, {ZE_FAULT},
         ZE_NO_MATCHING_JOB},  // the printer has no jobs
    };
    for (const ExportRun& run : runs) EXPECT_GT(FailEachAllocationInTurn(run), 0) << run.name;
}

}  // namespace
}  // namespace zeseal
