#include "base/slab_pool.h"

#include <sys/mman.h>

#include <algorithm>
#include <new>

namespace tarvo {
namespace {

// gcc names AddressSanitizer with a macro, clang with a feature test.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOrdinaryHeap = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kOrdinaryHeap = true;
#else
constexpr bool kOrdinaryHeap = false;
#endif
#else
constexpr bool kOrdinaryHeap = false;
#endif

// Blocks start small, so a pool that serves a handful of objects holds little, and double up to
// the largest size for pools that serve millions.
constexpr std::size_t kFirstBlockBytes = std::size_t{64} << 10;
constexpr std::size_t kLargestBlockBytes = std::size_t{8} << 20;
constexpr std::size_t kAlignment = alignof(std::max_align_t);

}  // namespace

SlabPool::SlabPool(std::size_t slotBytes)
    : slotBytes_((slotBytes + kAlignment - 1) / kAlignment * kAlignment) {}

void* SlabPool::allocate() {
  if (kOrdinaryHeap) return ::operator new(slotBytes_);
  if (freeSlots_ != nullptr) {
    void* slot = freeSlots_;
    freeSlots_ = *static_cast<void**>(slot);
    return slot;
  }
  if (next_ == end_) {
    const std::size_t bytes = std::min(kLargestBlockBytes, kFirstBlockBytes << std::min<std::size_t>(blocks_.size(), 16));
    void* block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (block == MAP_FAILED) throw std::bad_alloc();
    blocks_.push_back(block);
    next_ = static_cast<char*>(block);
    end_ = next_ + bytes / slotBytes_ * slotBytes_;
  }
  void* slot = next_;
  next_ += slotBytes_;
  return slot;
}

void SlabPool::release(void* slot) noexcept {
  if (slot == nullptr) return;
  if (kOrdinaryHeap) {
    ::operator delete(slot);
    return;
  }
  *static_cast<void**>(slot) = freeSlots_;
  freeSlots_ = slot;
}

void SlabPool::takeFreeSlots(SlabPool& other) noexcept {
  if (other.freeSlots_ == nullptr || &other == this) return;
  void* last = other.freeSlots_;
  while (*static_cast<void**>(last) != nullptr) last = *static_cast<void**>(last);
  *static_cast<void**>(last) = freeSlots_;
  freeSlots_ = other.freeSlots_;
  other.freeSlots_ = nullptr;
}

}  // namespace tarvo
