#include "viewer/display_format.h"

#include "viewer/doubled_quotes.h"
#include "viewer/line_reader.h"
#include "store/file_system.h"
#include "store/line_split.h"
#include "store/pair_file.h"
#include "base/date_text.h"

namespace tarvo {
namespace {

constexpr const char* kDefaultWidth = "85";
constexpr std::size_t kMostColumns = 1000;
constexpr std::size_t kLongestValue = 256;
constexpr std::size_t kLongestPath = 4096;
constexpr int kLargestPosition = 100000;
constexpr int kWidestColumn = 4000;
constexpr int kSmallestFont = 4;
constexpr int kLargestFont = 96;

bool Contains(const std::string& text, const char* word) { return text.find(word) != std::string::npos; }
const char* YesNo(bool on) { return on ? "Y" : "N"; }

// The fields of a file's first line, or nothing when it cannot be read. Only that line is
// read: the file may be a gigabyte.
bool FirstLineFields(const std::string& path, bool doubledQuotes, TextColumn& fields) {
  const ResultOf<std::string> line = ReadFirstLine(path);
  if (!line) return false;
  // An empty file gives one empty field, as an empty line does.
  fields.clear();
  ForEachField(*line, doubledQuotes, [&](std::string_view field) {
    fields.push_back(doubledQuotes ? Undoubled(field) : std::string(field));
  });
  return true;
}

// A format file is outside input: a heading of megabytes or a million columns would make the
// viewer unusable, so values are cut to sizes a person can use, and the cut is reported.
Result BoundToSensibleSizes(DisplayFormat& format) {
  std::vector<std::string> cuts;
  const auto bound = [&cuts](int& value, int lowest, int highest, int fallback, const char* what) {
    if (value == -1 || (value >= lowest && value <= highest)) return;
    cuts.push_back(std::string(what) + " " + std::to_string(value));
    value = fallback;
  };
  bound(format.top, -kLargestPosition, kLargestPosition, -1, "window position");
  bound(format.left, -kLargestPosition, kLargestPosition, -1, "window position");
  bound(format.height, 1, kLargestPosition, -1, "window height");
  bound(format.width, 1, kLargestPosition, -1, "window width");
  bound(format.fontSize, kSmallestFont, kLargestFont, 10, "text size");
  bound(format.sortColumn, -1, static_cast<int>(kMostColumns) - 1, -1, "sort column");
  for (TextColumn* column : {&format.columnHeadings, &format.columnWidths, &format.columnDisplay,
                             &format.columnTypes}) {
    if (column->size() > kMostColumns) {
      cuts.push_back(std::to_string(column->size()) + " columns");
      column->resize(kMostColumns);
    }
    for (std::string& value : *column) {
      if (value.size() > kLongestValue) {
        cuts.push_back("a column value of " + std::to_string(value.size()) + " characters");
        value.resize(kLongestValue);
      }
    }
  }
  for (std::string& width : format.columnWidths) {
    const int pixels = DecimalOr(width, -1);
    if (pixels < 0 || pixels > kWidestColumn) width = kDefaultWidth;
  }
  if (format.infoType.size() > kLongestValue) format.infoType.resize(kLongestValue);
  if (format.headingFile.size() > kLongestPath) format.headingFile.clear();
  if (cuts.empty()) return {};
  std::string note = "*** The display format " + format.formatPath + " held values too large to use (";
  for (std::size_t i = 0; i < cuts.size() && i < 4; ++i) note += (i == 0 ? "" : ", ") + cuts[i];
  return Result::Noted(note + (cuts.size() > 4 ? ", ..." : "") + "); they were cut");
}

}  // namespace

std::string FormatPathFor(const std::string& dataFolder, const std::string& filePath) {
  const std::string name = NameOf(filePath);
  const auto dot = name.find_last_of('.');
  const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
  const std::string base = name.substr(0, name.find(extension));
  const std::string bare = extension.empty() ? std::string() : extension.substr(1);
  return JoinPath(dataFolder, base + ".~" + bare);
}

DisplayFormat NewDisplayFormat(const std::string& filePath, const std::string& layoutWord) {
  DisplayFormat format;
  format.filePath = filePath;
  format.infoType = layoutWord;
  return format;
}

Result LoadDisplayFormat(DisplayFormat& format, const std::string& dataFolder) {
  format.formatPath = FormatPathFor(dataFolder, format.filePath);
  if (!fileSystem().exists(format.formatPath)) return {};
  PairList pairs;
  if (Result loaded = LoadPairFile(format.formatPath, pairs); !loaded) return loaded;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::string_view key = pairs.key(i);
    const std::string_view value = pairs.value(i);
    const bool yes = value == "Y";
    if (key == "Top") format.top = DecimalOr(value, -1);
    else if (key == "Left") format.left = DecimalOr(value, -1);
    else if (key == "Height") format.height = DecimalOr(value, -1);
    else if (key == "Width") format.width = DecimalOr(value, -1);
    else if (key == "InfoType") format.infoType.assign(value);
    else if (key == "OpenEnd") format.openEnd = yes;
    else if (key == "LineNumbers") format.lineNumbers = yes;
    else if (key == "Columns") format.columns = yes;
    else if (key == "Rotated") format.rotated = yes;
    else if (key == "Headings") format.headings = yes;
    else if (key == "HeadingsFromFile") format.headingsFromFile = yes;
    else if (key == "HeadingFile") format.headingFile.assign(value);
    else if (key == "ShowTemplate") format.showTemplate = yes;
    else if (key == "Sorted") format.sorted = yes;
    else if (key == "SortColumn") format.sortColumn = DecimalOr(value, -1);
    else if (key == "Ascending") format.ascending = yes;
    else if (key == "FontSize") format.fontSize = DecimalOr(value, 8);
    else if (key == "DoubledQuotes") format.doubledQuotes = yes;
    else if (key.size() > 2 && DecimalOr(key.substr(2), -1) >= 0) {
      // Column lines are taken in the order they stand; their numbers are not used.
      const std::string_view kind = key.substr(0, 2);
      TextColumn* column = kind == "CH"   ? &format.columnHeadings
                           : kind == "CW" ? &format.columnWidths
                           : kind == "CD" ? &format.columnDisplay
                           : kind == "CT" ? &format.columnTypes
                                          : nullptr;
      if (column != nullptr) column->emplace_back(value);
    }
  }
  return BoundToSensibleSizes(format);
}

Result SaveDisplayFormat(const DisplayFormat& format) {
  const std::string name = NameOf(format.formatPath);
  const auto tilde = name.find('~');
  const std::string folder = FolderOf(format.formatPath);
  const std::string temporary =
      JoinPath(folder, (tilde == std::string::npos ? name + "." : name.substr(0, tilde + 1)) + "tmp");
  PairList pairs;
  const auto number = [&pairs](const char* key, int value) { pairs.add(key, std::to_string(value)); };
  number("Top", format.top);
  number("Left", format.left);
  number("Height", format.height);
  number("Width", format.width);
  pairs.add("InfoType", format.infoType);
  pairs.add("OpenEnd", YesNo(format.openEnd));
  pairs.add("LineNumbers", YesNo(format.lineNumbers));
  pairs.add("Columns", YesNo(format.columns));
  pairs.add("Rotated", YesNo(format.rotated));
  pairs.add("Headings", YesNo(format.headings));
  pairs.add("HeadingsFromFile", YesNo(format.headingsFromFile));
  pairs.add("HeadingFile", format.headingFile);
  pairs.add("ShowTemplate", YesNo(format.showTemplate));
  pairs.add("Sorted", YesNo(format.sorted));
  number("SortColumn", format.sortColumn);
  pairs.add("Ascending", YesNo(format.ascending));
  number("FontSize", format.fontSize);
  // Written only when chosen, so every other format file stays as it always was.
  if (format.doubledQuotes) pairs.add("DoubledQuotes", "Y");
  const std::pair<const char*, const TextColumn*> lists[] = {{"CH", &format.columnHeadings},
                                                             {"CW", &format.columnWidths},
                                                             {"CD", &format.columnDisplay},
                                                             {"CT", &format.columnTypes}};
  for (const auto& [prefix, column] : lists) {
    for (std::size_t i = 0; i < column->size(); ++i) {
      pairs.add(prefix + std::to_string(i), (*column)[i]);
    }
  }
  Result saved = SavePairFileThrough(temporary, format.formatPath, pairs, 0);
  (void)fileSystem().remove(temporary);  // a leftover temporary file is harmless
  return saved;
}

void AddDefaultColumn(DisplayFormat& format, const std::string& heading) {
  format.columnHeadings.push_back(heading);
  format.columnWidths.emplace_back(kDefaultWidth);
  format.columnDisplay.emplace_back("visible");
  format.columnTypes.emplace_back("text");
}

void DeriveColumnDefinitions(DisplayFormat& format) {
  TextColumn fields;
  if (!FirstLineFields(format.filePath, format.doubledQuotes, fields)) return;
  format.fieldNames.clear();
  TextColumn names;
  if (format.headings) {
    names = fields;
  } else if (format.headingsFromFile && !format.headingFile.empty()) {
    const ResultOf<std::string> line = ReadFirstLine(format.headingFile);
    if (line && line->find(',') != std::string::npos) SplitDelimited(*line, names, ',');
  }
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string name = i < names.size() ? names[i] : "Field" + std::to_string(i + 1);
    format.fieldNames.push_back(name);
    if (format.columnHeadings.size() < format.fieldNames.size()) AddDefaultColumn(format, name);
  }
}

Layout LayoutOf(const DisplayFormat& format) {
  const std::string& word = format.infoType;
  if (word.empty() || Contains(word, "text")) return Layout::Text;
  if (Contains(word, "list") || (format.columns && format.rotated)) return Layout::Rotated;
  if (Contains(word, "table") || format.columns) return Layout::Table;
  return Layout::None;
}

void CompleteColumnLists(DisplayFormat& format) {
  const std::size_t count = format.columnHeadings.size();
  if (format.columnTypes.size() < count) format.columnTypes.resize(count, "text");
  if (format.columnDisplay.size() < count) format.columnDisplay.resize(count, "visible");
  if (format.columnWidths.size() < count) format.columnWidths.resize(count, kDefaultWidth);
}

}  // namespace tarvo
