#include "base/small_blocks.h"

#include <array>
#include <mutex>
#include <new>
#include <vector>

#include "base/slab_pool.h"

namespace tarvo::small_blocks {
namespace {

constexpr std::size_t kStep = 16;
constexpr std::size_t kClasses = kLargest / kStep;

std::size_t ClassOf(std::size_t bytes) { return bytes == 0 ? 0 : (bytes - 1) / kStep; }

// One pool per size, made on first use.
struct Pools {
  std::array<std::unique_ptr<SlabPool>, kClasses> bySize;

  SlabPool& of(std::size_t bytes) {
    std::unique_ptr<SlabPool>& pool = bySize[ClassOf(bytes)];
    if (pool == nullptr) pool = std::make_unique<SlabPool>((ClassOf(bytes) + 1) * kStep);
    return *pool;
  }
};

// A thread's pools live as long as the process: what they handed out may be given back after
// the thread ended (texts of records read on another thread), or by an object destroyed after
// the thread's own locals (a static, at exit).
Pools& ThisThread() {
  thread_local Pools* pools = [] {
    static std::mutex guard;
    static auto* everyThreads = new std::vector<std::unique_ptr<Pools>>();  // never destroyed
    const std::lock_guard lock(guard);
    everyThreads->push_back(std::make_unique<Pools>());
    return everyThreads->back().get();
  }();
  return *pools;
}

}  // namespace

void* Allocate(std::size_t bytes) {
  if (bytes > kLargest) return ::operator new(bytes);
  return ThisThread().of(bytes).allocate();
}

void Release(void* block, std::size_t bytes) noexcept {
  if (block == nullptr) return;
  if (bytes > kLargest) {
    ::operator delete(block);
    return;
  }
  ThisThread().of(bytes).release(block);
}

}  // namespace tarvo::small_blocks
