#include "viewer/display_format.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/temp_folder.h"
#include "viewer/display_options.h"

namespace tarvo {
namespace {

using test::TempFolder;
using Texts = std::vector<std::string>;

// A format's column definitions, for comparing in one go.
auto Columns(const DisplayFormat& format) {
  return std::tuple(format.columnHeadings, format.columnWidths, format.columnDisplay, format.columnTypes);
}

TEST(DisplayFormat, FormatFileNames) {
  EXPECT_EQ(FormatPathFor("/d", "/logs/MainLog.txt"), "/d/MainLog.~txt");
  EXPECT_EQ(FormatPathFor("/d", "/x/report.csv"), "/d/report.~csv");
  EXPECT_EQ(FormatPathFor("/d", "/x/a.txt.txt"), "/d/a.~txt") << "the extension's first occurrence";
  EXPECT_EQ(FormatPathFor("/d", "/x/README"), "/d/.~") << "no extension";
  EXPECT_EQ(FormatPathFor("/d", "/other/folder/report.csv"), "/d/report.~csv")
      << "the file's folder plays no part";
}

TEST(DisplayFormat, SaveThenLoadGivesTheSameRecord) {
  TempFolder data;
  DisplayFormat format = NewDisplayFormat(data.file("sales.csv"), "table");
  ASSERT_TRUE(LoadDisplayFormat(format, data.path()));
  EXPECT_EQ(format.fontSize, 10) << "no format file: the defaults";
  format.top = 5;
  format.left = 6;
  format.height = 400;
  format.width = 700;
  format.openEnd = true;
  format.columns = true;
  format.headings = true;
  format.sorted = true;
  format.sortColumn = 2;
  format.ascending = false;
  format.fontSize = 12;
  format.headingFile = "/h/heads.csv";
  format.columnHeadings = {"Id", "Name", "Määrä"};
  format.columnWidths = {"40", "120", "85"};
  format.columnDisplay = {"visible", "hidden", "visible"};
  format.columnTypes = {"number", "text", "date1"};
  ASSERT_TRUE(SaveDisplayFormat(format));
  EXPECT_EQ(data.names(), Texts{"sales.~csv"}) << "the temporary file is gone";

  DisplayFormat loaded = NewDisplayFormat(data.file("sales.csv"), "text");
  ASSERT_TRUE(LoadDisplayFormat(loaded, data.path()));
  EXPECT_EQ(loaded.infoType, "table") << "a stored layout overrides the opener's";
  EXPECT_EQ(std::tuple(loaded.top, loaded.width, loaded.sortColumn, loaded.fontSize, loaded.headingFile),
            std::tuple(5, 700, 2, 12, "/h/heads.csv"));
  EXPECT_EQ(std::tuple(loaded.openEnd, loaded.headings, loaded.lineNumbers, loaded.sorted, loaded.ascending),
            std::tuple(true, true, true, true, false));
  EXPECT_EQ(Columns(loaded), Columns(format));
}

// A format file is outside input: unreadable values keep their defaults, enormous ones are cut
// to usable sizes and the cut is said, so the viewer stays usable; sensible values pass unchanged.
TEST(DisplayFormat, ReadingRulesAndHostileFormatFilesCutToSensibleSizes) {
  TempFolder data;
  data.put("log.~txt",
           "OpenEnd=y\r\nFontSize=big\r\nTop=x\r\nCH5=Date\r\nCH2=Amount\r\nCHx=1\r\nCH-1=1\r\n"
           "XY3=other\r\nCW0=50\r\nInfoType=text\r\n");
  DisplayFormat rules = NewDisplayFormat("/anywhere/log.txt", "table");
  ASSERT_TRUE(LoadDisplayFormat(rules, data.path()));
  EXPECT_EQ(std::tuple(rules.openEnd, rules.fontSize, rules.top), std::tuple(false, 8, -1))
      << "only \"Y\" is yes; unreadable numbers keep their defaults";
  EXPECT_EQ(rules.columnHeadings, (Texts{"Date", "Amount"})) << "in line order";
  EXPECT_EQ(std::tuple(rules.columnWidths, rules.infoType), std::tuple(Texts{"50"}, "text"));

  std::string bytes = "FontSize=5000\r\nWidth=-7\r\nSortColumn=99999\r\nCH0=" + std::string(1 << 20, 'h') + "\r\n";
  for (int i = 1; i < 5000; ++i) bytes += "CH" + std::to_string(i) + "=c\r\nCW" + std::to_string(i) + "=99999999\r\n";
  data.put("huge.~csv", bytes);
  DisplayFormat format = NewDisplayFormat("/x/huge.csv", "table");
  const Result loaded = LoadDisplayFormat(format, data.path());
  ASSERT_TRUE(loaded) << loaded.reason();
  EXPECT_NE(loaded.note().find("held values too large to use"), std::string::npos) << loaded.note();
  EXPECT_EQ(std::tuple(format.fontSize, format.width, format.sortColumn), std::tuple(10, -1, -1));
  ASSERT_EQ(format.columnHeadings.size(), 1000u);
  EXPECT_EQ(std::tuple(format.columnHeadings[0].size(), format.columnWidths[1]), std::tuple(256u, "85"));

  data.put("fine.~csv", "FontSize=12\r\nCH0=Name\r\nCW0=120\r\n");
  DisplayFormat fine = NewDisplayFormat("/x/fine.csv", "table");
  const Result read = LoadDisplayFormat(fine, data.path());
  EXPECT_TRUE(read.note().empty()) << read.note();
  EXPECT_EQ(std::tie(fine.fontSize, fine.columnHeadings[0], fine.columnWidths[0]), std::tuple(12, "Name", "120"));
}

TEST(DisplayFormat, ColumnsDerivedFromTheFirstLine) {
  TempFolder data;
  data.put("t.csv", "a, b ,c\r\n1,2,3\r\n");
  DisplayFormat format = NewDisplayFormat(data.file("t.csv"), "table");
  format.headings = true;
  DeriveColumnDefinitions(format);
  EXPECT_EQ(Columns(format), std::tuple(Texts{"a", "b", "c"}, Texts(3, "85"), Texts(3, "visible"), Texts(3, "text")));

  DisplayFormat unnamed = NewDisplayFormat(data.file("t.csv"), "table");
  DeriveColumnDefinitions(unnamed);
  EXPECT_EQ(unnamed.columnHeadings, (Texts{"Field1", "Field2", "Field3"}));

  data.put("wide.csv", "1,2,3,4,5\r\n");
  DisplayFormat stored = NewDisplayFormat(data.file("wide.csv"), "table");
  stored.columnHeadings = {"Id", "Name", "Sum"};
  stored.columnTypes = {"number", "text", "number"};
  stored.columnWidths = {"30", "30", "30"};
  stored.columnDisplay = {"visible", "hidden", "visible"};
  DeriveColumnDefinitions(stored);
  EXPECT_EQ(stored.columnHeadings, (Texts{"Id", "Name", "Sum", "Field4", "Field5"}));
  EXPECT_EQ(std::tuple(stored.columnTypes[0], stored.columnDisplay[1]), std::tuple("number", "hidden"))
      << "stored columns win";
  EXPECT_EQ(stored.fieldNames, (Texts{"Field1", "Field2", "Field3", "Field4", "Field5"}));

  const auto headingsFrom = [&](const std::string& name, const std::string& line) {
    data.put(name, line);
    DisplayFormat named = NewDisplayFormat(data.file("wide.csv"), "table");
    named.headingsFromFile = true;
    named.headingFile = data.file(name);
    DeriveColumnDefinitions(named);
    return named.columnHeadings;
  };
  EXPECT_EQ(headingsFrom("heads.csv", "Id,Name\r\n"), (Texts{"Id", "Name", "Field3", "Field4", "Field5"}));
  EXPECT_EQ(headingsFrom("one.csv", "Only\r\n"), stored.fieldNames) << "a heading line without a comma names nothing";

  DisplayFormat missing = NewDisplayFormat(data.file("none.csv"), "table");
  DeriveColumnDefinitions(missing);
  EXPECT_TRUE(missing.columnHeadings.empty());
}

// The names of the controls a rule enables.
std::string Enabled(const DisplayEnabling& on) {
  std::string names;
  for (const auto& [enabled, name] :
       {std::pair{on.headings, "headings"}, {on.headingsFromFile, "from-file"}, {on.headingFileBox, "file-box"},
        {on.rotated, "rotated"}, {on.sorted, "sorted"}, {on.columnList, "columns"}, {on.showTemplate, "template"}}) {
    if (enabled) names += std::string(names.empty() ? "" : " ") + name;
  }
  return names;
}

TEST(DisplayOptions, EnablingRulesConfirmResetAndCancel) {
  DisplayChoices rules;
  EXPECT_EQ(Enabled(ApplyDisplayRules(rules, true)), "") << "nothing about columns without columns";
  rules.columns = true;
  EXPECT_EQ(Enabled(ApplyDisplayRules(rules, false)), "headings from-file columns")
      << "sorting is offered only while a sort is in force";
  rules.headings = true;
  rules.headingsFromFile = true;
  EXPECT_EQ(Enabled(ApplyDisplayRules(rules, true)), "headings sorted columns");
  EXPECT_FALSE(rules.headingsFromFile) << "first-line headings untick the heading file";
  rules.headings = false;
  rules.headingsFromFile = true;
  EXPECT_EQ(Enabled(ApplyDisplayRules(rules, true)), "from-file file-box sorted columns");

  TempFolder data;
  data.put("t.csv", "x,y,z\r\n");
  DisplayFormat format = NewDisplayFormat(data.file("t.csv"), "text");
  format.columnHeadings = {"Kept"};
  format.columnTypes = {"number"};
  format.columnWidths = {"33"};
  format.columnDisplay = {"hidden"};
  DeriveColumnDefinitions(format);
  format.headings = true;
  DeriveColumnDefinitions(format);
  ResetColumnHeadings(format);
  EXPECT_EQ(format.columnHeadings, (Texts{"x", "y", "z"})) << "the file's names replace stored headings";
  EXPECT_EQ(std::tuple(format.columnTypes[0], format.columnWidths[0], format.columnDisplay[0]),
            std::tuple("number", "33", "hidden")) << "types, widths and display stay";
  EXPECT_TRUE(format.columnsChanged);

  std::vector<ColumnRow> rows = ColumnRowsOf(format);
  rows[1] = {"Renamed", "date1", "hidden"};
  DisplayChoices choices = DisplayChoices::Of(format);
  choices.columns = true;
  choices.sorted = true;
  ConfirmDisplayChoices(format, choices, rows);
  EXPECT_EQ(std::tuple(format.reloadNeeded, format.sortOptionChanged, format.infoType), std::tuple(true, true, "table"));
  EXPECT_EQ(std::tuple(format.columnHeadings[1], format.columnTypes[1]), std::tuple("Renamed", "date1"));

  format.reloadNeeded = false;
  format.columnsChanged = false;
  format.sortOptionChanged = false;
  ConfirmDisplayChoices(format, DisplayChoices::Of(format), ColumnRowsOf(format));
  EXPECT_FALSE(format.reloadNeeded) << "nothing changed";
  format.columnsChanged = true;
  format.reloadNeeded = true;
  CancelDisplayChoices(format);
  EXPECT_EQ(std::tuple(format.reloadNeeded, format.columnsChanged), std::tuple(false, false));
}

}  // namespace
}  // namespace tarvo
