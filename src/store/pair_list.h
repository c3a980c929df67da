#pragma once

// The keys and values of a pair file, in file order.
//
// All text lives in one block and each pair is a small entry pointing into it: a large pair
// file holds millions of pairs, and one string object per key and value would cost several
// times the file's size in memory and time. Views returned by key() and value() stay valid
// until the list is changed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/bulk_allocator.h"

namespace tarvo {

struct DataFile;

class PairList {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  [[nodiscard]] std::size_t size() const { return entries_.size(); }
  [[nodiscard]] bool empty() const { return entries_.empty(); }
  [[nodiscard]] std::string_view key(std::size_t index) const {
    const Entry& entry = entries_[index];
    return {text_.data() + entry.start, entry.keyLength};
  }
  [[nodiscard]] std::string_view value(std::size_t index) const {
    const Entry& entry = entries_[index];
    return {text_.data() + entry.start + entry.keyLength, entry.valueLength};
  }
  // The index of the first pair with this key, or npos.
  [[nodiscard]] std::size_t find(std::string_view key) const;
  // The value of the first pair with this key, or `fallback`.
  [[nodiscard]] std::string_view valueOf(std::string_view key, std::string_view fallback = {}) const;

  void add(std::string_view key, std::string_view value);
  void clear();
  void reserve(std::size_t pairs, std::size_t textBytes);

 private:
  friend void ReadPairs(DataFile& file, PairList& pairs);

  struct Entry {
    std::uint64_t start;       // the key's first byte in text_; the value follows the key
    std::uint32_t keyLength;
    std::uint32_t valueLength;
  };

  ByteBuffer text_;
  std::vector<Entry, BulkAllocator<Entry>> entries_;
};

}  // namespace tarvo
