#include "frame/frame_heap.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "frame/frame_lock.h"

namespace zeseal::frame {

struct alignas(std::max_align_t) BlockHeader {
    BlockHeader* prev;
    BlockHeader* next;
    BlockCollector* owner;
};

namespace {

thread_local BlockCollector* innermostCollector = nullptr;
std::atomic<AllocationRefusal> allocationRefusal{nullptr};

BlockHeader* HeaderOf(void* block) noexcept {
    return static_cast<BlockHeader*>(block) - 1;
}

}  // namespace

BlockCollector::BlockCollector() noexcept
    : outer_(innermostCollector), locksAtStart_(HeldFrameLocks()) {
    innermostCollector = this;
}

BlockCollector::~BlockCollector() {
    // Blocks that outlive the collector become plain blocks.
    for (BlockHeader* h = head_; h != nullptr; h = h->next) h->owner = nullptr;
    innermostCollector = outer_;
}

void BlockCollector::ReleaseAll() noexcept {
    ReleaseFrameLocksAbove(locksAtStart_);
    while (head_ != nullptr) {
        BlockHeader* h = head_;
        head_ = h->next;
        std::free(h);
    }
}

std::size_t BlockCollector::LiveBlocks() const noexcept {
    std::size_t n = 0;
    for (BlockHeader* h = head_; h != nullptr; h = h->next) ++n;
    return n;
}

void* AllocateZeroed(std::size_t size) noexcept {
    if (size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
    if (const AllocationRefusal refuse = allocationRefusal.load(std::memory_order_relaxed);
        refuse != nullptr && refuse()) {
        return nullptr;
    }
    auto* h = static_cast<BlockHeader*>(std::calloc(1, sizeof(BlockHeader) + size));
    if (h == nullptr) return nullptr;
    h->prev = nullptr;
    h->owner = innermostCollector;
    h->next = nullptr;
    if (BlockCollector* c = h->owner) {
        h->next = c->head_;
        if (c->head_ != nullptr) c->head_->prev = h;
        c->head_ = h;
    }
    return h + 1;
}

void ReleaseBlock(void* block) noexcept {
    if (block == nullptr) return;
    BlockHeader* h = HeaderOf(block);
    if (BlockCollector* c = h->owner) {
        if (h->prev != nullptr) h->prev->next = h->next;
        else c->head_ = h->next;
        if (h->next != nullptr) h->next->prev = h->prev;
    }
    std::free(h);
}

void SetAllocationRefusal(AllocationRefusal refusal) noexcept {
    allocationRefusal.store(refusal, std::memory_order_relaxed);
}

}  // namespace zeseal::frame
