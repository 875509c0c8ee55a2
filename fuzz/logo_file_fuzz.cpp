// The court-logo files: the input is installed as "court_ink" in a system
// directory of the run's own and drawn with iZeCourtLogoPrint, and drawn
// from memory with DrawBmpFileImage.
//
// Checked:
//  - the result is 0 exactly when the file is whole ("BM", a size field
//    equal to its size) and its picture lies within it from the stored
//    pixel offset;
//  - drawing from memory (DrawBmpFileImage) succeeds for the same files;
//  - the page keeps every bit it had, and changes only when drawn.
#include <zeseal/zeseal.h>
#include <zeseal/zeseal_posix.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/byte_order.h"
#include "bmp_fuzz_support.h"
#include "marks/bitmap_holder.h"
#include "marks/court_logo.h"
#include "seams/page_device.h"

using namespace zeseal;

namespace {

namespace fs = std::filesystem;

// The path is never destroyed: the exit handler that removes the folder runs
// after the statics are destroyed, and with a static path it read a dead
// object and left every run's folder behind.
const fs::path& SystemDirectory() {
    static const fs::path* const dir = [] {
        const auto* d = new fs::path(fuzz::ScratchRoot() / ("zeseal-logo-fuzz-" + std::to_string(getpid())));
        fs::create_directories(*d);
        ZESEAL_FUZZ_CHECK(iZeHostSetSystemDirectory(d->c_str()) == 0);
        std::atexit([] { std::error_code ignored; fs::remove_all(*dir, ignored); });
        return d;
    }();
    return *dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > fuzz::kMaxBmpInput) return 0;
    const fs::path file = SystemDirectory() / "court_ink";
    {
        std::FILE* out = std::fopen(file.c_str(), "wb");
        ZESEAL_FUZZ_CHECK(out != nullptr);
        ZESEAL_FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, out) == size);
        ZESEAL_FUZZ_CHECK(std::fclose(out) == 0);
    }
    fuzz::ExactBuffer bytes(size);
    if (size != 0) std::memcpy(bytes.data(), data, size);
    const bool drawable = marks::IsWholeBmpFile(bytes.data(), size) && size >= 14 &&
                          fuzz::Drawable(bytes.data(), size, base::ReadLe32(bytes.data() + 10));

    const fuzz::FuzzPage& page = fuzz::PageFor(size & 1);
    const auto before = page.Read();
    const std::int32_t result = iZeCourtLogoPrint(page.dc, 1201, 0, 0, 3, 4);
    const auto fromFile = page.Read();
    ZESEAL_FUZZ_CHECK(result == (drawable ? ZE_OK : ZE_COURTLOGO_FAILED));
    fuzz::CheckPageAfter(before, fromFile, result == ZE_OK);

    // The same drawing from memory, on a fresh page.
    const HDC twin = iZeHostPageCreate(page.width, page.height, (size & 1) ? 600 : 72, (size & 1) ? 600 : 72);
    ZESEAL_FUZZ_CHECK(twin != nullptr);
    bool drawnFromMemory = false;
    {
        const auto device = platform::AttachPageDevice(twin);
        drawnFromMemory = marks::IsWholeBmpFile(bytes.data(), size) &&
                          marks::DrawBmpFileImage(*device, bytes.data(), size, 3, 4, 72);
    }
    ZESEAL_FUZZ_CHECK(drawnFromMemory == drawable);
    iZeHostPageDestroy(twin);
    return 0;
}
