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

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
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
  return daysDue >= 0 ? "+" + std::to_string(daysDue + 100000000) : " " + std::to_string(daysDue + 999999999);
}

void Dashboard::insertSorted(std::vector<CategoryEntry>& list, std::string key, std::string uni) {
  const auto at = std::lower_bound(list.begin(), list.end(), key, [](const CategoryEntry& entry, const std::string& k) {
    return LessIgnoringCase(entry.key, k);
  });
  list.insert(at, {std::move(key), std::move(uni)});
}

void Dashboard::addTopic(const TopicRecord& record) {
  if (record.isSection()) return;
  const std::string uni = record.uni.str();
  const bool task = record.isTask();
  const bool open = record.status != kFinished;
  if (task && open && record.daysDue < kDeadlineDays) insertSorted(sorted_[Slot(Category::Deadlines)], DueKey(record.daysDue), uni);
  if (record.urgent) insertSorted(sorted_[Slot(Category::Urgent)], uni, uni);
  if (task && record.statusText.view().find('-') != std::string_view::npos) {
    insertSorted(sorted_[Slot(Category::Overdue)], DueKey(record.daysDue), uni);
  }
  if (InProgress(record)) insertSorted(sorted_[Slot(Category::InProgress)], record.sortKey.str(), uni);
  if (task && record.status == kWaiting) insertSorted(sorted_[Slot(Category::Waiting)], record.sortKey.str(), uni);
  if (record.ttype == kEvent && open && record.daysDue < kDeadlineDays) {
    insertSorted(sorted_[Slot(Category::Events)], DueKey(record.daysDue), uni);
  }
  if (record.fav) insertSorted(sorted_[Slot(Category::Favourites)], record.sortKey.str(), uni);
}

void Dashboard::rebuild(const TopicTree& tree) {
  for (auto& list : sorted_) list.clear();
  tree.forEachInDisplayOrder([this](const TopicNode& node, int) {
    if (node.record != nullptr) addTopic(*node.record);
  });
}

std::vector<CategoryEntry> Dashboard::entries(Category category, const Workspace& workspace) const {
  std::vector<CategoryEntry> shown;
  const auto live = [&](const std::string& uni) { return workspace.master().recordOf(uni) != nullptr; };
  if (category == Category::New || category == Category::Changes) {
    const ReferenceList& recent = category == Category::New ? workspace.recentNewList() : workspace.recentChangesList();
    for (const ReferenceList::Entry& entry : recent.entries()) {
      if (shown.size() == kRecentShown) break;
      if (live(entry.uni)) shown.push_back({entry.key, entry.uni});
    }
    return shown;
  }
  for (const CategoryEntry& entry : sorted_[Slot(category)]) {
    if (live(entry.uni)) shown.push_back(entry);
  }
  return shown;
}

std::string Dashboard::caption(Category category, const Workspace& workspace) const {
  return WordsOf(category).prefix + std::to_string(entries(category, workspace).size());
}

}  // namespace tarvo
