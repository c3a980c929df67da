#pragma once

// The master list's index of records by unique id: open addressing over one flat array, each
// slot holding the id's hash beside the record, so a probe reads a record only when the
// hashes agree. At a million records, a node per record (std::unordered_map) or keys compared
// through the records (a hash over views) cost a cache miss per step; here a lookup costs about
// one. Of two records with one id (a damaged file), the first stays the one found.

#include <cstdint>
#include <string_view>
#include <vector>

namespace tarvo {

struct TopicRecord;

class RecordIndex {
 public:
  void reserve(std::size_t count);
  void insert(TopicRecord* record);
  // Forgets this record (not another one of the same id).
  void erase(const TopicRecord* record);
  [[nodiscard]] TopicRecord* find(std::string_view uni) const;
  void clear();

 private:
  struct Slot {
    std::uint64_t hash = 0;
    TopicRecord* record = nullptr;  // null: never used; Gone(): used once, free again
  };
  // A mark that is no record: compared with, never followed.
  static TopicRecord* Gone() {
    static char mark;
    return reinterpret_cast<TopicRecord*>(&mark);
  }
  static std::uint64_t HashOf(std::string_view uni);
  void grow(std::size_t count);
  [[nodiscard]] std::size_t mask() const { return slots_.size() - 1; }

  std::vector<Slot> slots_;
  std::size_t taken_ = 0;  // slots not null: records and gone ones
};

}  // namespace tarvo
