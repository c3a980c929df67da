#include "base/text_scan.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tarvo {
namespace {

// What FindLink gives: found, file or address, 1-based start, length, target, next position.
auto Link(std::string_view text) {
  const LinkScan scan = FindLink(text);
  return std::tuple(scan.link.found, scan.link.isFile, scan.link.start, scan.link.length, scan.link.target,
                    scan.next);
}

TEST(TextScan, FindLinkAddressesMailAndFiles) {
  EXPECT_EQ(Link("See www.Example.org, or not"), std::tuple(true, false, 5, 15, "http://www.example.org", 20));
  EXPECT_EQ(Link("Open C:\\Docs\\Plan.doc now"), std::tuple(true, true, 6, 16, "c:\\docs\\plan.doc", 22));
  EXPECT_EQ(FindLink("d:\\My Files\\a.txt,b").link.target, "d:\\my files\\a.txt")
      << "blanks before the dot stay in the path";
  EXPECT_EQ(Link("ratio 3:4"), std::tuple(false, false, -1, 0, "", -1));
  EXPECT_FALSE(FindLink("no dot C:\\x").link.found);
  EXPECT_FALSE(FindLink("").link.found);
  EXPECT_EQ(Link("Mail MAILTO:Ann"), std::tuple(true, false, 6, 10, "mailto:ann", 16));
  EXPECT_EQ(FindLink("a https://x.y/p?q=1 http://later").link.target, "http://later")
      << "schemes are tried in order, http first";
  EXPECT_EQ(FindLink("go ftp://host/f, then").link.target, "ftp://host/f");
  EXPECT_EQ(FindLink("c:/dir/file.txt").link.target, "c:/dir/file.txt")
      << "\":/\" without a scheme falls through to the file path";
  EXPECT_EQ(Link("See /home/Ann/My Plans/Q1.odt, soon"),
            std::tuple(true, true, 5, 25, "/home/Ann/My Plans/Q1.odt", 30))
      << "a path of this platform keeps its case and its blanks before the dot";
  EXPECT_EQ(FindLink("/srv/share/*.*").link.target, "/srv/share/*.*");
  EXPECT_FALSE(FindLink("either/or. Fine").link.found) << "a slash inside a word is no path";
  EXPECT_FALSE(FindLink("/no/dot/here").link.found);
}

TEST(TextScan, ParseNumberReadsThousandsAndStopsAtDots) {
  const auto number = [](std::string_view text, int from) {
    const NumberScan scan = ParseNumber(text, from);
    return std::pair(scan.value, scan.end);
  };
  EXPECT_EQ(number("Total 1,234 units", 1), std::pair(std::int64_t{1234}, 12));
  EXPECT_EQ(number("12.5", 0), std::pair(std::int64_t{12}, 3));
  EXPECT_EQ(number("a1 b22", 3), std::pair(std::int64_t{22}, 7));
  EXPECT_EQ(ParseNumber("no digits", 1).end, 0);
  EXPECT_EQ(ParseNumber("abc", 4).end, -1);
  EXPECT_EQ(ParseNumber("", 1).end, -1);
  EXPECT_GT(ParseNumber("99999999999999999999999999", 1).value, 0) << "saturates";
}

TEST(TextScan, ClassifyTextAndVersionValue) {
  // Text, blanks, extra characters and the class; other characters change nothing ("-x").
  for (const auto& [text, blanks, extra, token] :
       {std::tuple{"", "", "", kNoToken}, {"  ", " ", "", kNoToken}, {"  42", " ", "", kNumberToken},
        {"4.2", "", "", kDecimalToken}, {".5", "", "", kDecimalToken}, {"abc.d", "", "", kWordToken},
        {"#", "", "#$", kExtraToken}, {"#$", "", "#$", kWordToken}, {"-x", "", "", kWordToken}}) {
    EXPECT_EQ(ClassifyText(text, blanks, extra), token) << "\"" << text << "\"";
  }

  EXPECT_EQ(VersionValue("2.1.3.45"), 200'130'045);
  EXPECT_EQ(VersionValue("2.1"), 200'100'000);
  EXPECT_EQ(VersionValue("1..2"), 100'000'000 + 20'000);
  EXPECT_EQ(VersionValue("1.2.3.4.5"), 100'200'000 + 30'000 + 4);
  EXPECT_EQ(VersionValue(""), 0);
  EXPECT_LT(VersionValue("1.9"), VersionValue("1.10"));
  EXPECT_GT(VersionValue("99999999999999999999.1"), 0);
  EXPECT_GT(VersionValue("9999999999999999999.9999999999999999999.9.5127914462427101410"), 0)
      << "huge groups saturate instead of overflowing";

  EXPECT_EQ(UpperText("straße äö"), "STRASSE ÄÖ");
  EXPECT_EQ(CharText('x'), "x");
}

}  // namespace
}  // namespace tarvo
