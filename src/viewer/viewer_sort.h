#pragma once

// The sort in force in the viewer windows, and its rules. One state serves all the windows of
// a run (the registry of viewer windows owns it), so a sort made in one window is not restored
// when another loads; every load starts unsorted.

#include <optional>
#include <string>

#include "store/file_system.h"
#include "viewer/display_format.h"

namespace tarvo {

class ViewerSort {
 public:
  [[nodiscard]] int column() const { return column_; }
  [[nodiscard]] bool ascending() const { return ascending_; }
  [[nodiscard]] bool active() const { return column_ != -1; }

  // A click on a column heading: the sorted column again flips the direction; another column
  // is sorted ascending.
  void click(int column);
  // A load starts unsorted.
  void clear();
  // A refresh keeps the sort that was in force.
  void restore(int column, bool ascending) {
    column_ = column;
    ascending_ = ascending;
  }
  // The sort a format stores for opening, when it asks for one on a column of the table;
  // false when it asks for none.
  bool restoreFrom(const DisplayFormat& format, int columnCount);
  // "OK" of the options dialog changed whether the file opens sorted: the format takes the
  // sort in force (or none).
  void storeInto(DisplayFormat& format) const;

 private:
  int column_ = -1;
  bool ascending_ = false;
};

// Whether a shown file must be loaded again on the refresh timer: refreshing is on, the file
// itself is shown (not an older copy), and it is there with another size or time than it had
// when it was loaded.
bool NeedsReload(bool autorefresh, bool showingOwnFile, const std::optional<FileStamp>& loaded,
                 const std::string& path);

}  // namespace tarvo
