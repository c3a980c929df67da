// Reading RTF as other programs write it: code pages, Unicode, the tables, fields, lists,
// tables, skipped destinations and damaged input.

#include <gtest/gtest.h>

#include "content/rich_text_samples.h"
#include "content/rtf_reader.h"

namespace tarvo {
namespace {

RichDocument Read(std::string_view rtf) {
  ResultOf<RichDocument> read = ReadRtf(rtf);
  EXPECT_TRUE(read.ok()) << read.reason();
  EXPECT_TRUE(read.note().empty()) << read.note();
  return read.ok() ? read.value() : RichDocument{};
}

QString Text(std::string_view rtf) { return Read(rtf).plainText(); }

QString Utf8(const char* text) { return QString::fromUtf8(text); }

TEST(RtfReaderText, EightBitBytesFollowTheDocumentsOrTheFontsCodePage) {
  struct Case {
    const char* rtf;
    const char* text;
  };
  const Case cases[] = {
      // Windows-1252 by default: 0x80 to 0x9F are not Latin-1 control characters.
      {R"({\rtf1\ansi Gr\'fc\'dfe \'80 5 \'93quoted\'94})", "Grüße € 5 “quoted”"},
      {R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8\'e2\'e5\'f2})", "Привет"},
      {R"({\rtf1\ansi\ansicpg1253 \'ea\'e1\'eb\'e7\'ec\'dd\'f1\'e1})", "καλημέρα"},
      // A code page nobody knows reads as Windows-1252 rather than losing the text.
      {R"({\rtf1\ansi\ansicpg9999 \'e4\'80})", "ä€"},
      // A font's charset wins over the document's code page; two bytes make one character.
      {R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0 Arial;}{\f1\fcharset134 SimSun;}}\f1 \'c4\'e3\'ba\'c3\f0  ok})",
       "你好 ok"},
      // Raw 8-bit text: well-formed UTF-8 is UTF-8, anything else the code page.
      {"{\\rtf1\\ansi caf\xc3\xa9\\par caf\xe9}", "café\ncafé"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rtf);
    EXPECT_EQ(Text(c.rtf), Utf8(c.text));
  }
}

TEST(RtfReaderText, UnicodeWordsSkipAsManyStandInCharactersAsUcSays) {
  struct Case {
    const char* rtf;
    const char* text;
  };
  const Case cases[] = {
      {R"({\rtf1 \u945?\u946? end})", "αβ end"},                      // \uc1 is the default
      {R"({\rtf1\uc1 \u945\'e1\u946\'e2 end})", "αβ end"},             // a \'hh stand-in
      {R"({\rtf1\uc0 \u945\u946  end})", "αβ end"},                    // no stand-ins
      {R"({\rtf1\uc2 \u20320\'c4\'e3\u22909\'ba\'c3!})", "你好!"},     // two-byte stand-ins
      {R"({\rtf1\uc1 \u-10179?\u-8704?!})", "😀!"},                    // negative, a surrogate pair
      {R"({\rtf1\uc1 {\uc2 \u945??}\u946?x})", "αβx"},                 // \uc ends with its group
      {R"({\rtf1 \u233 x})", "é"},   // the space is the delimiter; 'x' is the stand-in
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rtf);
    EXPECT_EQ(Text(c.rtf), Utf8(c.text));
  }
}

TEST(RtfReaderText, SymbolsBreaksAndEscapes) {
  EXPECT_EQ(Text(R"({\rtf1 a\tab b\line c\par d\~e\_f\-g \{x\}\\ \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})"),
            QString("a\tb") + QChar(kRichLineBreak) + "c\nd" + Utf8("\u00A0e\u2011fg {x}\\ —–•‘’“”"));
  // Line ends in the file are not text; a backslash before one is a paragraph mark.
  EXPECT_EQ(Text("{\\rtf1 one\r\ntwo\\\nthree}"), "onetwo\nthree");
}

TEST(RtfReaderText, SkipsWhatANoteDoesNotShowAndIgnoresUnknownWords) {
  EXPECT_EQ(Text(R"({\rtf1{\*\unknowndest hidden {nested} text}{\*\generator Writer;}kept})"), "kept");
  EXPECT_EQ(Text(R"({\rtf1{\pict\pngblip 89504e470d0a1a0a{\*\blipuid 1234}}after})"), "after");
  EXPECT_EQ(Text(R"({\rtf1{\stylesheet{\s0 Normal;}}{\info{\title T}{\author A}}{\header H}body})"), "body");
  EXPECT_EQ(Text(R"({\rtf1\madeupword12 text \another-5 more})"), "text more");
  EXPECT_EQ(Text(R"({\rtf1 x{\v hidden}y})"), "xy");
  // Binary data may hold braces and backslashes; they are not RTF.
  EXPECT_EQ(Text("{\\rtf1{\\pict\\bin6 }{\\}\\{ still picture}after}"), "after");
}

TEST(RtfReaderFormat, CharacterPropertiesFromTheTables) {
  const RichDocument read = Read(
      R"({\rtf1\ansi\deff1{\fonttbl{\f0\froman Times New Roman;}{\f1\fswiss{\*\panose 020b0604020202020204}Arial{\*\falt Helvetica};}})"
      R"({\colortbl;\red192\green0\blue0;\red255\green255\blue0;}default )"
      R"({\f0\fs32\b\i\ul\strike\cf1\highlight2 all}{\b0 none}{\ul0 u}{\ulnone v}{\cb2 w}{\chcbpat1 x}{\b\plain y}})");
  ASSERT_EQ(read.paragraphs.size(), 1u);
  const auto& runs = read.paragraphs[0].runs;
  RichCharFormat arial;
  arial.fontFamily = "Arial";
  RichCharFormat all{"Times New Roman", 32, true, true, true, true, 0xC00000, 0xFFFF00, {}};
  RichCharFormat yellow = arial;
  yellow.backColour = 0xFFFF00;
  RichCharFormat red = arial;
  red.backColour = 0xC00000;
  const std::vector<RichRun> expected = {
      {"default ", arial}, {"all", all}, {"noneuv", arial}, {"w", yellow}, {"x", red}, {"y", arial}};
  EXPECT_EQ(runs, expected);
}

TEST(RtfReaderFormat, ParagraphPropertiesHoldUntilPard) {
  const RichDocument read = Read(
      R"({\rtf1\qc\li720\ri360\fi-360 one\par two\par\pard\qr three\par\qj four\par{\pard\qc five\par}six})");
  ASSERT_EQ(read.paragraphs.size(), 6u);
  const RichParagraphFormat shaped{RichAlignment::Centre, 720, 360, -360, RichListKind::None, 0};
  EXPECT_EQ(read.paragraphs[0].format, shaped);
  EXPECT_EQ(read.paragraphs[1].format, shaped);
  EXPECT_EQ(read.paragraphs[2].format.alignment, RichAlignment::Right);
  EXPECT_EQ(read.paragraphs[2].format.leftIndent, 0);
  EXPECT_EQ(read.paragraphs[3].format.alignment, RichAlignment::Justify);
  EXPECT_EQ(read.paragraphs[4].format.alignment, RichAlignment::Centre);
  // The group ended, and with it the paragraph properties set inside it.
  EXPECT_EQ(read.paragraphs[5].format.alignment, RichAlignment::Justify);
}

TEST(RtfReaderFormat, FieldsGiveLinksOrTheirResultText) {
  const RichDocument read = Read(
      R"({\rtf1 go {\field{\*\fldinst{HYPERLINK "https://example.org/p?q=1" \\o "tip"}}{\fldrslt{\ul here}}} )"
      R"(or {\field{\*\fldinst HYPERLINK \\l "mark"}{\fldrslt there}}, page {\field{\*\fldinst PAGE}{\fldrslt 7}}.})");
  ASSERT_EQ(read.paragraphs.size(), 1u);
  const auto& runs = read.paragraphs[0].runs;
  ASSERT_EQ(runs.size(), 5u) << testing::PrintToString(read);
  EXPECT_EQ(runs[1].text, "here");
  EXPECT_EQ(runs[1].format.link, "https://example.org/p?q=1");
  EXPECT_TRUE(runs[1].format.underline);
  EXPECT_EQ(runs[3].text, "there");
  EXPECT_EQ(runs[3].format.link, "#mark");
  EXPECT_EQ(runs[4].text, ", page 7.");
  EXPECT_TRUE(runs[4].format.link.isEmpty());
}

TEST(RtfReaderFormat, ListsFromTheListTableOldNumberingOrTheShownText) {
  const RichDocument read = Read(
      R"({\rtf1{\*\listtable{\list\listtemplateid5{\listlevel\levelnfc23{\leveltext\'01\u8226 ?;}{\levelnumbers;}})"
      R"({\listlevel\levelnfc4{\leveltext\'02\'01);}{\levelnumbers\'01;}}\listid77}})"
      R"({\*\listoverridetable{\listoverride\listid77\listoverridecount0\ls3}})"
      R"(\pard\ls3\ilvl0{\listtext\'b7\tab}dot\par)"
      R"(\pard\ls3\ilvl1{\listtext a)\tab}letter\par)"
      R"(\pard{\*\pn\pnlvlbody\pnucrm\pnstart1{\pntxta .}}{\pntext I.\tab}roman\par)"
      R"(\pard{\*\pn\pnlvlblt{\pntxtb\'b7}}{\pntext\'b7\tab}old bullet\par)"
      R"(\pard{\pntext 3.\tab}shown only\par)"
      R"(\pard plain})");
  ASSERT_EQ(read.paragraphs.size(), 6u);
  const auto kindAndLevel = [&](std::size_t i) {
    return std::pair(read.paragraphs[i].format.listKind, read.paragraphs[i].format.listLevel);
  };
  EXPECT_EQ(kindAndLevel(0), std::pair(RichListKind::Bullet, 0));
  EXPECT_EQ(kindAndLevel(1), std::pair(RichListKind::LowerAlpha, 1));
  EXPECT_EQ(kindAndLevel(2), std::pair(RichListKind::UpperRoman, 0));
  EXPECT_EQ(kindAndLevel(3), std::pair(RichListKind::Bullet, 0));
  EXPECT_EQ(kindAndLevel(4), std::pair(RichListKind::Decimal, 0));
  EXPECT_EQ(kindAndLevel(5), std::pair(RichListKind::None, 0));
  // The shown numbers are not part of the text.
  EXPECT_EQ(read.plainText(), "dot\nletter\nroman\nold bullet\nshown only\nplain");
}

TEST(RtfReaderFormat, TableRowsBecomeParagraphsWithTabsBetweenCells) {
  EXPECT_EQ(Text(R"({\rtf1 before\par\trowd\cellx1000\cellx2000\pard\intbl a\cell b\cell\row)"
                 R"(\trowd\cellx1000\cellx2000\pard\intbl c\par d\cell\cell\row\pard after})"),
            QString("before\na\tb\nc") + QChar(kRichLineBreak) + "d\t\nafter");
  // Each cell its own paragraph, ended by \par before \cell, as some writers do.
  EXPECT_EQ(Text(R"({\rtf1{\trowd{\pard\intbl x\par}\cell{\pard\intbl y\par}\cell\intbl\row}})"),
            "x\ty");
}

TEST(RtfReaderDamage, NotRtfAndTooDeepNestingAreFailuresWithAReason) {
  for (const char* bytes : {"", "  ", "plain text", "{rtf1 x}", "\\rtf1 {x}"}) {
    const ResultOf<RichDocument> read = ReadRtf(std::string_view(bytes));
    EXPECT_FALSE(read.ok()) << bytes;
    EXPECT_NE(read.reason().find("not an RTF document"), std::string::npos) << read.reason();
  }
  const auto nested = [](int depth) {
    return "{\\rtf1 " + std::string(static_cast<std::size_t>(depth - 1), '{') + "deep" +
           std::string(static_cast<std::size_t>(depth), '}');
  };
  const ResultOf<RichDocument> deepest = ReadRtf(nested(kRtfMaxGroupDepth));
  ASSERT_TRUE(deepest.ok()) << deepest.reason();
  EXPECT_EQ(deepest->plainText(), "deep");
  const ResultOf<RichDocument> tooDeep = ReadRtf(nested(kRtfMaxGroupDepth + 1));
  ASSERT_FALSE(tooDeep.ok());
  EXPECT_NE(tooDeep.reason().find("nested more than 1000 deep"), std::string::npos)
      << tooDeep.reason();
  // Far deeper input fails the same way, without exhausting the stack.
  EXPECT_FALSE(ReadRtf("{\\rtf1 " + std::string(1000000, '{')).ok());
}

TEST(RtfReaderDamage, ACutOffFileGivesTheTextSoFarWithANote) {
  const ResultOf<RichDocument> read = ReadRtf(std::string_view(R"({\rtf1 first\par{\b second)"));
  ASSERT_TRUE(read.ok()) << read.reason();
  EXPECT_EQ(read->plainText(), "first\nsecond");
  EXPECT_NE(read.note().find("ends inside 2 unclosed groups"), std::string::npos) << read.note();
  const ResultOf<RichDocument> unclosed = ReadRtf(std::string_view(R"({\rtf1 all of it\par)"));
  ASSERT_TRUE(unclosed.ok());
  EXPECT_EQ(unclosed->plainText(), "all of it");
  EXPECT_NE(unclosed.note().find("ends inside 1 unclosed group;"), std::string::npos)
      << unclosed.note();
  // Whatever follows the document's closing brace is not part of it.
  EXPECT_EQ(Text(R"({\rtf1 kept}trailing {\b junk})"), "kept");
}

}  // namespace
}  // namespace tarvo
