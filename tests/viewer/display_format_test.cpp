#include "viewer/display_format.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "viewer/display_options.h"

namespace tarvo {
namespace {

using test::TempFolder;
using Texts = std::vector<std::string>;

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
  EXPECT_EQ(loaded.top, 5);
  EXPECT_EQ(loaded.width, 700);
  EXPECT_TRUE(loaded.openEnd);
  EXPECT_TRUE(loaded.headings);
  EXPECT_TRUE(loaded.lineNumbers);
  EXPECT_TRUE(loaded.sorted);
  EXPECT_EQ(loaded.sortColumn, 2);
  EXPECT_FALSE(loaded.ascending);
  EXPECT_EQ(loaded.fontSize, 12);
  EXPECT_EQ(loaded.headingFile, "/h/heads.csv");
  EXPECT_EQ(loaded.columnHeadings, format.columnHeadings);
  EXPECT_EQ(loaded.columnWidths, format.columnWidths);
  EXPECT_EQ(loaded.columnDisplay, format.columnDisplay);
  EXPECT_EQ(loaded.columnTypes, format.columnTypes);
}

TEST(DisplayFormat, ReadingRules) {
  TempFolder data;
  data.put("log.~txt",
           "OpenEnd=y\r\nFontSize=big\r\nTop=x\r\nCH5=Date\r\nCH2=Amount\r\nCHx=1\r\nCH-1=1\r\n"
           "XY3=other\r\nCW0=50\r\nInfoType=text\r\n");
  DisplayFormat format = NewDisplayFormat("/anywhere/log.txt", "table");
  ASSERT_TRUE(LoadDisplayFormat(format, data.path()));
  EXPECT_FALSE(format.openEnd) << "only \"Y\" is yes";
  EXPECT_EQ(format.fontSize, 8);
  EXPECT_EQ(format.top, -1);
  EXPECT_EQ(format.columnHeadings, (Texts{"Date", "Amount"})) << "in line order";
  EXPECT_EQ(format.columnWidths, Texts{"50"});
  EXPECT_EQ(format.infoType, "text");
}

TEST(DisplayFormat, ColumnsDerivedFromTheFirstLine) {
  TempFolder data;
  data.put("t.csv", "a, b ,c\r\n1,2,3\r\n");
  DisplayFormat format = NewDisplayFormat(data.file("t.csv"), "table");
  format.headings = true;
  DeriveColumnDefinitions(format);
  EXPECT_EQ(format.columnHeadings, (Texts{"a", "b", "c"}));
  EXPECT_EQ(format.columnWidths, (Texts{"85", "85", "85"}));
  EXPECT_EQ(format.columnDisplay, (Texts{"visible", "visible", "visible"}));
  EXPECT_EQ(format.columnTypes, (Texts{"text", "text", "text"}));

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
  EXPECT_EQ(stored.columnTypes[0], "number") << "stored columns win";
  EXPECT_EQ(stored.columnDisplay[1], "hidden");
  EXPECT_EQ(stored.fieldNames, (Texts{"Field1", "Field2", "Field3", "Field4", "Field5"}));

  data.put("heads.csv", "Id,Name\r\n");
  DisplayFormat fromFile = NewDisplayFormat(data.file("wide.csv"), "table");
  fromFile.headingsFromFile = true;
  fromFile.headingFile = data.file("heads.csv");
  DeriveColumnDefinitions(fromFile);
  EXPECT_EQ(fromFile.columnHeadings, (Texts{"Id", "Name", "Field3", "Field4", "Field5"}));
  data.put("one.csv", "Only\r\n");
  DisplayFormat noComma = NewDisplayFormat(data.file("wide.csv"), "table");
  noComma.headingsFromFile = true;
  noComma.headingFile = data.file("one.csv");
  DeriveColumnDefinitions(noComma);
  EXPECT_EQ(noComma.columnHeadings[0], "Field1") << "a heading line without a comma names nothing";

  DisplayFormat missing = NewDisplayFormat(data.file("none.csv"), "table");
  DeriveColumnDefinitions(missing);
  EXPECT_TRUE(missing.columnHeadings.empty());
}

TEST(DisplayOptions, EnablingRules) {
  DisplayChoices choices;
  DisplayEnabling enabling = ApplyDisplayRules(choices, true);
  EXPECT_FALSE(enabling.headings);
  EXPECT_FALSE(enabling.columnList);
  EXPECT_FALSE(enabling.sorted) << "nothing about columns without columns";

  choices.columns = true;
  enabling = ApplyDisplayRules(choices, false);
  EXPECT_TRUE(enabling.headings);
  EXPECT_TRUE(enabling.headingsFromFile);
  EXPECT_FALSE(enabling.headingFileBox);
  EXPECT_FALSE(enabling.sorted) << "sorting is offered only while a sort is in force";
  EXPECT_TRUE(enabling.columnList);
  EXPECT_FALSE(enabling.rotated);

  choices.headings = true;
  choices.headingsFromFile = true;
  enabling = ApplyDisplayRules(choices, true);
  EXPECT_FALSE(choices.headingsFromFile) << "first-line headings untick the heading file";
  EXPECT_FALSE(enabling.headingsFromFile);
  EXPECT_TRUE(enabling.sorted);

  choices.headings = false;
  choices.headingsFromFile = true;
  enabling = ApplyDisplayRules(choices, true);
  EXPECT_FALSE(enabling.headings);
  EXPECT_TRUE(enabling.headingFileBox);
}

TEST(DisplayOptions, ConfirmResetAndCancel) {
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
  EXPECT_EQ(format.columnTypes[0], "number") << "types, widths and display stay";
  EXPECT_EQ(format.columnWidths[0], "33");
  EXPECT_TRUE(format.columnsChanged);

  std::vector<ColumnRow> rows = ColumnRowsOf(format);
  rows[1] = {"Renamed", "date1", "hidden"};
  DisplayChoices choices = DisplayChoices::Of(format);
  choices.columns = true;
  choices.sorted = true;
  ConfirmDisplayChoices(format, choices, rows);
  EXPECT_TRUE(format.reloadNeeded);
  EXPECT_TRUE(format.sortOptionChanged);
  EXPECT_EQ(format.infoType, "table");
  EXPECT_EQ(format.columnHeadings[1], "Renamed");
  EXPECT_EQ(format.columnTypes[1], "date1");

  format.reloadNeeded = false;
  format.columnsChanged = false;
  format.sortOptionChanged = false;
  ConfirmDisplayChoices(format, DisplayChoices::Of(format), ColumnRowsOf(format));
  EXPECT_FALSE(format.reloadNeeded) << "nothing changed";
  format.columnsChanged = true;
  format.reloadNeeded = true;
  CancelDisplayChoices(format);
  EXPECT_FALSE(format.reloadNeeded);
  EXPECT_FALSE(format.columnsChanged);
}

}  // namespace
}  // namespace tarvo
