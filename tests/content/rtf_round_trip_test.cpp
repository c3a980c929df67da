// Writing a note and reading it back gives the same note, for every formatting kind; the
// written bytes are plain 7-bit RTF.

#include <gtest/gtest.h>

#include <algorithm>

#include "content/rich_text_samples.h"
#include "content/rtf_reader.h"
#include "content/rtf_writer.h"

namespace tarvo {
namespace {

using test::EveryFormattingKind;
using test::PlainDocument;

TEST(RtfRoundTrip, EveryFormattingKindComesBackUnchanged) {
  for (const test::RichSample& sample : EveryFormattingKind()) {
    SCOPED_TRACE(sample.name);
    const std::string written = WriteRtf(sample.document);
    const ResultOf<RichDocument> read = ReadRtf(written);
    ASSERT_TRUE(read.ok()) << read.reason();
    EXPECT_TRUE(read.note().empty()) << read.note();
    EXPECT_EQ(read.value(), sample.document) << "written:\n" << written;
  }
}

TEST(RtfRoundTrip, WrittenBytesAreSevenBitWithNonAsciiAsUnicodeWords) {
  const RichDocument note = PlainDocument({QString::fromUtf8("Grüße καλημέρα 你好 😀")});
  const std::string written = WriteRtf(note);
  EXPECT_TRUE(std::all_of(written.begin(), written.end(), [](char c) { return (c & 0x80) == 0; }));
  EXPECT_NE(written.find("Gr\\u252?\\u223?e"), std::string::npos) << written;
  EXPECT_NE(written.find("\\u20320?\\u22909?"), std::string::npos) << written;
  // U+1F600 beyond the 16-bit range: a surrogate pair, each half a signed 16-bit number.
  EXPECT_NE(written.find("\\u-10179?\\u-8704?"), std::string::npos) << written;
}

TEST(RtfRoundTrip, ListParagraphsCarryTheirNumberAsTextForOtherReaders) {
  RichDocument note;
  RichParagraphFormat bullet;
  bullet.listKind = RichListKind::Bullet;
  note.paragraphs.push_back(test::MakeParagraph({{"a bullet before: its count is not ours", {}}}, bullet));
  RichParagraphFormat numbered;
  numbered.listKind = RichListKind::UpperRoman;
  for (const char* text : {"one", "two", "three", "four"}) {
    note.paragraphs.push_back(test::MakeParagraph({{text, {}}}, numbered));
  }
  const std::string written = WriteRtf(note);
  for (const char* shown : {"{\\listtext\\pard\\plain I.\\tab}", "{\\listtext\\pard\\plain IV.\\tab}"}) {
    EXPECT_NE(written.find(shown), std::string::npos) << shown << " in\n" << written;
  }
  EXPECT_EQ(written.find("\\plain V.\\tab"), std::string::npos) << written;
  EXPECT_NE(written.find("\\levelnfc1"), std::string::npos);
  EXPECT_NE(written.find("\\ls6\\ilvl0"), std::string::npos);
}

TEST(RtfRoundTrip, LinksAreHyperlinkFields) {
  RichCharFormat linked;
  linked.link = "https://example.org/x";
  RichDocument note;
  note.paragraphs.push_back(test::MakeParagraph({{"see ", {}}, {"this", linked}}));
  const std::string written = WriteRtf(note);
  EXPECT_NE(written.find("{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/x\"}}{\\fldrslt{"),
            std::string::npos)
      << written;
}

}  // namespace
}  // namespace tarvo
