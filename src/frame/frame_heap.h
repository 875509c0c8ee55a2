// Heap blocks that a fault frame can release.
//
// A guarded export may be left by a jump from a fault handler, which runs no
// destructors. Blocks taken from AllocateZeroed while a BlockCollector is
// active on the thread are linked into that collector, so the frame can free
// whatever the interrupted body still held. Blocks freed normally unlink
// themselves; blocks taken outside any collector are plain heap blocks.
//
// So whatever a guarded body holds while it touches the caller's memory (or
// anything else that may fault) is a HeapBlock or a FrameLock: a
// std::vector, std::string or std::lock_guard there would be lost, or stay
// locked, when the fault is caught.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

namespace zeseal::frame {

struct BlockHeader;

// Collects the blocks allocated on this thread while it is the innermost
// collector. Collectors nest; the outer one resumes when the inner one ends.
class BlockCollector {
public:
    BlockCollector() noexcept;
    ~BlockCollector();
    BlockCollector(const BlockCollector&) = delete;
    BlockCollector& operator=(const BlockCollector&) = delete;

    // Frees every block still linked here, and unlocks the FrameLocks taken
    // since the collector started (after a caught fault).
    void ReleaseAll() noexcept;
    std::size_t LiveBlocks() const noexcept;

private:
    friend void* AllocateZeroed(std::size_t) noexcept;
    friend void ReleaseBlock(void*) noexcept;
    BlockHeader* head_ = nullptr;
    BlockCollector* outer_ = nullptr;
    std::size_t locksAtStart_ = 0;
};

// A zero-filled block of size bytes, or nullptr when memory runs out.
void* AllocateZeroed(std::size_t size) noexcept;
// Frees a block from AllocateZeroed; nullptr is ignored.
void ReleaseBlock(void* block) noexcept;

// For the allocation-failure tests: when set, AllocateZeroed asks it before
// taking each block and answers nullptr when it returns true, as if memory
// had run out. Unset (nullptr) unless a test sets it.
using AllocationRefusal = bool (*)() noexcept;
void SetAllocationRefusal(AllocationRefusal refusal) noexcept;

// Owns one block from AllocateZeroed.
class HeapBlock {
public:
    HeapBlock() noexcept = default;
    explicit HeapBlock(std::size_t size) noexcept
        : data_(static_cast<std::uint8_t*>(AllocateZeroed(size))), size_(data_ ? size : 0) {}
    ~HeapBlock() { ReleaseBlock(data_); }
    HeapBlock(HeapBlock&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    HeapBlock& operator=(HeapBlock&& other) noexcept {
        if (this != &other) {
            ReleaseBlock(data_);
            data_ = std::exchange(other.data_, nullptr);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;

    std::uint8_t* data() const noexcept { return data_; }
    std::size_t size() const noexcept { return size_; }
    explicit operator bool() const noexcept { return data_ != nullptr; }
    void reset() noexcept {
        ReleaseBlock(data_);
        data_ = nullptr;
        size_ = 0;
    }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace zeseal::frame
