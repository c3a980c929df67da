#include "structure/record_index.h"

#include <bit>
#include <functional>

#include "structure/topic_record.h"

namespace tarvo {

std::uint64_t RecordIndex::HashOf(std::string_view uni) { return std::hash<std::string_view>{}(uni); }

void RecordIndex::reserve(std::size_t count) {
  if (count * 2 > slots_.size()) grow(count);
}

void RecordIndex::grow(std::size_t count) {
  // At most half full, counting gone slots, so every probe ends soon at a null slot.
  const std::size_t capacity = std::bit_ceil(std::max<std::size_t>(16, count * 2 + 2));
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(capacity, Slot{});
  taken_ = 0;
  for (const Slot& slot : old) {
    if (slot.record == nullptr || slot.record == Gone()) continue;
    std::size_t at = slot.hash & mask();
    while (slots_[at].record != nullptr) at = (at + 1) & mask();
    slots_[at] = slot;
    ++taken_;
  }
}

void RecordIndex::insert(TopicRecord* record) {
  if ((taken_ + 1) * 2 > slots_.size()) grow(taken_ + 1);
  const std::uint64_t hash = HashOf(record->uni);
  std::size_t free = slots_.size();
  for (std::size_t at = hash & mask();; at = (at + 1) & mask()) {
    Slot& slot = slots_[at];
    if (slot.record == nullptr) {
      if (free == slots_.size()) {
        free = at;
        ++taken_;
      }
      break;
    }
    if (slot.record == Gone()) {
      if (free == slots_.size()) free = at;
    } else if (slot.hash == hash && slot.record->uni == record->uni) {
      return;  // the first of an id stays
    }
  }
  slots_[free] = {hash, record};
}

void RecordIndex::erase(const TopicRecord* record) {
  if (slots_.empty()) return;
  for (std::size_t at = HashOf(record->uni) & mask(); slots_[at].record != nullptr; at = (at + 1) & mask()) {
    if (slots_[at].record == record) {
      slots_[at].record = Gone();
      return;
    }
  }
}

TopicRecord* RecordIndex::find(std::string_view uni) const {
  if (slots_.empty()) return nullptr;
  const std::uint64_t hash = HashOf(uni);
  for (std::size_t at = hash & mask(); slots_[at].record != nullptr; at = (at + 1) & mask()) {
    const Slot& slot = slots_[at];
    if (slot.record != Gone() && slot.hash == hash && slot.record->uni == uni) return slot.record;
  }
  return nullptr;
}

void RecordIndex::clear() {
  slots_.clear();
  taken_ = 0;
}

}  // namespace tarvo
