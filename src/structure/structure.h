#pragma once

// The ordered, keyed list of topic records.
//
// One instance is the master list: it owns every record of the tree, keys them by unique id
// and keeps them in the tree's display order. Other instances are reference lists (the
// dashboard lists, recent changes, new topics): their entries point at records the master
// owns and own nothing. A reference list is either sorted (ascending by key, duplicates kept
// in insertion order) or in insertion order.
//
// Threading: user-interface thread only.

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "structure/topic_record.h"

namespace tarvo {

class Structure {
 public:
  enum class Order { Insertion, SortedWithDuplicates };

  struct Entry {
    std::string key;
    TopicRecord* record = nullptr;  // may be null: a key not bound to a record yet
  };

  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  explicit Structure(Order order = Order::Insertion) : order_(order) {}
  Structure(const Structure&) = delete;
  Structure& operator=(const Structure&) = delete;
  ~Structure();

  std::string path;        // the file the list is stored in
  std::string uniquePath;  // the unique-id counter file (master list only)
  bool dirty = false;      // changed since the last save
  bool freshCopy = false;  // the default structure file was copied in at start
  SendTypes sendTypes;     // section types whose topics may be sent (master list)

  [[nodiscard]] Order order() const { return order_; }
  void setOrder(Order order);
  [[nodiscard]] std::size_t size() const { return entries_.size(); }
  [[nodiscard]] bool empty() const { return entries_.empty(); }
  [[nodiscard]] const Entry& entry(std::size_t index) const { return entries_[index]; }
  [[nodiscard]] TopicRecord* record(std::size_t index) const { return entries_[index].record; }
  [[nodiscard]] const std::vector<Entry>& entries() const { return entries_; }

  // Adds in key order for a sorted list (after equal keys), at the end otherwise.
  std::size_t add(std::string key, TopicRecord* record);
  void insert(std::size_t index, std::string key, TopicRecord* record);
  void removeAt(std::size_t index);
  // Takes the entries [first, end) out and returns them.
  std::vector<Entry> take(std::size_t first, std::size_t end);
  void insert(std::size_t index, std::vector<Entry> entries);
  void renameKey(std::size_t index, std::string key);
  // Empties the list; records stay (the master keeps owning them).
  void clear();

  // The index of the first entry with this key, or npos.
  [[nodiscard]] std::size_t find(std::string_view key) const;
  [[nodiscard]] TopicRecord* recordOf(std::string_view key) const;

  // Ownership, master list only: takes a record over and returns it.
  TopicRecord* adopt(std::unique_ptr<TopicRecord> record);
  // Destroys an owned record; the caller has removed its entries.
  void release(TopicRecord* record);
  [[nodiscard]] bool owns(const TopicRecord* record) const;
  [[nodiscard]] std::size_t ownedCount() const { return owned_.size(); }
  // Destroys every owned record that no entry of the list holds any more.
  void releaseUnlisted();

 private:
  void invalidateIndex() { indexValid_ = false; }

  Order order_;
  std::vector<Entry> entries_;
  std::unordered_map<const TopicRecord*, std::unique_ptr<TopicRecord>> owned_;
  // First index of each key, built on demand for lookups in large insertion-order lists.
  mutable std::unordered_map<std::string_view, std::size_t> index_;
  mutable bool indexValid_ = false;
};

// Makes the entries of `list` point at the records now in `master`: entries whose record is
// gone (or whose key is empty) are dropped; with `limit` ≥ 0 only the first `limit` entries are
// kept, in order, otherwise the list becomes sorted with duplicates. The dirty flag ends set
// exactly when something was dropped.
void RelinkList(Structure& list, const Structure& master, int limit);

}  // namespace tarvo
