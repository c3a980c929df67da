#pragma once

// Memory for the many small objects of a large tree (topic records and their nodes), taken
// from the kernel in blocks (64 KiB at first, doubling up to 8 MiB).
//
// Why: on the virtual machines this runs on, the first touch of a fresh small page costs
// several microseconds, even after the page was populated, and a tree of a million topics
// touches some 400 MB. Blocks of 2 MiB and more therefore ask for huge pages, one fault per
// 2 MiB: measured, 256 MB first written in about 20 ms instead of 400-700 ms. (The first such
// run after memory filled up may wait for the kernel to gather huge pages; later runs do not.)
// Smaller blocks, and every block where the system offers no huge pages, are populated in one
// call when mapped, which halves the cost of their first touch.
//
// Freed slots are kept for the next objects of the same kind; blocks go back to the kernel
// only when the process ends. Under AddressSanitizer every slot comes from the ordinary heap,
// so use after free is still caught.
//
// Threading: one pool per kind, used from one thread (the user-interface thread).

#include <cstddef>
#include <vector>

namespace tarvo {

class SlabPool {
 public:
  explicit SlabPool(std::size_t slotBytes);
  SlabPool(const SlabPool&) = delete;
  SlabPool& operator=(const SlabPool&) = delete;

  void* allocate();
  void release(void* slot) noexcept;
  // Takes over the freed slots of another pool of the same slot size (both idle meanwhile).
  void takeFreeSlots(SlabPool& other) noexcept;

 private:
  std::size_t slotBytes_;
  void* freeSlots_ = nullptr;  // a list threaded through the freed slots
  char* next_ = nullptr;       // the untouched rest of the newest block
  char* end_ = nullptr;
  std::vector<void*> blocks_;
};

}  // namespace tarvo
