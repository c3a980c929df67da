#include "viewer/doubled_quotes.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "viewer/display_format.h"
#include "viewer/text_document.h"
#include "viewer/viewer_copy.h"

namespace tarvo {
namespace {

using test::TempFolder;
using Texts = std::vector<std::string>;

Texts Fields(std::string_view line, bool doubled) {
  Texts fields;
  ForEachField(line, doubled, [&](std::string_view field) { fields.push_back(doubled ? Undoubled(field) : std::string(field)); });
  return fields;
}

TEST(DoubledQuotes, SplitOnlyWhenChosen) {
  EXPECT_EQ(Fields(R"("O""Brien, Pat",42)", true), (Texts{"O\"Brien, Pat", "42"}));
  EXPECT_EQ(Fields(R"("O""Brien, Pat",42)", false), (Texts{"O", "Pat\"", "42"}))
      << "off: a quoted field ends at the next quote, as the data files' rule has it";
  EXPECT_EQ(Fields(R"("""quoted""", "",x)", true), (Texts{"\"quoted\"", "", "x"}));
  EXPECT_EQ(Fields(R"("open""ended)", true), (Texts{"open\"ended"})) << "an unclosed field runs to the end";
  EXPECT_EQ(Doubled("say \"hi\""), "say \"\"hi\"\"");
  EXPECT_EQ(Undoubled(Doubled("a\"\"b\"")), "a\"\"b\"");
}

// A table read with doubled quotes shows O"Brien, Pat in one cell and saves it back the same
// way; the option is kept in the format file only when chosen.
TEST(DoubledQuotes, TableRowsAndSaveCopyBothWays) {
  TempFolder folder;
  folder.put("people.csv", "name,age\r\n\"O\"\"Brien, Pat\",42\r\n\"Plain\",7\r\n");
  DisplayFormat format = NewDisplayFormat(folder.file("people.csv"), "table");
  format.headings = true;
  format.doubledQuotes = true;
  DeriveColumnDefinitions(format);
  ASSERT_EQ(format.columnHeadings, (Texts{"name", "age"}));
  TextDocument document;
  ASSERT_TRUE(document.load(folder.file("people.csv")));
  TableRows rows;
  rows.setDoubledQuotes(true);
  rows.build(document, 1, TableRows::Shape::Table);
  ASSERT_EQ(rows.rowCount(), 2u);
  EXPECT_EQ(rows.fieldText(0, 0), "O\"Brien, Pat");
  EXPECT_EQ(rows.fieldText(0, 1), "42");

  ASSERT_TRUE(SaveViewerCopy(folder.file("copy.csv"), Layout::Table, document, rows, format));
  EXPECT_EQ(folder.read("copy.csv"), "\"name\",\"age\"\r\n\"O\"\"Brien, Pat\",\"42\"\r\n\"Plain\",\"7\"\r\n");
  TextDocument again;
  ASSERT_TRUE(again.load(folder.file("copy.csv")));
  TableRows reread;
  reread.setDoubledQuotes(true);
  reread.build(again, 1, TableRows::Shape::Table);
  EXPECT_EQ(reread.fieldText(0, 0), "O\"Brien, Pat") << "the copy splits back into the same fields";

  rows.setDoubledQuotes(false);
  rows.build(document, 1, TableRows::Shape::Table);
  EXPECT_EQ(rows.fieldText(0, 0), "O") << "off by default: the split rule stays as it was";

  format.formatPath = FormatPathFor(folder.path(), format.filePath);
  ASSERT_TRUE(SaveDisplayFormat(format));
  EXPECT_NE(folder.read("people.~csv").find("DoubledQuotes=Y"), std::string::npos);
  DisplayFormat loaded = NewDisplayFormat(format.filePath, "text");
  ASSERT_TRUE(LoadDisplayFormat(loaded, folder.path()));
  EXPECT_TRUE(loaded.doubledQuotes);
  loaded.doubledQuotes = false;
  ASSERT_TRUE(SaveDisplayFormat(loaded));
  EXPECT_EQ(folder.read("people.~csv").find("DoubledQuotes"), std::string::npos) << "not written when off";
}

}  // namespace
}  // namespace tarvo
