#include "ui/main/search_panel.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include "base/date_text.h"
#include "content/page_store.h"
#include "structure/topic_record.h"
#include "ui/main/started_window.h"
#include "ui/main/topic_pages_panel.h"
#include "ui/pages/checklist_page.h"
#include "ui/pages/notes_page.h"
#include <QTextEdit>

namespace tarvo {
namespace {

using test::AppFolders;
using test::StartedWindow;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

bool WaitFor(const std::function<bool()>& done) {
  const QDeadlineTimer deadline(20000);
  while (!done() && !deadline.hasExpired()) QApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

struct SearchWindow : StartedWindow {
  explicit SearchWindow(const AppFolders& folders) : StartedWindow(folders) {
    panel = window.findChild<TSearchPanel*>("panelSearch");
    EXPECT_NE(panel, nullptr);
    panel->service().waitForBuild();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window)) << "keys reach only an active window";
  }
  TopicNode* node(const std::string& caption) {
    return window.treeModel().nodeAt(find(caption));
  }
  std::string selectedCaption() {
    const TopicNode* selected = window.treeModel().nodeAt(tree()->currentIndex());
    return selected != nullptr ? std::string(selected->record->text) : std::string();
  }
  // Types into the search box and waits until the list shows `rows` results.
  void type(const QString& text, int rows) {
    QTest::keyClicks(&panel->box(), text);
    EXPECT_TRUE(WaitFor([&] { return panel->results().count() == rows; }))
        << "shown: " << panel->results().count();
  }
  TSearchPanel* panel = nullptr;
};

// A topic given a checklist, then the two topics above it renamed: a query finds the two titles
// and the checklist item, case and umlauts aside, listed in the tree's order; Down, Down, Enter
// shows the third result: its topic selected, its checklist page open at the item. F3 and Shift+F3 go round the results.
TEST(SearchPanel, TypingFindsTopicsAndEnterOnTheThirdResultOpensItsChecklistAtTheItem) {
  AppFolders folders;
  SearchWindow started(folders);
  Workspace& workspace = started.window.session().workspace;
  TopicRecord& getting = *started.node("Ideas")->record;
  ResultOf<TopicPages*> pages = workspace.pagesOf(getting);
  ASSERT_TRUE(pages.ok());
  TopicPage* checklist = nullptr;
  for (TopicPage& page : (*pages)->pages) {
    if (page.kind() == PageKind::Checklist) checklist = &page;
  }
  ASSERT_NE(checklist, nullptr);
  ASSERT_TRUE(SaveChecklistPage(workspace.pageFolders(), **pages, *checklist,
                                {MakeChecklistItem("Boxes"), MakeChecklistItem("Tape"),
                                 MakeChecklistItem(U8(u8"Umzugsfirma anrufen"))},
                                StampText()));
  ASSERT_TRUE(SavePageFiles(workspace.pageFolders(), **pages, *checklist, StampText()));
  started.panel->service().pageSaved(std::string(getting.uni), *checklist);
  // Renamed after the checklist was saved: the results still come in the tree's order.
  ASSERT_TRUE(workspace.renameTopic(started.node("Getting started"), U8(u8"Umzüge planen")));
  ASSERT_TRUE(workspace.renameTopic(started.node("Plan the week"), U8(u8"Ideen für UMZUGE")));

  started.tree()->setFocus();
  QTest::keyClick(started.tree(), Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(started.panel->isVisible());
  ASSERT_TRUE(started.panel->box().hasFocus());
  started.type("umzug", 3);

  QTest::keyClick(&started.panel->box(), Qt::Key_Down);
  QTest::keyClick(&started.panel->box(), Qt::Key_Down);
  QTest::keyClick(&started.panel->box(), Qt::Key_Return);
  EXPECT_FALSE(started.panel->isVisible()) << "a chosen result closes the box";
  EXPECT_EQ(started.selectedCaption(), "Ideas");
  auto* pagesPanel = started.window.findChild<TTopicPagesPanel*>("panelToDoNew");
  ASSERT_NE(pagesPanel, nullptr);
  ASSERT_NE(pagesPanel->currentPage(), nullptr);
  EXPECT_EQ(pagesPanel->currentPage()->kind(), PageKind::Checklist);
  EXPECT_EQ(pagesPanel->checklist().view().currentIndex().row(), 2) << "the item holding the match";

  QTest::keyClick(started.tree(), Qt::Key_F3);
  EXPECT_EQ(started.selectedCaption(), U8(u8"Umzüge planen")) << "after the last, the first";
  QTest::keyClick(started.tree(), Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(started.selectedCaption(), "Ideas");
}

// A note whose word changes formatting midway: the match is selected in the note's editor,
// on its second paragraph.
TEST(SearchPanel, AChosenNoteResultSelectsTheMatchInTheNote) {
  AppFolders folders;
  SearchWindow started(folders);
  Workspace& workspace = started.window.session().workspace;
  TopicRecord& plan = *started.node("Plan the week")->record;
  ResultOf<TopicPages*> pages = workspace.pagesOf(plan);
  ASSERT_TRUE(pages.ok());
  TopicPage* note = nullptr;
  for (TopicPage& page : (*pages)->pages) {
    if (page.kind() == PageKind::Notes) note = &page;
  }
  ASSERT_NE(note, nullptr);
  const std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 Monday: shop\\par "
                          "Bring the gr{\\b \\'fc}n{\\i e} box.\\par}";
  ASSERT_TRUE(SaveNotesPage(workspace.pageFolders(), **pages, *note, rtf, StampText()));
  ASSERT_TRUE(SavePageFiles(workspace.pageFolders(), **pages, *note, StampText()));
  started.panel->service().pageSaved(std::string(plan.uni), *note);

  started.tree()->setFocus();
  QTest::keyClick(started.tree(), Qt::Key_F, Qt::ControlModifier);
  started.type("GRUNE", 1);
  QTest::keyClick(&started.panel->box(), Qt::Key_Return);
  EXPECT_EQ(started.selectedCaption(), "Plan the week");
  auto* pagesPanel = started.window.findChild<TTopicPagesPanel*>("panelToDoNew");
  ASSERT_NE(pagesPanel->currentPage(), nullptr);
  EXPECT_EQ(pagesPanel->currentPage()->kind(), PageKind::Notes);
  EXPECT_EQ(pagesPanel->notes().editor().textCursor().selectedText(), QString::fromUtf8(U8(u8"grüne")));
}

// Esc closes the box and gives the focus back; Ctrl+F in the checklist stays the checklist's
// own key, while from the tree it opens the search, as does the Edit menu's "Find...".
TEST(SearchPanel, EscReturnsAndCtrlFIsTheChecklistsWhileItHasTheFocus) {
  AppFolders folders;
  SearchWindow started(folders);
  started.tree()->setCurrentIndex(started.find("Plan the week"));
  started.tree()->setFocus();
  QTest::keyClick(started.tree(), Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(started.panel->isVisible());
  started.type("ideas", 1);
  QTest::keyClick(&started.panel->box(), Qt::Key_Escape);
  EXPECT_FALSE(started.panel->isVisible());
  EXPECT_TRUE(started.tree()->hasFocus());
  EXPECT_EQ(started.selectedCaption(), "Plan the week") << "nothing chosen, nothing moved";

  auto* pagesPanel = started.window.findChild<TTopicPagesPanel*>("panelToDoNew");
  pagesPanel->findChild<QTabBar*>("tabsData")->setCurrentIndex(1);
  ASSERT_EQ(pagesPanel->currentPage()->kind(), PageKind::Checklist);
  QTreeView& items = pagesPanel->checklist().view();
  items.setFocus();
  auto* folderAction = pagesPanel->findChild<QAction*>("optCheckFolder");
  ASSERT_NE(folderAction, nullptr);
  QSignalSpy folderAsked(folderAction, &QAction::triggered);
  QSignalSpy ambiguous(started.panel->findAction(), &QAction::triggered);
  QTest::keyClick(&items, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(folderAsked.count(), 1);
  EXPECT_EQ(ambiguous.count(), 0);
  EXPECT_FALSE(started.panel->isVisible());

  auto* edit = started.window.findChild<QMenu*>("menuEdit");
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->actions().contains(started.panel->findAction()));
  started.panel->findAction()->trigger();
  EXPECT_TRUE(started.panel->isVisible());
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// A query asked while the pages are still being read shows what the reading finds later,
// without the user typing again: here the index is read anew after a note was written behind
// its back, and the list follows.
TEST(SearchPanel, AQueryAskedWhilePagesAreReadIsAskedAgainAsTheyCome) {
  AppFolders folders;
  SearchWindow started(folders);
  Workspace& workspace = started.window.session().workspace;
  started.panel->openBox();
  started.type("zanzibar", 0);

  TopicRecord& ideas = *started.node("Ideas")->record;
  ResultOf<TopicPages*> pages = workspace.pagesOf(ideas);
  ASSERT_TRUE(pages.ok());
  TopicPage* notes = nullptr;
  for (TopicPage& page : (*pages)->pages) {
    if (page.kind() == PageKind::Notes) notes = &page;
  }
  ASSERT_NE(notes, nullptr);
  ASSERT_TRUE(SaveNotesPage(workspace.pageFolders(), **pages, *notes, "{\\rtf1\\ansi A trip to Zanzibar.\\par}",
                            StampText()));
  ASSERT_TRUE(SavePageFiles(workspace.pageFolders(), **pages, *notes, StampText()));
  QSignalSpy progressed(&started.panel->service(), &SearchService::buildProgressed);
  started.panel->startIndex();
  EXPECT_TRUE(WaitFor([&] { return started.panel->results().count() == 1; }))
      << "the reading found the note, and the open query shows it";
  EXPECT_GE(progressed.count(), 1);
}

}  // namespace
}  // namespace tarvo
