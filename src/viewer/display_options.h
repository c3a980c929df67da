#pragma once

// The rules of the display options dialog, apart from its widgets: which choices are open
// given the others, and how the confirmed choices change the display format.

#include <string>
#include <vector>

#include "viewer/display_format.h"

namespace tarvo {

// What the dialog's check boxes and boxes hold.
struct DisplayChoices {
  int fontSize = 10;
  bool openEnd = false;
  bool columns = false;
  bool headings = false;
  bool headingsFromFile = false;
  std::string headingFile;
  bool rotated = false;
  bool sorted = false;
  bool showTemplate = false;
  bool doubledQuotes = false;

  static DisplayChoices Of(const DisplayFormat& format);
};

// Which controls are enabled.
struct DisplayEnabling {
  bool headings = false;
  bool headingsFromFile = false;
  bool headingFileBox = false;  // the box and its "Select file" button
  bool rotated = false;          // never: rotated tables are chosen by the opener
  bool sorted = false;
  bool columnList = false;       // the column list and "Reset column details"
  bool doubledQuotes = false;    // with columns only
  bool showTemplate = false;     // never
};

// Applies the rules after opening or a click: one heading source excludes the other, and
// everything about columns needs "The file has columns". May untick a heading source.
DisplayEnabling ApplyDisplayRules(DisplayChoices& choices, bool sortActive);

// One row of the dialog's column list.
struct ColumnRow {
  std::string heading;
  std::string type;
  std::string display;
};

std::vector<ColumnRow> ColumnRowsOf(DisplayFormat& format);
// "Reset column details": headings from the file's field names; types, widths and display
// choices of existing columns stay.
void ResetColumnHeadings(DisplayFormat& format);
// "OK": sets reloadNeeded and sortOptionChanged as the changes require and takes the choices
// (and, when columnsChanged, the rows) into the format.
void ConfirmDisplayChoices(DisplayFormat& format, const DisplayChoices& choices,
                           const std::vector<ColumnRow>& rows);
// "Cancel".
void CancelDisplayChoices(DisplayFormat& format);

}  // namespace tarvo
