#pragma once

// Memory for the many small objects of a large tree (topic records and their nodes), taken
// from the kernel in blocks (64 KiB at first, doubling up to 8 MiB) that are filled in with
// pages at once.
//
// Why: on the virtual machines this runs on, a fresh page costs about ten microseconds when
// it is first touched one at a time, and a tenth of that when a whole block is populated in
// one call; a tree of a million topics touches half a gigabyte, so the difference is more than
// a second of start-up. Plain huge pages were no answer: their compaction makes the same start
// take twice as long from one run to the next.
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
