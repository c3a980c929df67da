#pragma once

// The column layout of a checklist page's list view, kept in the page's information file: the
// first two definitions are bound to the view's two columns ("Item" and "Finished"), further
// ones are kept but not shown.

#include <string>
#include <vector>

#include "content/topic_pages.h"

namespace tarvo {

inline constexpr int kShownColumns = 2;

// What a bound view column shows: its width (0 hides it) and its caption (empty keeps the
// built-in one).
struct ShownColumn {
  int width = 100;
  std::string heading;
};

// Creates the two default definitions when the page has none, and gives what each bound view
// column must show.
std::vector<ShownColumn> ApplyColumns(PageInfo& info);

// Notes what the user did to the bound columns, given their widths in the view now: a hidden
// column widened is shown again, a column dragged to 0 is hidden (its last width kept), a new
// width is taken. Sets info.changed when anything differs. Pages without a content file keep
// no layout.
void TrackColumnWidths(TopicPage& page, const std::vector<int>& viewWidths);

}  // namespace tarvo
