#include "workspace/dashboard.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

#include "structure/topic_record.h"
#include "structure/topic_tree.h"
#include "workspace/workspace.h"

namespace tarvo {
namespace {

constexpr int kDeadlineDays = 43;  // six weeks ahead, counting today
constexpr std::size_t kRecentShown = 50;

std::size_t Slot(Category category) { return static_cast<std::size_t>(category); }

// Keys compare without regard to case: they are folded once, when they are made, so that a
// sort of a hundred thousand entries compares plain bytes.
ShortText Folded(std::string_view typed) {
  char folded[64];
  if (typed.size() > sizeof folded) {
    std::string longer(typed);
    for (char& c : longer) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ShortText(longer);
  }
  for (std::size_t i = 0; i < typed.size(); ++i) {
    folded[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(typed[i])));
  }
  return ShortText(std::string_view(folded, typed.size()));
}

// The first eight bytes big-endian: a shorter key is padded with zero bytes, which keeps it
// ahead of every longer key it begins, as text order has it.
std::uint64_t PrefixRank(std::string_view key) {
  std::uint64_t rank = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    rank = rank << 8 | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0U);
  }
  return rank;
}

// Due keys order as the days do: overdue (negative) first, the most overdue first.
std::uint64_t DueRank(int daysDue) {
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(daysDue) - std::numeric_limits<int>::min());
}

// Sorts a list by rank, then (for text keys longer than their rank) by key, then by place, so
// that equal keys keep the order in which they were added. The places are sorted, not the
// entries: sixteen bytes a move and integer compares, where most of a rebuild's time went.
void SortByRank(std::vector<CategoryEntry>& list, bool rankIsWhole) {
  struct Place {
    std::uint64_t rank;
    std::size_t at;
  };
  std::vector<Place> places(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) places[i] = {list[i].rank, i};
  std::sort(places.begin(), places.end(), [&](const Place& a, const Place& b) {
    if (a.rank != b.rank) return a.rank < b.rank;
    if (!rankIsWhole) {
      const std::string_view keyA = list[a.at].key.view();
      const std::string_view keyB = list[b.at].key.view();
      // Equal ranks mean equal first eight bytes: only a longer key can still differ.
      if ((keyA.size() > 8 || keyB.size() > 8) && keyA != keyB) return keyA < keyB;
    }
    return a.at < b.at;
  });
  std::vector<CategoryEntry> sorted;
  sorted.reserve(list.size());
  for (const Place& place : places) sorted.push_back(std::move(list[place.at]));
  list = std::move(sorted);
}

bool SortsByDue(Category category) {
  return category == Category::Deadlines || category == Category::Overdue || category == Category::Events;
}

bool InProgress(const TopicRecord& record) {
  if (record.isTask()) {
    return record.status != kFinished &&
           (record.status == kInProgress || (record.progress >= 1 && record.progress <= 99));
  }
  return record.ttype == kEvent && record.status == kInProgress;
}

}  // namespace

const CategoryWords& WordsOf(Category category) {
  static const std::array<CategoryWords, kCategoryCount> words = {{
      {"Deadlines: ", "Task deadlines in the next six weeks", "Deadlines next 2 weeks"},
      {"Urgent: ", "Urgent topics", "Urgent"},
      {"Overdue: ", "Tasks overdue", "Overdue"},
      {"In progress: ", "Tasks in progress", "In progress"},
      {"Waiting: ", "Tasks waiting", "Tasks waiting"},
      {"Events: ", "Events in the next six weeks", "Events next 2 weeks"},
      {"New: ", "Recent new topics - latest first", "New topics"},
      {"Changes: ", "Recent changes - latest first", "Changed topics"},
      {"Favourites: ", "Favourites", "Favourites"},
  }};
  return words[Slot(category)];
}

std::string DueKey(int daysDue) {
  char text[16];
  text[0] = daysDue >= 0 ? '+' : ' ';
  const int number = daysDue >= 0 ? daysDue + 100000000 : daysDue + 999999999;
  const auto written = std::to_chars(text + 1, text + sizeof text, number);
  return std::string(text, written.ptr);
}

void Dashboard::append(const TopicRecord& record) {
  if (record.isSection()) return;
  const std::string_view uni = record.uni.view();
  const auto add = [&](Category category, std::string_view key) {
    ShortText folded = Folded(key);
    const std::uint64_t rank = PrefixRank(folded.view());
    lists_[Slot(category)].push_back({std::move(folded), ShortText(uni), rank});
  };
  const auto addDue = [&](Category category) {
    lists_[Slot(category)].push_back({DueKey(record.daysDue), ShortText(uni), DueRank(record.daysDue)});
  };
  const bool task = record.isTask();
  const bool open = record.status != kFinished;
  if (task && open && record.daysDue < kDeadlineDays) addDue(Category::Deadlines);
  if (record.urgent) add(Category::Urgent, uni);
  if (task && record.statusText.view().find('-') != std::string_view::npos) addDue(Category::Overdue);
  if (InProgress(record)) add(Category::InProgress, record.sortKey.view());
  if (task && record.status == kWaiting) add(Category::Waiting, record.sortKey.view());
  if (record.ttype == kEvent && open && record.daysDue < kDeadlineDays) addDue(Category::Events);
  if (record.fav) add(Category::Favourites, record.sortKey.view());
}

void Dashboard::clear() {
  for (auto& list : lists_) list.clear();
  sorted_.fill(false);
}

void Dashboard::rebuild(const TopicTree& tree) {
  clear();
  std::vector<const TopicRecord*> records;
  tree.forEachInDisplayOrder([&records](const TopicNode& node, int) {
    if (node.record != nullptr) records.push_back(node.record);
  });
  // Last topic first, then a stable sort: among equal keys the later topic stays in front, as
  // one insert at a time would place it, without moving every entry at every insert. The sort
  // waits until a list is shown: a rebuild runs at every tick of the deadline timer, and only
  // the counts are shown then.
  for (auto record = records.rbegin(); record != records.rend(); ++record) append(**record);
}

const std::vector<CategoryEntry>& Dashboard::sortedList(Category category) const {
  const std::size_t slot = Slot(category);
  if (!sorted_[slot]) {
    SortByRank(lists_[slot], SortsByDue(category));
    sorted_[slot] = true;
  }
  return lists_[slot];
}

std::vector<CategoryEntry> Dashboard::entries(Category category, const Workspace& workspace) const {
  std::vector<CategoryEntry> shown;
  const auto live = [&](std::string_view uni) { return workspace.master().recordOf(uni) != nullptr; };
  if (category == Category::New || category == Category::Changes) {
    const ReferenceList& recent = category == Category::New ? workspace.recentNewList() : workspace.recentChangesList();
    for (const ReferenceList::Entry& entry : recent.entries()) {
      if (shown.size() == kRecentShown) break;
      if (live(entry.uni)) shown.push_back({ShortText(entry.key), ShortText(entry.uni)});
    }
    return shown;
  }
  for (const CategoryEntry& entry : sortedList(category)) {
    if (live(entry.uni)) shown.push_back(entry);
  }
  return shown;
}

std::string Dashboard::caption(Category category, const Workspace& workspace) const {
  // The sorted lists count as built (a rebuild takes only topics that exist); the recent lists
  // are kept between rebuilds, so theirs are counted as they would be shown.
  const bool recent = category == Category::New || category == Category::Changes;
  const std::size_t count = recent ? entries(category, workspace).size() : lists_[Slot(category)].size();
  return WordsOf(category).prefix + std::to_string(count);
}

}  // namespace tarvo
