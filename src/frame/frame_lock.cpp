#include "frame/frame_lock.h"

namespace zeseal::frame {
namespace {

// The thread's held FrameLocks, oldest first. Kept outside the stack, so a
// frame can still read them after a jump has abandoned the body's frames.
// Nesting in the library is shallow; a lock past the last slot is simply not
// released by a frame.
constexpr std::size_t kMaxHeld = 16;
thread_local std::mutex* held[kMaxHeld];
thread_local std::size_t heldCount = 0;

}  // namespace

FrameLock::FrameLock(std::mutex& mutex) : mutex_(mutex) {
    mutex_.lock();
    if (heldCount < kMaxHeld) {
        held[heldCount++] = &mutex_;
        recorded_ = true;
    }
}

FrameLock::~FrameLock() {
    // FrameLocks end in the reverse order of their start, so this one is
    // the newest recorded.
    if (recorded_ && heldCount > 0 && held[heldCount - 1] == &mutex_) --heldCount;
    mutex_.unlock();
}

std::size_t HeldFrameLocks() noexcept { return heldCount; }

void ReleaseFrameLocksAbove(std::size_t kept) noexcept {
    while (heldCount > kept) held[--heldCount]->unlock();
}

}  // namespace zeseal::frame
