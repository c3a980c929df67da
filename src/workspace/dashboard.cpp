#include "workspace/dashboard.h"

#include <algorithm>
#include <cctype>

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

bool KeyLess(const CategoryEntry& a, const CategoryEntry& b) { return a.key.view() < b.key.view(); }

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
  return daysDue >= 0 ? "+" + std::to_string(daysDue + 100000000) : " " + std::to_string(daysDue + 999999999);
}

void Dashboard::append(const TopicRecord& record) {
  if (record.isSection()) return;
  const std::string_view uni = record.uni.view();
  const auto add = [&](Category category, std::string_view key) {
    sorted_[Slot(category)].push_back({Folded(key), ShortText(uni)});
  };
  const bool task = record.isTask();
  const bool open = record.status != kFinished;
  if (task && open && record.daysDue < kDeadlineDays) add(Category::Deadlines, DueKey(record.daysDue));
  if (record.urgent) add(Category::Urgent, uni);
  if (task && record.statusText.view().find('-') != std::string_view::npos) add(Category::Overdue, DueKey(record.daysDue));
  if (InProgress(record)) add(Category::InProgress, record.sortKey.view());
  if (task && record.status == kWaiting) add(Category::Waiting, record.sortKey.view());
  if (record.ttype == kEvent && open && record.daysDue < kDeadlineDays) add(Category::Events, DueKey(record.daysDue));
  if (record.fav) add(Category::Favourites, record.sortKey.view());
}

void Dashboard::rebuild(const TopicTree& tree) {
  for (auto& list : sorted_) list.clear();
  std::vector<const TopicRecord*> records;
  tree.forEachInDisplayOrder([&records](const TopicNode& node, int) {
    if (node.record != nullptr) records.push_back(node.record);
  });
  // Last topic first, then a stable sort: among equal keys the later topic stays in front, as
  // one insert at a time would place it, without moving every entry at every insert.
  for (auto record = records.rbegin(); record != records.rend(); ++record) append(**record);
  for (auto& list : sorted_) {
    std::stable_sort(list.begin(), list.end(), KeyLess);
  }
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
  for (const CategoryEntry& entry : sorted_[Slot(category)]) {
    if (live(entry.uni)) shown.push_back(entry);
  }
  return shown;
}

std::string Dashboard::caption(Category category, const Workspace& workspace) const {
  // The sorted lists count as built (a rebuild takes only topics that exist); the recent lists
  // are kept between rebuilds, so theirs are counted as they would be shown.
  const bool recent = category == Category::New || category == Category::Changes;
  const std::size_t count = recent ? entries(category, workspace).size() : sorted_[Slot(category)].size();
  return WordsOf(category).prefix + std::to_string(count);
}

}  // namespace tarvo
