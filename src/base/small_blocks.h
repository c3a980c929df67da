#pragma once

// Blocks of up to 512 bytes (the heap part of longer short texts, the child lists of tree
// nodes), from per-size pools of populated slabs (see SlabPool): no heap header per block and
// no page touched one at a time. Each thread has pools of its own; a block may be given back
// on another thread than the one that took it. Larger blocks come from the ordinary heap.

#include <cstddef>
#include <memory>

namespace tarvo {

namespace small_blocks {

inline constexpr std::size_t kLargest = 512;

void* Allocate(std::size_t bytes);
void Release(void* block, std::size_t bytes) noexcept;

}  // namespace small_blocks

template <typename T>
class SmallBlockAllocator {
 public:
  using value_type = T;

  SmallBlockAllocator() noexcept = default;
  template <typename U>
  SmallBlockAllocator(const SmallBlockAllocator<U>& /*other*/) noexcept {}  // NOLINT: rebinding

  T* allocate(std::size_t count) { return static_cast<T*>(small_blocks::Allocate(count * sizeof(T))); }
  void deallocate(T* block, std::size_t count) noexcept { small_blocks::Release(block, count * sizeof(T)); }

  template <typename U>
  bool operator==(const SmallBlockAllocator<U>& /*other*/) const noexcept {
    return true;
  }
};

}  // namespace tarvo
