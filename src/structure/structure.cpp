#include "structure/structure.h"

#include <algorithm>
#include <unordered_set>

namespace tarvo {

Structure::~Structure() = default;

void Structure::setOrder(Order order) {
  order_ = order;
  if (order_ == Order::SortedWithDuplicates) {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.key < b.key; });
    invalidateIndex();
  }
}

std::size_t Structure::add(std::string key, TopicRecord* record) {
  std::size_t at = entries_.size();
  if (order_ == Order::SortedWithDuplicates) {
    const auto after = std::upper_bound(
        entries_.begin(), entries_.end(), key,
        [](const std::string& wanted, const Entry& entry) { return wanted < entry.key; });
    at = static_cast<std::size_t>(after - entries_.begin());
  }
  insert(at, std::move(key), record);
  return at;
}

void Structure::insert(std::size_t index, std::string key, TopicRecord* record) {
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(std::min(index, entries_.size())),
                  Entry{std::move(key), record});
  invalidateIndex();
}

void Structure::removeAt(std::size_t index) {
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  invalidateIndex();
}

std::vector<Structure::Entry> Structure::take(std::size_t first, std::size_t end) {
  const auto from = entries_.begin() + static_cast<std::ptrdiff_t>(first);
  const auto to = entries_.begin() + static_cast<std::ptrdiff_t>(end);
  std::vector<Entry> taken(std::make_move_iterator(from), std::make_move_iterator(to));
  entries_.erase(from, to);
  invalidateIndex();
  return taken;
}

void Structure::insert(std::size_t index, std::vector<Entry> entries) {
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(std::min(index, entries_.size())),
                  std::make_move_iterator(entries.begin()), std::make_move_iterator(entries.end()));
  invalidateIndex();
}

void Structure::renameKey(std::size_t index, std::string key) {
  entries_[index].key = std::move(key);
  invalidateIndex();
  if (order_ == Order::SortedWithDuplicates) setOrder(order_);
}

void Structure::clear() {
  entries_.clear();
  invalidateIndex();
}

std::size_t Structure::find(std::string_view key) const {
  if (order_ == Order::SortedWithDuplicates) {
    const auto first = std::lower_bound(
        entries_.begin(), entries_.end(), key,
        [](const Entry& entry, std::string_view wanted) { return entry.key < wanted; });
    if (first != entries_.end() && first->key == key) {
      return static_cast<std::size_t>(first - entries_.begin());
    }
    return npos;
  }
  if (entries_.size() < 64) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i].key == key) return i;
    }
    return npos;
  }
  if (!indexValid_) {
    index_.clear();
    index_.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) index_.emplace(entries_[i].key, i);
    indexValid_ = true;
  }
  const auto found = index_.find(key);
  return found == index_.end() ? npos : found->second;
}

TopicRecord* Structure::recordOf(std::string_view key) const {
  const std::size_t index = find(key);
  return index == npos ? nullptr : entries_[index].record;
}

TopicRecord* Structure::adopt(std::unique_ptr<TopicRecord> record) {
  TopicRecord* raw = record.get();
  owned_.emplace(raw, std::move(record));
  return raw;
}

void Structure::release(TopicRecord* record) { owned_.erase(record); }

bool Structure::owns(const TopicRecord* record) const {
  return record != nullptr && owned_.contains(record);
}

void Structure::releaseUnlisted() {
  std::unordered_set<const TopicRecord*> listed;
  listed.reserve(entries_.size());
  for (const Entry& entry : entries_) listed.insert(entry.record);
  std::erase_if(owned_, [&listed](const auto& owned) { return !listed.contains(owned.first); });
}

void RelinkList(Structure& list, const Structure& master, int limit) {
  std::vector<Structure::Entry> old = list.entries();
  list.clear();
  list.setOrder(limit == -1 ? Structure::Order::SortedWithDuplicates : Structure::Order::Insertion);
  bool dropped = false;
  std::size_t count = old.size();
  if (limit != -1 && static_cast<std::size_t>(std::max(limit, 0)) < count) {
    count = static_cast<std::size_t>(std::max(limit, 0));
    dropped = true;
  }
  for (std::size_t i = 0; i < count; ++i) {
    const Structure::Entry& entry = old[i];
    if (entry.key.empty()) continue;
    // A record released meanwhile is no longer owned by the master: fall back on the key.
    const std::string& id = master.owns(entry.record) ? entry.record->uni : entry.key;
    TopicRecord* current = master.recordOf(id);
    if (current == nullptr) {
      dropped = true;
      continue;
    }
    list.add(entry.key, current);
  }
  list.dirty = dropped;
}

}  // namespace tarvo
