#include "viewer/text_document.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/temp_folder.h"
#include "viewer/delimited_writer.h"

namespace tarvo {
namespace {

using test::TempFolder;
using Texts = std::vector<std::string>;

// Every shown row as "a|b|c", fields up to `columns`.
Texts Shown(const TableRows& rows, std::size_t columns) {
  Texts shown;
  for (std::size_t position = 0; position < rows.rowCount(); ++position) {
    std::string row;
    for (std::size_t column = 0; column < columns; ++column) {
      if (column > 0) row += "|";
      row += rows.field(position, column);
    }
    shown.push_back(row);
  }
  return shown;
}

// Lines follow the data file's rules; table rows take headings, Ctrl-Z lines and quoted fields.
TEST(TextDocument, LinesFollowTheDataFileRulesAndTableRowsTheirOwn) {
  TempFolder folder;
  folder.put("log.txt", std::string("one\r\ntwo\n\rthree\r\rfo\0ur\nlast", 27));
  TextDocument document;
  ASSERT_TRUE(document.load(folder.file("log.txt")));
  Texts lines;
  for (std::size_t i = 0; i < document.lineCount(); ++i) lines.emplace_back(document.line(i));
  EXPECT_EQ(lines, (Texts{"one", "two", "three", "", "four", "last"})) << "NUL bytes are dropped";
  EXPECT_FALSE(document.load(folder.file("missing.txt")));
  EXPECT_EQ(document.lineCount(), 0u);

  folder.put("t.csv", "a,b,c\r\n1,2\r\nx,y,z,w\r\n");
  ASSERT_TRUE(document.load(folder.file("t.csv")));
  TableRows rows;
  rows.build(document, 0, TableRows::Shape::Table);
  EXPECT_EQ(Shown(rows, 3), (Texts{"a|b|c", "1|2|", "x|y|z"}));
  EXPECT_EQ(rows.fieldCount(2), 4u) << "w is kept, though not shown";
  rows.build(document, 1, TableRows::Shape::Table);
  EXPECT_EQ(Shown(rows, 3), (Texts{"1|2|", "x|y|z"})) << "the heading line left out";

  folder.put("z.csv", "\"Smith, J\",42\r\n\x1Askipped,1\r\n\r\nafter,2\r\n");
  ASSERT_TRUE(document.load(folder.file("z.csv")));
  rows.build(document, 0, TableRows::Shape::Table);
  EXPECT_EQ(Shown(rows, 2), (Texts{"Smith, J|42", "|", "after|2"}))
      << "the Ctrl-Z line is skipped; an empty line is a row";
  rows.build(document, 0, TableRows::Shape::Records);
  EXPECT_EQ(Shown(rows, 2), Texts{"Smith, J|42"}) << "Ctrl-Z ends the records";
}

TEST(TextDocument, SortsByNumberDateAndText) {
  TempFolder folder;
  folder.put("s.csv",
             "10,02/01/2009,b\r\n9,31/12/08,A\r\n\"1,000\",15/06/2008,_x\r\nn/a,01/01/2000,a\r\n");
  TextDocument document;
  ASSERT_TRUE(document.load(folder.file("s.csv")));
  TableRows rows;
  rows.build(document, 0, TableRows::Shape::Table);
  const auto column = [&rows](std::size_t index) {
    Texts values;
    for (std::size_t i = 0; i < rows.rowCount(); ++i) values.emplace_back(rows.field(i, index));
    return values;
  };
  rows.sort(0, "number", true);
  EXPECT_EQ(column(0), (Texts{"n/a", "9", "10", "1,000"}));
  rows.sort(0, "number", false);
  EXPECT_EQ(column(0), (Texts{"1,000", "10", "9", "n/a"}));
  rows.sort(1, "date1", true);
  EXPECT_EQ(column(1), (Texts{"01/01/2000", "15/06/2008", "31/12/08", "02/01/2009"}));
  rows.sort(1, "date1", false);
  EXPECT_EQ(column(1).front(), "02/01/2009");
  rows.sort(2, "text", true);
  EXPECT_EQ(column(2), (Texts{"A", "a", "b", "_x"}))
      << "A and a are equal: file order; letters fold to upper case, so _ sorts after them";
  rows.sort(2, "unknown-word", false);
  EXPECT_EQ(column(2).front(), "_x") << "an unknown type sorts as text";

  // The keys dates sort by; other lengths stay as they are.
  for (const auto& [text, type, key] :
       {std::tuple{"15/06/2008", "date1", "20080615"}, {"31/12/08", "date1", "20081231"},
        {"06/15/2008", "date2", "20080615"}, {"12/31/08", "date2", "20081231"}, {"08/12/31", "date3", "2008/12/31"},
        {"1/1/08", "date1", "1/1/08"}, {"20080615", "date4", "20080615"}}) {
    EXPECT_EQ(DateSortText(text, type), key) << text << " " << type;
  }
}

// Equal keys keep the file's order, in every type and both ways; keys longer than the parts a
// comparison looks at first still order by their whole text.
TEST(TextDocument, EqualKeysKeepTheFileOrder) {
  TempFolder folder;
  std::string bytes;
  for (int i = 0; i < 40; ++i) {
    bytes += std::to_string(i % 3) + ",0" + std::to_string(1 + i % 2) + "/01/2020,Same long heading " +
             std::to_string(i % 2) + "," + std::to_string(i) + "\r\n";
  }
  folder.put("e.csv", bytes);
  TextDocument document;
  ASSERT_TRUE(document.load(folder.file("e.csv")));
  TableRows rows;
  rows.build(document, 0, TableRows::Shape::Table);
  for (const auto& [column, type] : {std::pair{0, "number"}, {1, "date1"}, {2, "text"}}) {
    for (const bool ascending : {true, false}) {
      rows.sort(static_cast<std::size_t>(column), type, ascending);
      for (std::size_t i = 1; i < rows.rowCount(); ++i) {
        if (rows.field(i, static_cast<std::size_t>(column)) != rows.field(i - 1, static_cast<std::size_t>(column))) continue;
        EXPECT_LT(std::stoi(std::string(rows.field(i - 1, 3))), std::stoi(std::string(rows.field(i, 3))))
            << type << (ascending ? " up" : " down") << " at " << i;
      }
      if (column == 2) {
        EXPECT_EQ(rows.field(0, 2), ascending ? "Same long heading 0" : "Same long heading 1")
            << "texts equal in their first sixteen bytes order by the rest";
      }
    }
  }
}

TEST(DelimitedWriter, QuotesEveryFieldOfSeveral) {
  EXPECT_EQ(DelimitedLine({"X", "Y"}, 2, ','), "\"X\",\"Y\"");
  EXPECT_EQ(DelimitedLine({"c"}, 2, ','), "\"c\",\"\"") << "missing fields are empty quoted";
  EXPECT_EQ(DelimitedLine({"only, one"}, 1, ','), "only, one") << "one column: unchanged";
  EXPECT_EQ(DelimitedLine({"say \"hi\"", "x"}, 2, ';'), "\"say \"hi\"\";\"x\"");
}

}  // namespace
}  // namespace tarvo
