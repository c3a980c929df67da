#include "base/slab_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

namespace tarvo {
namespace {

// Slots from small blocks and from the large ones mapped in huge pages are aligned, never
// overlap and keep what is written to them; a freed slot serves the next object.
TEST(SlabPool, SlotsAcrossEveryBlockSizeAreAlignedApartAndKeepTheirBytes) {
  constexpr std::size_t kSlotBytes = 40;  // rounded up to the alignment: 48
  constexpr std::size_t kSlots = 600000;  // about 29 MB: blocks from 64 KiB up to 8 MiB
  SlabPool pool(kSlotBytes);
  std::vector<unsigned char*> slots;
  slots.reserve(kSlots);
  for (std::size_t i = 0; i < kSlots; ++i) {
    auto* slot = static_cast<unsigned char*>(pool.allocate());
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(slot) % alignof(std::max_align_t), 0u) << i;
    std::memset(slot, static_cast<int>(i % 251), kSlotBytes);
    slots.push_back(slot);
  }
  for (std::size_t i = 0; i < kSlots; ++i) {
    ASSERT_EQ(slots[i][0], i % 251) << i;
    ASSERT_EQ(slots[i][kSlotBytes - 1], i % 251) << i;
  }
  const std::set<unsigned char*> distinct(slots.begin(), slots.end());
  EXPECT_EQ(distinct.size(), kSlots);

#if !defined(__SANITIZE_ADDRESS__)  // there every slot comes from the ordinary heap
  pool.release(slots[12345]);
  pool.release(slots[99]);
  EXPECT_EQ(pool.allocate(), slots[99]) << "the last freed first";
  EXPECT_EQ(pool.allocate(), slots[12345]);
#else
  for (unsigned char* slot : slots) pool.release(slot);
#endif
}

}  // namespace
}  // namespace tarvo
