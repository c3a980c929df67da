// A note our writer saved opens in LibreOffice Writer with its text: converted to plain text
// there, every paragraph comes out as a line, and list paragraphs show their bullet or number
// from the list table. Skipped where soffice is not installed.

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include "content/rich_text_samples.h"
#include "content/rtf_writer.h"
#include "support/temp_folder.h"

namespace tarvo {
namespace {

RichDocument NoteForAnotherReader() {
  RichCharFormat bold;
  bold.bold = true;
  RichCharFormat link;
  link.link = "https://example.org/";
  link.textColour = 0x0000FF;
  RichDocument note = test::PlainDocument({QString::fromUtf8("Grüße, καλημέρα, 你好 😀")});
  note.paragraphs.push_back(test::MakeParagraph({{"Some ", {}}, {"bold", bold}, {" and a ", {}},
                                                 {"link", link}, {" {braces} \\", {}}}));
  RichParagraphFormat centred;
  centred.alignment = RichAlignment::Centre;
  note.paragraphs.push_back(test::MakeParagraph({{"centred", {}}}, centred));
  RichParagraphFormat item;
  item.leftIndent = 720;
  item.firstLineIndent = -360;
  item.listKind = RichListKind::Bullet;
  note.paragraphs.push_back(test::MakeParagraph({{"apple", {}}}, item));
  item.listKind = RichListKind::Decimal;
  note.paragraphs.push_back(test::MakeParagraph({{"one", {}}}, item));
  note.paragraphs.push_back(test::MakeParagraph({{"two", {}}}, item));
  return note;
}

TEST(RtfInLibreOffice, WrittenNoteConvertsToItsText) {
  const QString soffice = QStandardPaths::findExecutable("soffice");
  if (soffice.isEmpty()) GTEST_SKIP() << "soffice is not installed";
  const test::TempFolder folder;
  const RichDocument note = NoteForAnotherReader();
  folder.put("note.rtf", WriteRtf(note));

  QProcess convert;
  convert.setWorkingDirectory(QString::fromStdString(folder.path()));
  convert.start(soffice, {"--headless",
                          "-env:UserInstallation=file://" + QString::fromStdString(folder.file("profile")),
                          "--convert-to", "txt:Text (encoded):UTF8", "--outdir",
                          QString::fromStdString(folder.path()), "note.rtf"});
  // Generous: only to end a hung conversion, never a measure of speed.
  ASSERT_TRUE(convert.waitForFinished(300000)) << "soffice did not finish";
  ASSERT_EQ(convert.exitCode(), 0) << convert.readAllStandardError().toStdString();

  QString text = QString::fromUtf8(test::ReadBytes(folder.file("note.txt")));
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  text.replace("\r\n", "\n");
  QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
  for (QString& line : lines) line = line.trimmed();
  const QStringList expected = {QString::fromUtf8("Grüße, καλημέρα, 你好 😀"),
                                "Some bold and a link {braces} \\",
                                "centred",
                                QString::fromUtf8("• apple"),
                                "1. one",
                                "2. two"};
  EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace tarvo
