#include "viewer/display_options.h"

namespace tarvo {

DisplayChoices DisplayChoices::Of(const DisplayFormat& format) {
  DisplayChoices choices;
  choices.fontSize = format.fontSize;
  choices.openEnd = format.openEnd;
  choices.columns = format.columns;
  choices.headings = format.headings;
  choices.headingsFromFile = format.headingsFromFile;
  choices.headingFile = format.headingFile;
  choices.rotated = format.rotated;
  choices.sorted = format.sorted;
  choices.showTemplate = format.showTemplate;
  choices.doubledQuotes = format.doubledQuotes;
  return choices;
}

DisplayEnabling ApplyDisplayRules(DisplayChoices& choices, bool sortActive) {
  DisplayEnabling enabling;
  if (!choices.columns) return enabling;
  enabling.columnList = true;
  enabling.doubledQuotes = true;
  enabling.sorted = sortActive;
  if (choices.headings) {
    choices.headingsFromFile = false;
    enabling.headings = true;
  } else if (choices.headingsFromFile) {
    enabling.headingsFromFile = true;
    enabling.headingFileBox = true;
  } else {
    enabling.headings = true;
    enabling.headingsFromFile = true;
  }
  return enabling;
}

std::vector<ColumnRow> ColumnRowsOf(DisplayFormat& format) {
  CompleteColumnLists(format);
  std::vector<ColumnRow> rows;
  for (std::size_t i = 0; i < format.columnHeadings.size(); ++i) {
    rows.push_back({format.columnHeadings[i], format.columnTypes[i], format.columnDisplay[i]});
  }
  return rows;
}

void ResetColumnHeadings(DisplayFormat& format) {
  for (std::size_t i = 0; i < format.fieldNames.size(); ++i) {
    if (i < format.columnHeadings.size()) {
      format.columnHeadings[i] = format.fieldNames[i];
    } else {
      AddDefaultColumn(format, format.fieldNames[i]);
    }
  }
  format.columnsChanged = true;
}

void ConfirmDisplayChoices(DisplayFormat& format, const DisplayChoices& choices,
                           const std::vector<ColumnRow>& rows) {
  const DisplayChoices before = DisplayChoices::Of(format);
  if (choices.fontSize != before.fontSize || choices.columns != before.columns ||
      choices.headings != before.headings || choices.headingsFromFile != before.headingsFromFile ||
      choices.headingFile != before.headingFile || choices.rotated != before.rotated ||
      choices.showTemplate != before.showTemplate || choices.doubledQuotes != before.doubledQuotes ||
      format.columnsChanged) {
    format.reloadNeeded = true;
  }
  if (choices.sorted != format.sorted) format.sortOptionChanged = true;
  format.fontSize = choices.fontSize;
  format.openEnd = choices.openEnd;
  format.columns = choices.columns;
  format.rotated = choices.rotated;
  format.headings = choices.headings;
  format.sorted = choices.sorted;
  format.infoType = choices.columns ? "table" : "text";
  if (format.columnsChanged) {
    CompleteColumnLists(format);
    for (std::size_t i = 0; i < rows.size() && i < format.columnHeadings.size(); ++i) {
      format.columnHeadings[i] = rows[i].heading;
      format.columnTypes[i] = rows[i].type;
      format.columnDisplay[i] = rows[i].display;
    }
  }
  format.showTemplate = choices.showTemplate;
  format.doubledQuotes = choices.doubledQuotes;
  format.headingsFromFile = choices.headingsFromFile;
  format.headingFile = choices.headingFile;
}

void CancelDisplayChoices(DisplayFormat& format) {
  format.reloadNeeded = false;
  format.columnsChanged = false;
}

}  // namespace tarvo
