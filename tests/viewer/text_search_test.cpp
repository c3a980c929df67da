#include "viewer/text_search.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace tarvo {
namespace {

using test::TempFolder;

MatchList Lines(const TextDocument& document, TextQuery query) {
  ResultOf<TextMatcher> matcher = TextMatcher::For(query);
  EXPECT_TRUE(matcher) << matcher.reason();
  if (!matcher) return {};
  return FindLines(document, *matcher, 0, document.lineCount());
}

// Words and regular expressions, with and without case, find the same lines whichever way
// they are looked for; a word never matches across a line end.
TEST(TextSearch, WordsAndRegularExpressionsInTextLines) {
  TempFolder folder;
  folder.put("app.log", std::string("Start of run\r\nerror: disk full\nERROR 42 again\rno-err\r\n"
                                    "warn: Error\r\nerr\nor split\r\nNUL in er\0ror line\n", 100));
  TextDocument document;
  ASSERT_TRUE(document.load(folder.file("app.log")));
  EXPECT_EQ(Lines(document, {"error", false, true}), (MatchList{1, 7})) << "match case";
  EXPECT_EQ(Lines(document, {"error", false, false}), (MatchList{1, 2, 4, 7}))
      << "case folded; the line with a NUL byte matches as shown";
  EXPECT_EQ(Lines(document, {"err", false, false}), (MatchList{1, 2, 3, 4, 5, 7}));
  EXPECT_EQ(Lines(document, {"^error\\b", true, false}), (MatchList{1, 2}));
  EXPECT_EQ(Lines(document, {"ERROR \\d+", true, true}), (MatchList{2}));
  EXPECT_EQ(Lines(document, {"r$", true, false}), (MatchList{3, 4, 5})) << "$ is the line's end";
  EXPECT_TRUE(Lines(document, {"err\nor", false, false}).empty()) << "no match across a line end";
  EXPECT_EQ(Lines(document, {"a.b", false, false}), MatchList{}) << "a plain word has no wildcards";

  const ResultOf<TextMatcher> broken = TextMatcher::For({"(unclosed", true, false});
  ASSERT_FALSE(broken);
  EXPECT_NE(broken.reason().find("not a regular expression"), std::string::npos) << broken.reason();
  EXPECT_FALSE(TextMatcher::For({"", false, false}));

  // A plain word in a file larger than the slices a search takes at a time.
  std::string big;
  for (int i = 0; i < 400000; ++i) big += i % 99991 == 7 ? "needle in line\r\n" : "haystack line of some length\r\n";
  folder.put("big.log", big);
  ASSERT_TRUE(document.load(folder.file("big.log")));
  const MatchList needles = Lines(document, {"NEEDLE", false, false});
  EXPECT_EQ(needles, (MatchList{7, 99998, 199989, 299980, 399971}));
  EXPECT_EQ(Lines(document, {"NEEDLE", true, false}), needles) << "the same lines by a regular expression";
}

TEST(TextSearch, TableRowsInAllColumnsOrOneAndInTheOrderShown) {
  TempFolder folder;
  folder.put("t.csv", "name,city\r\nAnn,Oslo\r\nBo,\"Ann Arbor, MI\"\r\nCy,Lima\r\n");
  TextDocument document;
  ASSERT_TRUE(document.load(folder.file("t.csv")));
  TableRows rows;
  rows.build(document, 1, TableRows::Shape::Table);
  const auto find = [&rows](TextQuery query) {
    ResultOf<TextMatcher> matcher = TextMatcher::For(query);
    EXPECT_TRUE(matcher);
    return FindRows(rows, 2, *matcher);
  };
  EXPECT_EQ(find({"^ann", true, false}), (MatchList{0, 1})) << "each field is matched on its own";
  EXPECT_EQ(find({"^ann", true, false, 1}), (MatchList{1})) << "only the city column";
  EXPECT_EQ(find({"arbor, mi", false, false}), (MatchList{1})) << "the field without its quotes";
  rows.sort(0, "text", false);  // Cy, Bo, Ann
  EXPECT_EQ(find({"ann", false, false}), (MatchList{1, 2})) << "positions in the order shown";

  EXPECT_EQ(NextMatch({2, 5, 9}, 5, true), 9u);
  EXPECT_EQ(NextMatch({2, 5, 9}, 9, true), 2u) << "wraps around";
  EXPECT_EQ(NextMatch({2, 5, 9}, 6, false), 5u);
  EXPECT_EQ(NextMatch({2, 5, 9}, 2, false), 9u);
  EXPECT_FALSE(NextMatch({}, 0, true));
}

}  // namespace
}  // namespace tarvo
