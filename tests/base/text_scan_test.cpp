#include "base/text_scan.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(TextScan, FindLinkAddressesMailAndFiles) {
  const LinkScan www = FindLink("See www.Example.org, or not");
  EXPECT_TRUE(www.link.found);
  EXPECT_FALSE(www.link.isFile);
  EXPECT_EQ(www.link.start, 5);
  EXPECT_EQ(www.link.length, 15);
  EXPECT_EQ(www.link.target, "http://www.example.org");
  EXPECT_EQ(www.next, 20);

  const LinkScan file = FindLink("Open C:\\Docs\\Plan.doc now");
  EXPECT_TRUE(file.link.found);
  EXPECT_TRUE(file.link.isFile);
  EXPECT_EQ(file.link.target, "c:\\docs\\plan.doc");
  EXPECT_EQ(file.link.start, 6);
  EXPECT_EQ(file.next, 22);

  const LinkScan spaced = FindLink("d:\\My Files\\a.txt,b");
  EXPECT_EQ(spaced.link.target, "d:\\my files\\a.txt") << "blanks before the dot stay in the path";

  EXPECT_FALSE(FindLink("ratio 3:4").link.found);
  EXPECT_EQ(FindLink("ratio 3:4").next, -1);
  EXPECT_FALSE(FindLink("no dot C:\\x").link.found);
  EXPECT_FALSE(FindLink("").link.found);

  EXPECT_EQ(FindLink("Mail MAILTO:Ann").link.target, "mailto:ann");
  EXPECT_EQ(FindLink("Mail MAILTO:Ann").next, 16);

  const LinkScan https = FindLink("a https://x.y/p?q=1 http://later");
  EXPECT_EQ(https.link.target, "http://later") << "schemes are tried in order, http first";
  EXPECT_EQ(FindLink("go ftp://host/f, then").link.target, "ftp://host/f");
  EXPECT_EQ(FindLink("c:/dir/file.txt").link.target, "c:/dir/file.txt")
      << "\":/\" without a scheme falls through to the file path";
}

TEST(TextScan, ParseNumberReadsThousandsAndStopsAtDots) {
  NumberScan scan = ParseNumber("Total 1,234 units", 1);
  EXPECT_EQ(scan.value, 1234);
  EXPECT_EQ(scan.end, 12);
  scan = ParseNumber("12.5", 0);
  EXPECT_EQ(scan.value, 12);
  EXPECT_EQ(scan.end, 3);
  scan = ParseNumber("a1 b22", 3);
  EXPECT_EQ(scan.value, 22);
  EXPECT_EQ(scan.end, 7);
  EXPECT_EQ(ParseNumber("no digits", 1).end, 0);
  EXPECT_EQ(ParseNumber("abc", 4).end, -1);
  EXPECT_EQ(ParseNumber("", 1).end, -1);
  EXPECT_GT(ParseNumber("99999999999999999999999999", 1).value, 0) << "saturates";
}

TEST(TextScan, ClassifyTextAndVersionValue) {
  EXPECT_EQ(ClassifyText("", "", ""), kNoToken);
  EXPECT_EQ(ClassifyText("  ", " ", ""), kNoToken);
  EXPECT_EQ(ClassifyText("  42", " ", ""), kNumberToken);
  EXPECT_EQ(ClassifyText("4.2", "", ""), kDecimalToken);
  EXPECT_EQ(ClassifyText(".5", "", ""), kDecimalToken);
  EXPECT_EQ(ClassifyText("abc.d", "", ""), kWordToken);
  EXPECT_EQ(ClassifyText("#", "", "#$"), kExtraToken);
  EXPECT_EQ(ClassifyText("#$", "", "#$"), kWordToken);
  EXPECT_EQ(ClassifyText("-x", "", ""), kWordToken) << "other characters change nothing";

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
