#include "viewer/required_literal.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include "support/temp_folder.h"
#include "viewer/text_search.h"

namespace tarvo {
namespace {

// What each kind of atom and quantifier leaves as required text; whatever the reading does
// not fully follow leaves none.
TEST(RequiredLiteral, LongestRunEveryMatchMustHold) {
  EXPECT_EQ(RequiredLiteral("ssh2: ED\\d+"), "ssh2: ED");
  EXPECT_EQ(RequiredLiteral("colou?r"), "colo") << "an optional letter is not required";
  EXPECT_EQ(RequiredLiteral("ab+c"), "ab") << "a repeated letter ends the run";
  EXPECT_EQ(RequiredLiteral("x{2}yz"), "yz");
  EXPECT_EQ(RequiredLiteral("e{0,3}rror"), "rror");
  EXPECT_EQ(RequiredLiteral("[abc]def[^]x]gh"), "def") << "a class whose first member is ]";
  EXPECT_EQ(RequiredLiteral("\\.log$"), ".log") << "an escaped sign is itself";
  EXPECT_EQ(RequiredLiteral("error\\d{3,}\\s+again"), "error");
  EXPECT_EQ(RequiredLiteral("(foo|bar)baz"), "baz") << "alternatives inside a group are skipped";
  EXPECT_EQ(RequiredLiteral("ab*?cd"), "cd") << "a lazy quantifier";
  EXPECT_EQ(RequiredLiteral("prüfung\\d"), "prüfung");
  EXPECT_EQ(RequiredLiteral("eü?x"), "e") << "an optional character goes with all its bytes";
  EXPECT_EQ(RequiredLiteral("[[:alpha:]]+log"), "log") << "a named class inside a class";
  EXPECT_EQ(RequiredLiteral("caf\xEF\xBF\xBD!"), "caf") << "a replacement character is not text of the file";

  for (const char* unsure : {"[[:]|x:]]foo", "foo|bar", "(?i)error", "(?:a)error", "\\x41BC", "\\QA.B\\E", "\\1abc", "\\p{L}abc",
                             "a{x}bc", "*abc", "abc)", "(abc", "[abc"}) {
    EXPECT_EQ(RequiredLiteral(unsure), "") << unsure;
  }
}

// The lines found by an expression are exactly those the expression matches alone, with and
// without regard to case, for lines that hold the text in other cases, in letters that fold
// beyond ASCII, and not at all.
TEST(RequiredLiteral, FilteringFindsWhatTheExpressionFinds) {
  const std::vector<std::string> lines = {
      "sshd: ssh2: ED25519 key", "SSH2: ed1 upper",       "\xC5\xBFsh2: ED7 long s", "colour and color",
      "colr",                    "abbbc ac",              "xxyz",                    "a.log and alog",
      "ALOG .LOG",               "K is \xE2\x84\xAA here", "nothing here",           "ssh2: ED no digits",
      "a:b",
  };
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  test::TempFolder folder;
  folder.put("mixed.log", bytes);
  TextDocument document;
  ASSERT_TRUE(document.load(folder.file("mixed.log")));

  for (const char* pattern :
       {"ssh2: ED\\d+", "colou?r", "ab+c", "x{2}yz", "\\.log", "k is", "^SSH2", "ED\\d$", "[[:]|x:]]foo"}) {
    for (const bool matchCase : {true, false}) {
      const QRegularExpression alone(QString::fromUtf8(pattern), matchCase ? QRegularExpression::NoPatternOption
                                                                           : QRegularExpression::CaseInsensitiveOption);
      MatchList expected;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (alone.match(QString::fromUtf8(lines[i])).hasMatch()) expected.push_back(static_cast<std::uint32_t>(i));
      }
      ResultOf<TextMatcher> matcher = TextMatcher::For({pattern, true, matchCase});
      ASSERT_TRUE(matcher) << matcher.reason();
      EXPECT_EQ(FindLines(document, *matcher, 0, document.lineCount()), expected)
          << pattern << (matchCase ? " matching case" : " folded");
    }
  }
}

}  // namespace
}  // namespace tarvo
