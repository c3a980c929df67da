// RTF written by other programs (tests/content/samples, made by make-samples.sh from one HTML
// page): the text in order and its formatting; and every prefix of a real file read safely.

#include <gtest/gtest.h>

#include "content/rich_text_samples.h"
#include "content/rtf_reader.h"
#include "content/rtf_writer.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

std::string Sample(const char* name) {
  return test::ReadBytes(std::string(TARVO_SOURCE_DIR) + "/tests/content/samples/" + name);
}

RichDocument ReadSample(const char* name) {
  const std::string bytes = Sample(name);
  EXPECT_FALSE(bytes.empty()) << name;
  ResultOf<RichDocument> read = ReadRtf(bytes);
  EXPECT_TRUE(read.ok()) << read.reason();
  EXPECT_TRUE(read.note().empty()) << read.note();
  return read.ok() ? read.value() : RichDocument{};
}

// The runs of the document whose text is exactly `text`.
std::vector<RichRun> RunsWithText(const RichDocument& document, const QString& text) {
  std::vector<RichRun> found;
  for (const RichParagraph& paragraph : document.paragraphs) {
    for (const RichRun& run : paragraph.runs) {
      if (run.text.trimmed() == text) found.push_back(run);
    }
  }
  return found;
}

// Index of the first paragraph from `from` on that contains `text`; -1 when none does.
int FindParagraph(const RichDocument& document, const QString& text, int from) {
  for (int i = from; i < static_cast<int>(document.paragraphs.size()); ++i) {
    if (document.paragraphs[static_cast<std::size_t>(i)].text().contains(text)) return i;
  }
  return -1;
}

void ExpectTextInOrder(const RichDocument& document) {
  const char* lines[] = {"Plan for the spring garden and the shed repairs.",
                         "Order seeds from the seed catalogue before March.",
                         "Red text marks what is late.",
                         "Tomatoes",
                         "Beans",
                         "Bed\tCrop",
                         "North\tLeeks",
                         "Ελληνικά: καλημέρα",
                         "中文：你好世界",
                         "Äpfel, Öl und Übung"};
  int at = 0;
  for (const char* line : lines) {
    const int found = FindParagraph(document, QString::fromUtf8(line), at);
    EXPECT_GE(found, 0) << line << " after paragraph " << at << testing::PrintToString(document);
    if (found >= 0) at = found + 1;
  }
}

void ExpectBoldItalicAndLink(const RichDocument& document) {
  const auto bold = RunsWithText(document, "spring garden");
  ASSERT_EQ(bold.size(), 1u) << testing::PrintToString(document);
  EXPECT_TRUE(bold[0].format.bold);
  EXPECT_FALSE(bold[0].format.italic);
  const auto italic = RunsWithText(document, "shed repairs");
  ASSERT_EQ(italic.size(), 1u);
  EXPECT_TRUE(italic[0].format.italic);
  EXPECT_FALSE(italic[0].format.bold);
  const auto link = RunsWithText(document, "the seed catalogue");
  ASSERT_EQ(link.size(), 1u);
  EXPECT_EQ(link[0].format.link, "https://seeds.example.org/catalogue");
  // The text around them is plain.
  const auto plain = RunsWithText(document, "and the");
  ASSERT_EQ(plain.size(), 1u);
  EXPECT_FALSE(plain[0].format.bold || plain[0].format.italic);
}

TEST(RtfSamples, LibreOfficeWriterFileKeepsTextFormattingAndTheBulletList) {
  const RichDocument document = ReadSample("libreoffice.rtf");
  ExpectTextInOrder(document);
  ExpectBoldItalicAndLink(document);
  const auto red = RunsWithText(document, "Red text marks what is late.");
  ASSERT_EQ(red.size(), 1u);
  EXPECT_EQ(red[0].format.textColour, RichColour{0xC00000});
  for (const char* item : {"Tomatoes", "Beans"}) {
    const int at = FindParagraph(document, item, 0);
    ASSERT_GE(at, 0);
    const RichParagraph& paragraph = document.paragraphs[static_cast<std::size_t>(at)];
    EXPECT_EQ(paragraph.format.listKind, RichListKind::Bullet) << item;
    EXPECT_EQ(paragraph.text().trimmed(), item) << "the bullet is not text";
  }
}

TEST(RtfSamples, PandocFileKeepsTextAndFormatting) {
  // pandoc writes no colours and draws bullets as text, so only these are checked.
  const RichDocument document = ReadSample("pandoc.rtf");
  ExpectTextInOrder(document);
  ExpectBoldItalicAndLink(document);
}

// A cut-off file must never crash or hang the reader; whatever it gives is at most the
// whole file's paragraphs.
void ReadEveryPrefix(const std::string& bytes) {
  const ResultOf<RichDocument> whole = ReadRtf(bytes);
  ASSERT_TRUE(whole.ok()) << whole.reason();
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    const ResultOf<RichDocument> read = ReadRtf(std::string_view(bytes).substr(0, length));
    if (length >= 5) {
      ASSERT_TRUE(read.ok()) << "prefix of " << length << ": " << read.reason();
      if (length <= bytes.rfind('}')) {  // the document's closing brace is missing
        ASSERT_FALSE(read.note().empty()) << "a cut-off file is reported, at " << length;
      }
      ASSERT_LE(read->paragraphs.size(), whole->paragraphs.size()) << length;
    }
  }
}

TEST(RtfSamples, EveryPrefixOfARealFileIsReadSafely) {
  ReadEveryPrefix(Sample("libreoffice.rtf"));
  ReadEveryPrefix(Sample("pandoc.rtf"));
  // Our own writing, with a list table, a link, formats and non-ASCII text (not every kind:
  // the loop is quadratic in the file's size).
  RichDocument own;
  for (const test::RichSample& sample : test::EveryFormattingKind()) {
    if (sample.name == "everything at once" || sample.name == "numbers" || sample.name == "non-ASCII") {
      own.paragraphs.insert(own.paragraphs.end(), sample.document.paragraphs.begin(),
                            sample.document.paragraphs.end());
    }
  }
  ReadEveryPrefix(WriteRtf(own));
}

}  // namespace
}  // namespace tarvo
