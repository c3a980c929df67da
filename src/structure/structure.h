#pragma once

// The master list of topic records: it owns every record of the tree and finds each by its
// unique id in constant time.
//
// Order: the records stay in the order they were loaded (the structure file's display order)
// until the tree changes; from then on the tree holds the order, and RebuildFromTree brings the
// list back in step before a save. Taking a record out (`release`) hands its ownership to the
// caller, who puts it back with `adopt` or lets it die.
//
// Threading: user-interface thread only. A large load indexes its records on a thread of its
// own (see adoptAll), which every use of the index waits for.

#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "structure/record_index.h"
#include "structure/topic_record.h"

namespace tarvo {

class Structure {
 public:
  Structure() = default;
  Structure(const Structure&) = delete;
  Structure& operator=(const Structure&) = delete;
  ~Structure();

  std::string path;        // the file the list is stored in
  std::string uniquePath;  // the unique-id counter file
  bool dirty = false;      // repaired or changed outside the undo stack since the last save
  bool freshCopy = false;  // the default structure file was copied in at start
  SendTypes sendTypes;     // section types whose topics may be sent

  [[nodiscard]] std::size_t size() const { return records_.size(); }
  [[nodiscard]] bool empty() const { return records_.empty(); }
  [[nodiscard]] TopicRecord* record(std::size_t index) const { return records_[index].get(); }

  // Takes a record over, at the end of the order.
  TopicRecord* adopt(std::unique_ptr<TopicRecord> record);
  // Takes these records over, in their order, as adopt does one by one. A load of many records
  // is indexed by id on another thread meanwhile: the tree is built from the list while that
  // runs, and only a use of the ids (a lookup, a rename, the highest id) waits for it.
  void adoptAll(std::vector<std::unique_ptr<TopicRecord>> records);
  // Hands a record of this list back to the caller; the order of the others may change.
  std::unique_ptr<TopicRecord> release(TopicRecord* record);
  // Gives a record of the list a new id.
  void renameId(TopicRecord* record, std::string uni);
  // Puts the records in this order: first those listed (each at most once), then the rest.
  // The rest are returned, so that the caller decides what becomes of them.
  std::vector<std::unique_ptr<TopicRecord>> reorder(const std::vector<TopicRecord*>& order);
  // Destroys every record.
  void clear();

  // The record with this id, or null.
  [[nodiscard]] TopicRecord* recordOf(std::string_view uni) const;
  // The highest number any id of the list has held (ids that are not numbers aside), so new
  // ids can start above it.
  [[nodiscard]] long long highestId() const {
    finishIndexing();
    return highestId_;
  }
  void noteId(std::string_view uni);
  [[nodiscard]] bool owns(const TopicRecord* record) const;

 private:
  // Waits for the indexing thread of a large adoptAll, if one runs.
  void finishIndexing() const;
  // Puts a record at the end of the list, and into the index and the highest id.
  void append(std::unique_ptr<TopicRecord> record);
  void index(TopicRecord* record);

  std::vector<std::unique_ptr<TopicRecord>> records_;
  RecordIndex byId_;  // an id changes only through renameId, which keeps this in step
  long long highestId_ = 0;
  // Indexes the records [from, size) while it runs; reads their ids and nothing else, and the
  // list does not change until it ended.
  mutable std::thread indexing_;
};

// A list of references to records by unique id, each under a sort key (the id itself for the
// recent lists, the due key for the dashboard lists). Sorted lists keep ascending keys with
// duplicates in insertion order; the others keep insertion order. Ids, never addresses: a
// record that is gone is simply not found.
class ReferenceList {
 public:
  enum class Order { Insertion, Sorted };

  struct Entry {
    std::string key;
    std::string uni;
  };

  explicit ReferenceList(Order order = Order::Insertion) : order_(order) {}

  std::string path;    // the file the list is stored in
  bool dirty = false;  // changed since the last save

  [[nodiscard]] Order order() const { return order_; }
  void setOrder(Order order);
  [[nodiscard]] std::size_t size() const { return entries_.size(); }
  [[nodiscard]] bool empty() const { return entries_.empty(); }
  [[nodiscard]] const Entry& entry(std::size_t index) const { return entries_[index]; }
  [[nodiscard]] const std::vector<Entry>& entries() const { return entries_; }

  // Adds in key order for a sorted list (after equal keys), at the end otherwise.
  std::size_t add(std::string key, std::string uni);
  std::size_t add(const std::string& uni) { return add(uni, uni); }
  void insert(std::size_t index, std::string key, std::string uni);
  void removeAt(std::size_t index);
  void clear() { entries_.clear(); }
  // The index of the first entry of this id, or npos.
  [[nodiscard]] std::size_t find(std::string_view uni) const;

  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

 private:
  Order order_;
  std::vector<Entry> entries_;
};

// Keeps the entries of `list` whose records the master still holds: with `limit` ≥ 0 only the
// first `limit` of them, in order; with -1 all of them, the list becoming sorted. The dirty
// flag ends set exactly when something was dropped.
void RelinkList(ReferenceList& list, const Structure& master, int limit);

}  // namespace tarvo
