#pragma once

// How a viewed text file is laid out: plain text, a table of comma-separated columns or a
// rotated table; the columns' headings, widths, sort types and visibility; opening at the end
// or sorted; the text size and the window's place. Kept per file name in a format file in
// the data folder ("report.csv" -> "report.~csv"), so all files of one name share a format.

#include <ctime>
#include <string>
#include <vector>

#include "base/result.h"

namespace tarvo {

using TextColumn = std::vector<std::string>;

struct DisplayFormat {
  std::string filePath;
  std::string formatPath;
  std::time_t fileAge = 0;  // modification time at the last load; 0: could not be opened

  // Set around the options dialog.
  bool sortActive = false;
  bool reloadNeeded = false;
  bool columnsChanged = false;
  bool sortOptionChanged = false;

  int top = -1;
  int left = -1;
  int height = -1;
  int width = -1;
  std::string infoType;  // contains "text" (or empty), "list" (rotated) or "table"
  bool openEnd = false;
  bool lineNumbers = true;
  bool columns = false;
  bool headings = false;
  bool rotated = false;
  bool sorted = false;
  int sortColumn = -1;
  bool ascending = true;
  int fontSize = 10;
  TextColumn columnHeadings;
  TextColumn columnWidths;
  TextColumn columnDisplay;  // "visible" or "hidden"
  TextColumn columnTypes;    // "text", "number", "date1".."date4"
  bool headingsFromFile = false;
  std::string headingFile;
  TextColumn fieldNames;  // derived from the file, never stored
  bool showTemplate = false;
  // Quoted fields hold doubled quotes ("O""Brien" is O"Brien); off unless chosen.
  bool doubledQuotes = false;
};

enum class Layout { None, Text, Table, Rotated };

// The format file of a viewed file: data folder + the name's part before its extension's
// first occurrence + ".~" + the extension without its dot.
std::string FormatPathFor(const std::string& dataFolder, const std::string& filePath);

DisplayFormat NewDisplayFormat(const std::string& filePath, const std::string& layoutWord);
// Computes formatPath and reads the stored format when there is one.
Result LoadDisplayFormat(DisplayFormat& format, const std::string& dataFolder);
// Writes the format file (through a temporary file).
Result SaveDisplayFormat(const DisplayFormat& format);
// Names the fields of the file's first line and adds columns for fields the format lacks.
void DeriveColumnDefinitions(DisplayFormat& format);
// Appends a column with the defaults for a new field.
void AddDefaultColumn(DisplayFormat& format, const std::string& heading);
// Which layout the format asks for.
Layout LayoutOf(const DisplayFormat& format);
// Headings, widths, types and display words all as long as the headings.
void CompleteColumnLists(DisplayFormat& format);

}  // namespace tarvo
