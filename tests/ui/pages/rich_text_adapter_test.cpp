// The editor's QTextDocument holds every formatting kind of a note: model -> editor -> model
// gives the note back, and the editor shows lists, links and formats as Qt's own objects.

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include "content/rich_text_samples.h"
#include "ui/pages/rich_text_adapter.h"

namespace tarvo {
namespace {

TEST(RichTextAdapter, EveryFormattingKindSurvivesTheEditor) {
  for (const test::RichSample& sample : test::EveryFormattingKind()) {
    // The editor always holds one paragraph: one empty paragraph and no paragraph are the same
    // there, and both come back as a note without paragraphs.
    if (sample.name == "one empty paragraph") continue;
    SCOPED_TRACE(sample.name);
    QTextDocument editor;
    ToTextDocument(sample.document, editor);
    EXPECT_EQ(FromTextDocument(editor), sample.document);
  }
}

TEST(RichTextAdapter, EditorSeesQtListsAnchorsAndFormats) {
  RichCharFormat link;
  link.link = "https://example.org/";
  link.bold = true;
  RichParagraphFormat numbered;
  numbered.listKind = RichListKind::Decimal;
  RichDocument note;
  for (const char* item : {"one", "two", "three"}) {
    note.paragraphs.push_back(test::MakeParagraph({{item, {}}}, numbered));
  }
  note.paragraphs.push_back(test::MakeParagraph({{"go ", {}}, {"there", link}}));

  QTextDocument editor;
  ToTextDocument(note, editor);
  ASSERT_EQ(editor.blockCount(), 4);
  const QTextList* list = editor.begin().textList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->count(), 3) << "consecutive items share one list, so they count on";
  EXPECT_EQ(list->itemText(editor.findBlockByNumber(2)), "3.");
  EXPECT_EQ(editor.lastBlock().textList(), nullptr);

  QTextCursor cursor(editor.lastBlock());
  cursor.movePosition(QTextCursor::EndOfBlock);
  EXPECT_TRUE(cursor.charFormat().isAnchor());
  EXPECT_EQ(cursor.charFormat().anchorHref(), "https://example.org/");
  EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
}

TEST(RichTextAdapter, TypingIntoTheEditorGivesPlainRunsInDefaultFormat) {
  QTextDocument editor;
  EXPECT_EQ(FromTextDocument(editor), RichDocument{});
  QTextCursor cursor(&editor);
  cursor.insertText("typed");
  cursor.insertBlock();
  cursor.insertText("more");
  EXPECT_EQ(FromTextDocument(editor), test::PlainDocument({"typed", "more"}));
}

}  // namespace
}  // namespace tarvo
