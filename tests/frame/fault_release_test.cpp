// What a caught fault leaves behind: nothing. The storage a guarded body
// held when the caller's memory faulted is freed (LeakSanitizer checks it in
// the sanitizer build, the heap's own count in the others), and the locks it
// held are free for the next call.
#include <zeseal/zeseal.h>

#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/mman.h>

#include <cstring>
#include <functional>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "authoring/container_writer.h"
#include "codec/image_container.h"
#include "frame/fault_frame.h"
#include "frame/frame_lock.h"
#include "support/test_pages.h"

namespace zeseal {
namespace {

// Caller memory whose last readable byte is followed by 128 KiB of
// inaccessible memory: bytes placed to end at end() are readable, the next
// ones fault.
class MemoryBeforeAHole {
public:
    MemoryBeforeAHole() {
        void* map = mmap(nullptr, kReadable + kHole, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (map == MAP_FAILED) return;
        base_ = static_cast<std::uint8_t*>(map);
        if (mprotect(base_ + kReadable, kHole, PROT_NONE) != 0) {
            munmap(base_, kReadable + kHole);
            base_ = nullptr;
        }
    }
    ~MemoryBeforeAHole() {
        if (base_ != nullptr) munmap(base_, kReadable + kHole);
    }
    MemoryBeforeAHole(const MemoryBeforeAHole&) = delete;
    MemoryBeforeAHole& operator=(const MemoryBeforeAHole&) = delete;

    bool ok() const { return base_ != nullptr; }
    std::uint8_t* end() const { return base_ + kReadable; }

    // Copies the first `readable` bytes of bytes to end just before the hole;
    // the rest of bytes would lie in it. Returns where they start.
    std::uint8_t* PlaceBeforeHole(const std::vector<std::uint8_t>& bytes, std::size_t readable) const {
        std::uint8_t* at = end() - readable;
        std::memcpy(at, bytes.data(), readable);
        return at;
    }

private:
    static constexpr std::size_t kReadable = 64 * 1024;
    static constexpr std::size_t kHole = 128 * 1024;
    std::uint8_t* base_ = nullptr;
};

void PutLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + std::size_t(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A 24-bit BMP of width x height black pixels with whole headers.
std::vector<std::uint8_t> BlackBmp(std::int32_t width, std::int32_t height) {
    const std::size_t stride = (std::size_t(width) * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> bmp(54 + stride * std::size_t(height), 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    PutLe32(bmp, 2, static_cast<std::uint32_t>(bmp.size()));
    PutLe32(bmp, 10, 54);
    PutLe32(bmp, 14, 40);
    PutLe32(bmp, 18, static_cast<std::uint32_t>(width));
    PutLe32(bmp, 22, static_cast<std::uint32_t>(height));
    bmp[26] = 1;   // planes
    bmp[28] = 24;  // bits per pixel
    return bmp;
}

std::size_t HeapInUse() { return mallinfo2().uordblks; }

struct FaultingCall {
    const char* name;
    std::int32_t expected;
    std::function<std::int32_t()> call;
};

TEST(CaughtFaults, FreeWhatTheBodyHeld) {
    MemoryBeforeAHole bmpMemory, containerMemory;
    ASSERT_TRUE(bmpMemory.ok() && containerMemory.ok());
    testing::OwnedPage page(128, 128, 600);
    ASSERT_NE(page.dc(), nullptr);

    // The headers and the bottom rows are readable; the top rows, which a
    // page is drawn from first, lie in the hole.
    const std::vector<std::uint8_t> bmp = BlackBmp(128, 128);
    const std::uint8_t* bmpInHole = bmpMemory.PlaceBeforeHole(bmp, 54 + 3 * 128 * 4);

    // A container whose one zlib stream runs into the hole halfway: inflate
    // faults with its own state allocated.
    std::vector<std::uint8_t> noise(20000);
    std::mt19937 random(7);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    const std::vector<std::uint8_t> container = authoring::PackContainer(noise);
    ASSERT_GT(container.size(), 12000u);
    const std::uint8_t* containerInHole = containerMemory.PlaceBeforeHole(container, 10000);
    std::vector<std::uint8_t> picture(noise.size());

    const FaultingCall calls[] = {
        {"iZeCopyDetector", ZE_COPYDETECTOR_FAILED,
         [&] { return iZeCopyDetector(page.dc(), 0, bmpInHole, 0, 0, 0, 0); }},
        {"iZeCourtLogoAddVista", ZE_COURTLOGO_FAILED,
         [&] { return iZeCourtLogoAddVista(page.dc(), bmpInHole, 0, 0, 0, 0, 0); }},
        {"the container's inflate", -1,
         [&] {
             return frame::Guarded(-1, [&] {
                 std::uint32_t length = 0;
                 return codec::DecodeImageContainer(picture.data(), &length, containerInHole,
                                                    static_cast<std::uint32_t>(container.size()));
             });
         }},
    };
    for (const FaultingCall& c : calls) {
        ASSERT_EQ(c.call(), c.expected) << c.name;  // the first call sets up what stays
        const std::size_t before = HeapInUse();
        for (int i = 0; i < 500; ++i) ASSERT_EQ(c.call(), c.expected) << c.name;
        // A few hundred bytes lost per call would show as 100 KiB and more.
        EXPECT_LT(HeapInUse(), before + 32 * 1024) << c.name;
    }
}

// True when another thread finds the mutex locked.
bool HeldElsewhere(std::mutex& mutex) {
    bool held = false;
    std::thread([&] {
        held = !mutex.try_lock();
        if (!held) mutex.unlock();
    }).join();
    return held;
}

volatile std::uintptr_t badAddress = 0x10;
void Fault() { *reinterpret_cast<volatile int*>(badAddress) = 1; }

TEST(CaughtFaults, UnlockTheFrameLocksTheBodyHeld) {
    std::mutex outer, inner;
    bool outerHeldAfterInnerFault = false;
    bool innerHeldAfterInnerFault = true;
    const std::int32_t result = frame::Guarded(1, [&] {
        frame::FrameLock keep(outer);
        const std::int32_t caught = frame::Guarded(2, [&] {
            frame::FrameLock lock(inner);
            Fault();
            return 0;
        });
        // The inner frame released its own lock, not the outer body's.
        innerHeldAfterInnerFault = HeldElsewhere(inner);
        outerHeldAfterInnerFault = HeldElsewhere(outer);
        Fault();
        return caught;
    });
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(innerHeldAfterInnerFault);
    EXPECT_TRUE(outerHeldAfterInnerFault);
    EXPECT_FALSE(HeldElsewhere(outer));
    EXPECT_EQ(frame::HeldFrameLocks(), 0u);
    // A body that ends normally leaves nothing behind either.
    EXPECT_EQ(frame::Guarded(1, [&] {
                  frame::FrameLock lock(inner);
                  return 0;
              }),
              0);
    EXPECT_FALSE(HeldElsewhere(inner));
}

}  // namespace
}  // namespace zeseal
