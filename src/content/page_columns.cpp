#include "content/page_columns.h"

#include <algorithm>

namespace tarvo {

namespace {

ColumnDefinition DefaultColumn(int number) {
  ColumnDefinition column;
  column.number = number;
  return column;
}

}  // namespace

std::vector<ShownColumn> ApplyColumns(PageInfo& info) {
  if (info.columns.empty()) {
    info.columns = {DefaultColumn(1), DefaultColumn(2)};
    info.highestColumn = 2;
  }
  std::vector<ShownColumn> shown;
  const std::size_t bound = std::min<std::size_t>(info.columns.size(), kShownColumns);
  for (std::size_t i = 0; i < bound; ++i) {
    const ColumnDefinition& column = info.columns[i];
    shown.push_back({column.visible ? column.width : 0, column.heading});
  }
  return shown;
}

void TrackColumnWidths(TopicPage& page, const std::vector<int>& viewWidths) {
  if (page.fileName.empty()) return;
  const std::size_t bound = std::min({page.info.columns.size(), viewWidths.size(),
                                      static_cast<std::size_t>(kShownColumns)});
  for (std::size_t i = 0; i < bound; ++i) {
    ColumnDefinition& column = page.info.columns[i];
    const int width = viewWidths[i];
    if (!column.visible && width > 0) {
      column.visible = true;
      column.width = width;
      page.info.changed = true;
    } else if (column.visible && width == 0) {
      column.visible = false;  // the last visible width stays, to come back to
      page.info.changed = true;
    } else if (column.visible && width != column.width) {
      column.width = width;
      page.info.changed = true;
    }
  }
}

}  // namespace tarvo
