#pragma once

// Memory for bulk data: whole files held in memory and the millions of small entries parsed
// from them.
//
// A plain std::vector clears memory that a read is about to overwrite anyway. BulkAllocator
// default-initialises elements, so resize() leaves new bytes uninitialised for the caller to
// fill, and takes blocks of 2 MiB and more straight from the kernel, so they go back to it
// when freed. Smaller blocks come from the ordinary heap.
//
// No huge pages are asked for: where the kernel makes them on request it may first compact
// memory, and the same load then takes twice as long one time as the next.

#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace tarvo {

namespace bulk_memory {

inline constexpr std::size_t kLargeBlock = std::size_t{2} << 20;

inline std::size_t RoundedToLargeBlocks(std::size_t bytes) {
  return (bytes + kLargeBlock - 1) / kLargeBlock * kLargeBlock;
}

inline void* Allocate(std::size_t bytes) {
  if (bytes < kLargeBlock) {
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (block == nullptr) throw std::bad_alloc();
    return block;
  }
  void* block = ::mmap(nullptr, RoundedToLargeBlocks(bytes), PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) throw std::bad_alloc();
  return block;
}

inline void Release(void* block, std::size_t bytes) {
  if (bytes < kLargeBlock) {
    std::free(block);
  } else {
    ::munmap(block, RoundedToLargeBlocks(bytes));
  }
}

}  // namespace bulk_memory

template <typename T>
class BulkAllocator {
 public:
  using value_type = T;

  BulkAllocator() noexcept = default;
  template <typename U>
  explicit BulkAllocator(const BulkAllocator<U>& /*other*/) noexcept {}

  T* allocate(std::size_t count) {
    return static_cast<T*>(bulk_memory::Allocate(count * sizeof(T)));
  }
  void deallocate(T* block, std::size_t count) noexcept {
    bulk_memory::Release(block, count * sizeof(T));
  }

  // Default-initialise instead of value-initialise: no clearing of bytes about to be written.
  template <typename U>
  void construct(U* at) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(at)) U;
  }
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }

  template <typename U>
  bool operator==(const BulkAllocator<U>& /*other*/) const noexcept {
    return true;
  }
};

// Bytes of a file or of parsed text.
using ByteBuffer = std::vector<char, BulkAllocator<char>>;

}  // namespace tarvo
