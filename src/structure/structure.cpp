#include "structure/structure.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cstdint>
#include <stdexcept>

namespace tarvo {
namespace {

// The number an id starts with; 0 for an id that starts otherwise.
long long IdNumber(std::string_view uni) {
  long long number = 0;
  for (const char digit : uni) {
    if (digit < '0' || digit > '9' || number > (LLONG_MAX - 9) / 10) break;
    number = number * 10 + (digit - '0');
  }
  return number;
}

}  // namespace

Structure::~Structure() { finishIndexing(); }

void Structure::finishIndexing() const {
  if (indexing_.joinable()) indexing_.join();
}

void Structure::append(std::unique_ptr<TopicRecord> record) {
  if (records_.size() >= UINT32_MAX) throw std::length_error("more topics than a structure can hold");
  record->masterIndex = static_cast<std::uint32_t>(records_.size());
  records_.push_back(std::move(record));
}

void Structure::index(TopicRecord* record) {
  byId_.insert(record);
  highestId_ = std::max(highestId_, IdNumber(record->uni));
}

TopicRecord* Structure::adopt(std::unique_ptr<TopicRecord> record) {
  finishIndexing();
  TopicRecord* raw = record.get();
  append(std::move(record));
  index(raw);
  return raw;
}

void Structure::adoptAll(std::vector<std::unique_ptr<TopicRecord>> records) {
  // Below this, a thread costs more than it saves.
  constexpr std::size_t kIndexedAside = 20000;
  finishIndexing();
  const std::size_t from = records_.size();
  const std::size_t count = records.size();
  records_.reserve(from + count);
  for (auto& record : records) append(std::move(record));
  const auto indexTheRest = [this, from] {
    byId_.reserve(records_.size());
    for (std::size_t i = from; i < records_.size(); ++i) index(records_[i].get());
  };
  if (count < kIndexedAside) {
    indexTheRest();
  } else {
    indexing_ = std::thread(indexTheRest);
  }
}

void Structure::noteId(std::string_view uni) {
  finishIndexing();
  highestId_ = std::max(highestId_, IdNumber(uni));
}

std::unique_ptr<TopicRecord> Structure::release(TopicRecord* record) {
  finishIndexing();
  assert(owns(record));
  const std::size_t index = record->masterIndex;
  byId_.erase(record);
  std::unique_ptr<TopicRecord> owned = std::move(records_[index]);
  // The last record fills the gap: releasing stays constant time at any size.
  if (index + 1 != records_.size()) {
    records_[index] = std::move(records_.back());
    records_[index]->masterIndex = static_cast<std::uint32_t>(index);
  }
  records_.pop_back();
  return owned;
}

void Structure::renameId(TopicRecord* record, std::string uni) {
  finishIndexing();
  byId_.erase(record);
  record->uni = std::move(uni);
  index(record);
}

std::vector<std::unique_ptr<TopicRecord>> Structure::reorder(const std::vector<TopicRecord*>& order) {
  finishIndexing();
  std::vector<std::unique_ptr<TopicRecord>> ordered;
  ordered.reserve(records_.size());
  for (TopicRecord* record : order) {
    if (!owns(record)) continue;  // not ours, or listed twice (its slot is empty by now)
    ordered.push_back(std::move(records_[record->masterIndex]));
  }
  std::vector<std::unique_ptr<TopicRecord>> rest;
  for (auto& record : records_) {
    if (record != nullptr) rest.push_back(std::move(record));
  }
  records_ = std::move(ordered);
  for (std::size_t i = 0; i < records_.size(); ++i) records_[i]->masterIndex = static_cast<std::uint32_t>(i);
  for (const auto& record : rest) byId_.erase(record.get());
  return rest;
}

void Structure::clear() {
  finishIndexing();
  byId_.clear();
  records_.clear();
}

TopicRecord* Structure::recordOf(std::string_view uni) const {
  finishIndexing();
  return byId_.find(uni);
}

bool Structure::owns(const TopicRecord* record) const {
  return record != nullptr && record->masterIndex < records_.size() &&
         records_[record->masterIndex].get() == record;
}

void ReferenceList::setOrder(Order order) {
  order_ = order;
  if (order_ == Order::Sorted) {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.key < b.key; });
  }
}

std::size_t ReferenceList::add(std::string key, std::string uni) {
  std::size_t at = entries_.size();
  if (order_ == Order::Sorted) {
    const auto after = std::upper_bound(
        entries_.begin(), entries_.end(), key,
        [](const std::string& wanted, const Entry& entry) { return wanted < entry.key; });
    at = static_cast<std::size_t>(after - entries_.begin());
  }
  insert(at, std::move(key), std::move(uni));
  return at;
}

void ReferenceList::insert(std::size_t index, std::string key, std::string uni) {
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(std::min(index, entries_.size())),
                  Entry{std::move(key), std::move(uni)});
}

void ReferenceList::removeAt(std::size_t index) {
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::size_t ReferenceList::find(std::string_view uni) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].uni == uni) return i;
  }
  return npos;
}

void RelinkList(ReferenceList& list, const Structure& master, int limit) {
  std::vector<ReferenceList::Entry> old = list.entries();
  list.clear();
  list.setOrder(limit == -1 ? ReferenceList::Order::Sorted : ReferenceList::Order::Insertion);
  bool dropped = false;
  std::size_t count = old.size();
  if (limit != -1 && static_cast<std::size_t>(std::max(limit, 0)) < count) {
    count = static_cast<std::size_t>(std::max(limit, 0));
    dropped = true;
  }
  for (std::size_t i = 0; i < count; ++i) {
    ReferenceList::Entry& entry = old[i];
    if (entry.uni.empty() || master.recordOf(entry.uni) == nullptr) {
      dropped = true;
      continue;
    }
    list.add(std::move(entry.key), std::move(entry.uni));
  }
  list.dirty = dropped;
}

}  // namespace tarvo
