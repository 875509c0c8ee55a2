// Locks that a fault frame can release.
//
// A caught fault leaves the guarded body by a jump, which runs no
// destructors: a std::lock_guard held at that moment would stay locked, and
// the next call to take the mutex would wait forever. A FrameLock records
// its mutex on the thread while it holds it, and a frame that catches a
// fault unlocks every mutex its body still held (see BlockCollector).
//
// The library's own mutexes are taken through FrameLock. Code holding one
// never reads or writes the caller's memory, so a fault under a lock means
// the library itself went wrong; the frame releases it all the same rather
// than leave the next call to deadlock.
#pragma once

#include <cstddef>
#include <mutex>

namespace zeseal::frame {

class FrameLock {
public:
    explicit FrameLock(std::mutex& mutex);
    ~FrameLock();
    FrameLock(const FrameLock&) = delete;
    FrameLock& operator=(const FrameLock&) = delete;

private:
    std::mutex& mutex_;
    bool recorded_ = false;
};

// How many FrameLocks the thread holds now.
std::size_t HeldFrameLocks() noexcept;

// Unlocks the mutexes of the FrameLocks the thread took after it held
// `kept` of them, newest first, and forgets those FrameLocks. For a frame
// whose body was abandoned by a caught fault.
void ReleaseFrameLocksAbove(std::size_t kept) noexcept;

}  // namespace zeseal::frame
