#pragma once

// The nine lists of the summary dashboard: what needs attention, at a glance. Seven are filled
// from the records' state at each rebuild (deadlines, urgent, overdue, in progress, waiting,
// events, favourites); two are the workspace's recent lists (new topics, changed topics). The
// lists hold topic ids, never records, so an entry whose topic has gone is simply dropped when
// the list is shown.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/short_text.h"

namespace tarvo {

struct TopicRecord;
class TopicTree;
class Workspace;

enum class Category {
  Deadlines, Urgent, Overdue, InProgress, Waiting, Events, New, Changes, Favourites,
};
inline constexpr int kCategoryCount = 9;

// The words of a category: the caption's prefix ("Overdue: "), the list dialog's title and
// the summary menu's item.
struct CategoryWords {
  const char* prefix;
  const char* title;
  const char* menuItem;
};
const CategoryWords& WordsOf(Category category);

// The text by which deadlines sort: overdue first (most overdue first), then by days ahead.
std::string DueKey(int daysDue);

// Short texts: a rebuild makes tens of thousands of entries, and their keys and ids fit inline.
struct CategoryEntry {
  ShortText key;  // folded to lower case
  ShortText uni;
  // The key's order as a number, so that sorting a hundred thousand entries compares integers:
  // for due keys the whole order, for other keys their first eight bytes.
  std::uint64_t rank = 0;
};

class Dashboard {
 public:
  // Fills the seven sorted lists from every topic of the tree: by key without regard to case,
  // and among equal keys the later topic of the tree first (sorted when first asked for).
  void rebuild(const TopicTree& tree);
  // The same fed topic by topic, from a pass over the tree that runs anyway (the tree's build):
  // clear(), then append() for every topic of the tree, the last first.
  void clear();
  // Adds the topic to the end of each list whose rule it meets (sections never); the lists are
  // sorted when first asked for.
  void append(const TopicRecord& record);

  // The entries of a category as they would be shown: the sorted ones as they are, the recent
  // ones from the workspace (newest first, at most 50), each without topics that are gone.
  [[nodiscard]] std::vector<CategoryEntry> entries(Category category, const Workspace& workspace) const;
  // The caption: prefix and count ("Overdue: 3").
  [[nodiscard]] std::string caption(Category category, const Workspace& workspace) const;

 private:
  // The list in its order, sorted now if it has not been since the last rebuild.
  [[nodiscard]] const std::vector<CategoryEntry>& sortedList(Category category) const;

  mutable std::array<std::vector<CategoryEntry>, kCategoryCount> lists_;
  mutable std::array<bool, kCategoryCount> sorted_{};
};

}  // namespace tarvo
