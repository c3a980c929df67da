#include "viewer/viewer_sort.h"

namespace tarvo {

void ViewerSort::click(int column) {
  if (column == column_) {
    ascending_ = !ascending_;
  } else {
    column_ = column;
    ascending_ = true;
  }
}

void ViewerSort::clear() { column_ = -1; }

bool ViewerSort::restoreFrom(const DisplayFormat& format, int columnCount) {
  if (!format.sorted || format.sortColumn < 0 || format.sortColumn >= columnCount) return false;
  column_ = format.sortColumn;
  ascending_ = format.ascending;
  return true;
}

void ViewerSort::storeInto(DisplayFormat& format) const {
  if (format.sorted) {
    format.sortColumn = column_;
    format.ascending = ascending_;
  } else {
    format.sortColumn = -1;
    format.ascending = false;
  }
}

bool NeedsReload(bool autorefresh, bool showingOwnFile, const std::optional<FileStamp>& loaded,
                 const std::string& path) {
  if (!autorefresh || !showingOwnFile) return false;
  const std::optional<FileStamp> now = fileSystem().stamp(path);
  return now.has_value() && now != loaded;
}

}  // namespace tarvo
