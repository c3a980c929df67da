#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QLabel>
#include <QTextDocument>
#include <QTimer>
#include <QTextEdit>
#include <QTreeView>
#include <filesystem>

#include "content/rtf_reader.h"
#include "support/app_fixture.h"
#include "ui/main/started_window.h"
#include "ui/main/topic_pages_panel.h"
#include "ui/pages/checklist_page.h"
#include "ui/pages/notes_page.h"
#include "ui/pages/page_title_dialog.h"

namespace tarvo {
namespace {

using test::AppFolders;
using test::StartedWindow;

struct PagesWindow : StartedWindow {
  // Active, so the pages' keys reach their commands.
  explicit PagesWindow(const AppFolders& folders) : StartedWindow(folders) {
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  TTopicPagesPanel& panel() { return *window.findChild<TTopicPagesPanel*>("panelToDoNew"); }
  QTabBar& tabs() { return *window.findChild<QTabBar*>("tabsData"); }
  TChecklistPage& checklist() { return panel().checklist(); }
  QLineEdit& edit() { return *window.findChild<QLineEdit*>("editCheckList"); }
  const TopicRecord& record(const std::string& caption) {
    return *window.treeModel().nodeAt(find(caption))->record;
  }
  void show(const std::string& caption, int tab) {
    tree()->setCurrentIndex(find(caption));
    tabs().setCurrentIndex(tab);
  }
  void type(const QString& text) {
    QTest::keyClicks(&edit(), text);
    QTest::keyClick(&edit(), Qt::Key_Return);
  }
  // Presses on the tick box of a row.
  void tick(int row) {
    QTreeView& view = checklist().view();
    const QRect rect = view.visualRect(view.model()->index(row, 0));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 6, rect.center().y()));
  }
};

// A task's checklist: typed items, a tick on the box, the task's status and progress, the file
// on leaving the topic, and the file gone with its last item.
TEST(TopicPagesPanel, ChecklistTicksDriveTheTaskAndTheFileFollowsTheItems) {
  AppFolders folders;
  PagesWindow started(folders);
  started.show("Getting started", 1);
  ASSERT_EQ(started.tabs().count(), 2);

  EXPECT_EQ(started.tabs().tabText(0), "Details");
  EXPECT_EQ(started.tabs().tabText(1), "Checklist");
  ASSERT_TRUE(started.checklist().isVisible());

  started.type("Read the guide");
  started.type("Make a first topic");
  started.type("Tick this one");
  ASSERT_EQ(started.checklist().items().size(), 3u);
  started.tick(2);
  const TopicRecord& task = started.record("Getting started");
  EXPECT_EQ(std::tuple(task.status, task.progress), std::tuple(2, 33));
  EXPECT_TRUE(started.checklist().items()[2].ticked);
  EXPECT_FALSE(started.checklist().items()[2].finished.empty());
  started.tick(0);
  started.tick(1);
  EXPECT_EQ(std::tuple(task.status, task.progress), std::tuple(3, 100));

  const std::string id(task.uni);
  started.tree()->setCurrentIndex(started.find("Plan the week"));  // leaving saves
  const std::string file = folders.data("CheckList/" + id + "-2.lst");
  EXPECT_EQ(test::ReadBytes(file).substr(0, 6), "chk=1\r") << test::ReadBytes(file);
  EXPECT_NE(test::ReadBytes(folders.data("Packs/" + id + ".pkt")).find("file=" + id + "-2.lst"), std::string::npos);
  EXPECT_NE(test::ReadBytes(folders.data("CheckList/" + id + "-2.~lst")).find("data=1"), std::string::npos);
  EXPECT_EQ(task.dac, 1);

  started.show("Getting started", 1);
  ASSERT_EQ(started.checklist().items().size(), 3u) << "read back from the file";
  started.checklist().optCheckSelectAll();
  started.checklist().CLRemove();
  started.tree()->setCurrentIndex(started.find("Plan the week"));
  EXPECT_FALSE(std::filesystem::exists(file)) << "the last item gone, the file goes";
  EXPECT_EQ(task.dac, 0);
}

// The edit box adds and changes items; the popup's items follow the item under the pointer;
// pasted lines and a dropped folder become items; a column dragged shut is saved hidden.
TEST(TopicPagesPanel, EditBoxPopupPasteDropAndColumnLayout) {
  AppFolders folders;
  PagesWindow started(folders);
  started.show("Plan the week", 1);
  TChecklistPage& page = started.checklist();
  auto* add = started.window.findChild<QPushButton*>("buttonChecklistAdd");
  EXPECT_FALSE(add->isEnabled()) << "nothing typed, nothing to add";
  started.type("Monday");
  started.type("Tuesday");
  page.view().setCurrentIndex(page.model().index(0, 0));
  EXPECT_EQ(add->text(), "Change");
  EXPECT_EQ(started.edit().text(), "Monday");
  QTest::keyClicks(&started.edit(), " morning");
  EXPECT_EQ(page.items()[0].text, "Monday morning") << "the item follows the box as it is typed";
  QTest::keyClick(&started.edit(), Qt::Key_Return);
  EXPECT_EQ(add->text(), "Add");

  QApplication::clipboard()->setText("Wednesday\nThursday https://example.org/plan\n");
  page.optCheckPaste();
  ASSERT_EQ(page.items().size(), 4u);
  EXPECT_TRUE(page.items()[3].link.found);
  QSignalSpy opened(&page, &TChecklistPage::openRequested);
  const QRect last = page.view().visualRect(page.model().index(3, 0));
  QTest::mouseDClick(page.view().viewport(), Qt::LeftButton, {}, last.center());
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened[0][0].toString(), "https://example.org/plan");

  page.view().clearSelection();
  page.listviewCheckContextPopup(page.view().visualRect(page.model().index(0, 0)).center());
  const auto enabled = [&page](const char* name) { return page.findChild<QAction*>(name)->isEnabled(); };
  EXPECT_FALSE(enabled("CLUp")) << "the first item cannot move up";
  EXPECT_TRUE(enabled("CLDown"));
  EXPECT_FALSE(enabled("optCheckLink"));
  EXPECT_FALSE(enabled("CLRemoveAllTicks")) << "nothing is ticked";
  page.listviewCheckContextPopup(QPoint(5, page.view().viewport()->height() - 3));
  EXPECT_FALSE(enabled("CLRemove")) << "no item under the pointer";
  EXPECT_TRUE(enabled("CLAdd"));

  const QString folder = QString::fromStdString(folders.home.path()) + "/Trip photos";
  std::filesystem::create_directory(folder.toStdString());
  auto* data = new QMimeData;
  data->setUrls({QUrl::fromLocalFile(folder)});
  QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, data, Qt::LeftButton, {});
  QApplication::sendEvent(&started.window, &enter);
  EXPECT_TRUE(enter.isAccepted()) << "files are welcome while a checklist is on show";
  QDropEvent drop(QPointF(20, 20), Qt::CopyAction, data, Qt::LeftButton, {});
  QApplication::sendEvent(&started.window, &drop);
  delete data;
  ASSERT_EQ(page.items().size(), 5u);
  EXPECT_EQ(page.items()[4].text, folder.toStdString() + "/*.*");
  EXPECT_EQ(page.view().currentIndex().row(), 4) << "the dropped item is selected";
  QTest::keyClick(&page.view(), Qt::Key_Return);
  EXPECT_EQ(opened.last()[0].toString(), folder + "/") << "opening a folder item opens the folder";

  page.view().header()->resizeSection(0, 220);
  page.view().header()->resizeSection(1, 0);
  const std::string id(started.record("Plan the week").uni);
  started.tree()->setCurrentIndex(started.find("Getting started"));
  const std::string info = test::ReadBytes(folders.data("CheckList/" + id + "-2.~lst"));
  EXPECT_NE(info.find("col=1\r\nvis=1\r\nwid=220\r\n"), std::string::npos) << info;
  EXPECT_NE(info.find("col=2\r\nvis=0\r\nwid=130\r\n"), std::string::npos) << "hidden, its last width kept: " << info;
  started.show("Plan the week", 1);
  EXPECT_EQ(page.view().header()->sectionSize(1), 0) << "the hidden column comes back hidden";
}

// A note typed with formatting is saved as rich text on the timer's save, reads back with its
// formatting, prints as a PDF with both titles, and is gone when emptied.
TEST(TopicPagesPanel, NotesSaveAsRichTextPrintAndGoWhenEmptied) {
  AppFolders folders;
  PagesWindow started(folders);
  started.show("Getting started", 0);
  TNotesPage& notes = started.panel().notes();
  QTextEdit& editor = notes.editor();
  ASSERT_TRUE(editor.isVisible());
  editor.setFocus();
  editor.insertPlainText("Καλημέρα ");  // typed by an input method: the test keyboard knows ASCII only
  QTest::keyClick(&editor, Qt::Key_B, Qt::ControlModifier);
  QTest::keyClicks(&editor, "bold ");
  editor.insertPlainText("你好");
  started.window.findChild<QAction*>("MVSave")->trigger();

  const std::string id(started.record("Getting started").uni);
  const std::string path = folders.data("Text/" + id + "-1.txt");
  const std::string bytes = test::ReadBytes(path);
  ASSERT_TRUE(bytes.starts_with("{\\rtf1")) << bytes.substr(0, 40);
  const ResultOf<RichDocument> read = ReadRtf(bytes);
  ASSERT_TRUE(read.ok()) << read.reason();
  EXPECT_NE(test::ReadBytes(folders.data("CheckList/" + id + "-1.~txt")).find("rtf=1"), std::string::npos);

  started.tree()->setCurrentIndex(started.find("Plan the week"));
  started.show("Getting started", 0);
  EXPECT_EQ(editor.toPlainText(), "Καλημέρα bold 你好");
  QTextCursor cursor(editor.document());
  cursor.setPosition(12);
  EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold) << "the bold run came back";
  cursor.setPosition(3);
  EXPECT_NE(cursor.charFormat().fontWeight(), QFont::Bold);

  const std::unique_ptr<QTextDocument> document = started.panel().pageDocument();
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->toPlainText(), "Getting started\nDetails\nΚαλημέρα bold 你好");
  const QString pdf = QString::fromStdString(folders.home.file("page.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  document->print(&printer);
  QProcess text;
  text.start("pdftotext", {pdf, "-"});
  ASSERT_TRUE(text.waitForFinished(20000));
  const QString printed = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_TRUE(printed.contains("Getting started")) << printed.toStdString();
  EXPECT_TRUE(printed.contains("Καλημέρα")) << printed.toStdString();

  ASSERT_TRUE(started.panel().saveDocumentAs(QString::fromStdString(folders.home.file("page.doc"))).ok());
  EXPECT_TRUE(test::ReadBytes(folders.home.file("page.rtf")).starts_with("{\\rtf1")) << "the extension is forced";

  editor.selectAll();
  QTest::keyClick(&editor, Qt::Key_Delete);
  started.window.findChild<QAction*>("MVSave")->trigger();
  EXPECT_FALSE(std::filesystem::exists(path)) << "an emptied note deletes its file";
}

// The highlighter: with only a background chosen, Ctrl+H on a selection gives it that
// background and keeps its text colour; the palette shows the sample sentence with nothing
// selected; removing the highlight gives white back.
TEST(TopicPagesPanel, HighlighterAppliesTheChosenColoursOnly) {
  AppFolders folders;
  PagesWindow started(folders);
  started.show("Getting started", 0);
  TNotesPage& notes = started.panel().notes();
  QTextEdit& editor = notes.editor();
  editor.setPlainText("mark these words");

  TformHilite palette("", Qt::white, TformHilite::Mode::Background);
  EXPECT_EQ(palette.findChild<QTextEdit*>("RichEdit1")->toPlainText(), "The quick brown fox jumped over the lazy dog.");
  palette.swatchClick(2);
  EXPECT_EQ(palette.chosenBack(), 0xD7FFD7);
  EXPECT_EQ(palette.chosenText(), kNoColour);

  int asked = 0;
  notes.choosePalette = [&asked](TformHilite::Mode mode) -> std::optional<TNotesPage::PaletteChoice> {
    ++asked;
    EXPECT_EQ(mode, TformHilite::Mode::Background) << "no colour yet: the palette opens for the background";
    return TNotesPage::PaletteChoice{kNoColour, 0xD7FFD7};
  };
  QTextCursor words(editor.document());
  words.setPosition(5);
  words.setPosition(10, QTextCursor::KeepAnchor);
  editor.setTextCursor(words);
  const QColor textBefore = words.charFormat().foreground().color();
  editor.setFocus();
  QTest::keyClick(&editor, Qt::Key_H, Qt::ControlModifier);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(notes.highlighterActive());
  QTextCursor probe(editor.document());
  probe.setPosition(7);
  EXPECT_EQ(probe.charFormat().background().color(), ColourOf(0xD7FFD7));
  EXPECT_EQ(probe.charFormat().foreground().color(), textBefore) << "no text colour chosen, none given";
  EXPECT_FALSE(editor.textCursor().hasSelection()) << "the selection collapses to its end";
  EXPECT_EQ(started.window.session().screen.highlightBack, 0xD7FFD7) << "kept with the layout";

  words.setPosition(0);
  words.setPosition(4, QTextCursor::KeepAnchor);
  editor.setTextCursor(words);
  QTest::keyClick(&editor, Qt::Key_H, Qt::ControlModifier);
  EXPECT_EQ(asked, 1) << "a colour is chosen: Ctrl+H applies it";
  probe.setPosition(2);
  EXPECT_EQ(probe.charFormat().background().color(), ColourOf(0xD7FFD7));

  editor.selectAll();
  notes.Removehighlight1();
  probe.setPosition(7);
  EXPECT_EQ(probe.charFormat().background().color(), QColor(Qt::white));
  EXPECT_FALSE(notes.highlighterActive());
}

// A page renamed through the title dialog keeps its new title in its information file; a
// locked topic's pages show the lock and take no edits.
TEST(TopicPagesPanel, PageTitlesAndLockedTopics) {
  AppFolders folders;
  PagesWindow started(folders);
  started.show("Plan the week", 1);
  started.type("Shopping");
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<TformTitle*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* edit = dialog->findChild<QLineEdit*>("editTitle");
    EXPECT_EQ(edit->text(), "Checklist");
    edit->setText("  Errands  ");
    QTest::keyClick(edit, Qt::Key_Return);
  });
  started.checklist().findChild<QAction*>("CLChangeTitle")->trigger();
  EXPECT_EQ(started.tabs().tabText(1), "Errands") << "trimmed";
  const std::string id(started.record("Plan the week").uni);
  EXPECT_NE(test::ReadBytes(folders.data("CheckList/" + id + "-2.~lst")).find("dis=Errands\r\n"), std::string::npos);

  TopicRecord& locked = *started.window.treeModel().nodeAt(started.find("Getting started"))->record;
  locked.lock = true;
  started.show("Getting started", 1);
  EXPECT_TRUE(started.window.findChild<QLabel*>("imageLock")->isVisible());
  EXPECT_TRUE(started.edit().isReadOnly());
  started.tick(0);  // nothing to tick, and nothing may be added either
  started.checklist().CLAdd();
  started.checklist().optCheckPaste();
  EXPECT_TRUE(started.checklist().items().empty());
  started.show("Getting started", 0);
  EXPECT_TRUE(started.panel().notes().editor().isReadOnly());
  started.show("Plan the week", 1);
  EXPECT_FALSE(started.window.findChild<QLabel*>("imageLock")->isVisible());
  EXPECT_FALSE(started.edit().isReadOnly());
  EXPECT_EQ(started.checklist().items().size(), 1u);
}

}  // namespace
}  // namespace tarvo
