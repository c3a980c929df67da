#include "base/small_blocks.h"

#include <array>
#include <new>

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

Pools& ThisThread() {
  static thread_local Pools pools;
  return pools;
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
