#include "base/slab_pool.h"

#include <sys/mman.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <cstdint>
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
constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

char* MapBlock(std::size_t bytes) {
  void* block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (block == MAP_FAILED) throw std::bad_alloc();
  return static_cast<char*>(block);
}

// Whether the system gives huge pages to memory that asks for them.
bool HugePagesOffered() {
  static const bool offered = [] {
    std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    std::getline(setting, modes);
    return modes.find("[always]") != std::string::npos || modes.find("[madvise]") != std::string::npos;
  }();
  return offered;
}

// A large block in huge pages: one fault for 2 MiB instead of 512 populated small pages. On the
// virtual machines this runs on, the first touch of each small page costs about six
// microseconds even once it is populated; a million topics touch some 400 MB.
char* MapHugeBlock(std::size_t bytes) {
  void* mapped = ::mmap(nullptr, bytes + kHugePageBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto address = reinterpret_cast<std::uintptr_t>(mapped);
  char* aligned = static_cast<char*>(mapped) + ((kHugePageBytes - address % kHugePageBytes) % kHugePageBytes);
  if (::madvise(aligned, bytes, MADV_HUGEPAGE) != 0) {
    ::munmap(mapped, bytes + kHugePageBytes);
    return MapBlock(bytes);
  }
  return aligned;
}

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
    char* block = bytes >= kHugePageBytes && HugePagesOffered() ? MapHugeBlock(bytes) : MapBlock(bytes);
    blocks_.push_back(block);
    next_ = block;
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
