#include "ui/pages/notes_page.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

namespace tarvo {
namespace {

QTextCharFormat FormatAt(QTextEdit& editor, int position) {
  QTextCursor cursor(editor.document());
  cursor.setPosition(position);
  return cursor.charFormat();
}

// Typed addresses become links whole, the words after them stay plain, and a double click on
// a link asks for it to be opened.
TEST(NotesPage, TypedAddressesBecomeLinksAndOpenOnDoubleClick) {
  TNotesPage page;
  page.resize(500, 300);
  page.show();
  QTextEdit& editor = page.editor();
  QSignalSpy edited(&page, &TNotesPage::edited);
  QTest::keyClicks(&editor, "see www.Example.org/plan now");
  EXPECT_GT(edited.size(), 0);
  EXPECT_TRUE(FormatAt(editor, 8).isAnchor());
  EXPECT_EQ(FormatAt(editor, 8).anchorHref(), "http://www.example.org/plan") << "the whole address, not what was typed first";
  EXPECT_FALSE(FormatAt(editor, 26).isAnchor()) << "the word after the link is plain";
  EXPECT_FALSE(FormatAt(editor, 2).isAnchor());

  QSignalSpy opened(&page, &TNotesPage::openRequested);
  QTextCursor at(editor.document());
  at.setPosition(10);
  const QPoint point = editor.cursorRect(at).center();
  QTest::mouseDClick(editor.viewport(), Qt::LeftButton, {}, point);
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened[0][0].toString(), "http://www.example.org/plan");
  EXPECT_FALSE(editor.textCursor().hasSelection());

  page.beginLoading();
  editor.setPlainText("loaded www.example.org");
  page.endLoading();
  EXPECT_FALSE(FormatAt(editor, 10).isAnchor()) << "a loaded note keeps its own formatting";
}

}  // namespace
}  // namespace tarvo
