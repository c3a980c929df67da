#include "ui/main/main_window.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAction>
#include <QToolButton>
#include <QGuiApplication>
#include <QScreen>
#include <functional>
#include <QSignalSpy>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QApplication>
#include <QMessageBox>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include "base/date_text.h"
#include "platform/single_instance.h"
#include "ui/viewer/text_display_window.h"
#include "ui/viewer/text_lines_model.h"
#include "support/app_fixture.h"
#include "store/pair_file.h"
#include "structure/topic_tree.h"
#include "ui/main/summary_panel.h"
#include "ui/main/topic_actions.h"
#include "ui/main/topic_list_dialog.h"
#include "ui/main/topic_tree_model.h"
#include "ui/main/topic_options_dialog.h"
#include "ui/main/topic_type_dialog.h"
#include "ui/main/started_window.h"

namespace tarvo {
namespace {

using test::AppFolders;
using test::StartedWindow;

// The default structure with its icons and the stored selection, whose caption keeps its navy
// colour (selecting changes the background only); each section's detail panel, the
// information panel telling the program's version from the system's; the help button (and F1)
// hands the shipped help page to the desktop's opener.
TEST(MainWindow, ShowsTheDefaultStructureItsColoursPanelsAndHelp) {
  AppFolders folders;
  StartedWindow started(folders);
  EXPECT_EQ(started.window.windowTitle(), "Tarvo-1");
  EXPECT_FALSE(started.window.windowIcon().isNull()) << "the window shows our icon";
  QTreeView* tree = started.tree();
  ASSERT_NE(tree, nullptr);
  QAbstractItemModel* model = tree->model();
  ASSERT_EQ(model->rowCount({}), 5);
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Topics");
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Due");
  EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Status");

  const auto image = [&](const std::string& caption) {
    return started.find(caption).data(TopicTreeModel::ImageIndexRole).toInt();
  };
  EXPECT_EQ(image("My topics"), 0) << "main section: type 1 - 1";
  EXPECT_EQ(image("Settings"), 2) << "preferences section: type 3 - 1";
  EXPECT_EQ(image("Getting started"), 8) << "task not started: status 1 + 7";
  EXPECT_EQ(image("Ideas"), 6) << "an idea shows its type";
  EXPECT_EQ(started.find("Getting started").data(TopicTreeModel::TypeImageIndexRole).toInt(), int{kTask})
      << "a task shows its type before its status";
  // The row's picture: the type image, then the node image when it differs.
  const auto drawn = [&](const std::string& caption) {
    return started.find(caption).data(Qt::DecorationRole).value<QIcon>().pixmap(TopicTreeModel::DecorationSize()).toImage();
  };
  const auto rightHalfEmpty = [](const QImage& picture) {
    for (int x = picture.width() / 2 + 1; x < picture.width(); ++x) {
      for (int y = 0; y < picture.height(); ++y) {
        if (qAlpha(picture.pixel(x, y)) != 0) return false;
      }
    }
    return true;
  };
  EXPECT_FALSE(rightHalfEmpty(drawn("Getting started"))) << "task and status";
  EXPECT_TRUE(rightHalfEmpty(drawn("Ideas"))) << "an idea's two images are one";
  EXPECT_TRUE(tree->isExpanded(started.find("My topics")));
  EXPECT_FALSE(tree->isExpanded(started.find("Settings")));

  const QModelIndex selected = started.find("Getting started");
  EXPECT_EQ(tree->currentIndex(), selected) << "the stored selection";
  ASSERT_TRUE(tree->selectionModel()->isSelected(selected));
  EXPECT_EQ(started.detailPanel()->objectName(), "panelToDoNew");
  const QRect row = tree->visualRect(selected);
  const QImage shown = tree->viewport()->grab().toImage();
  int bluish = 0;
  // The caption's part of the row, right of the icon.
  for (int x = row.left() + row.width() / 3; x <= row.right(); ++x) {
    for (int y = row.top(); y <= row.bottom(); ++y) {
      const QColor pixel = shown.pixelColor(x, y);
      if (pixel.blue() > pixel.red() + 60) ++bluish;
    }
  }
  EXPECT_GT(bluish, 10) << "the selected caption is drawn in its own colour";

  for (const auto& [caption, panel] : {std::pair{"Colleagues", "panelContacts"}, {"Shared folder settings", "panelNetwork"},
                                       {"Settings", "panelNone"}, {"About this program", "panelAbout"}}) {
    tree->setCurrentIndex(started.find(caption));
    EXPECT_EQ(started.detailPanel()->objectName(), panel) << caption << " (sections show no panel)";
  }
  const QString about = started.window.findChild<QLabel*>("labelAbout")->text();
  EXPECT_TRUE(about.contains(QString("Program version: ") + TARVO_EXPECTED_VERSION)) << about.toStdString();
  EXPECT_TRUE(about.contains("System version: ")) << about.toStdString();

  test::TempFolder bin;
  test::WriteBytes(bin.file("xdg-open"), "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"${0%/*}/asked.txt\"\n");
  std::filesystem::permissions(bin.file("xdg-open"), std::filesystem::perms::owner_all);
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QByteArray::fromStdString(bin.path()) + ":" + path);
  started.window.findChild<QToolButton*>("buttonHelp")->click();
  started.window.findChild<QAction*>("MVHelp")->trigger();
  qputenv("PATH", path);
  const std::string page = folders.program.file("Tarvo-1.html");
  EXPECT_EQ(bin.read("asked.txt"), page + "\n" + page + "\n");
  EXPECT_NE(test::ReadBytes(page).find("<title>Tarvo-1 help</title>"), std::string::npos);
}

// Edits reach the view as inserted, removed and moved rows, never as a reset, so the view
// keeps what the user had open and selected; undo (Ctrl+Z) brings everything back.
TEST(MainWindow, EditsReachTheViewAsRowChangesAndUndoRestoresThem) {
  AppFolders folders;
  StartedWindow started(folders);
  TopicTreeModel& model = started.window.treeModel();
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
  QSignalSpy moves(&model, &QAbstractItemModel::rowsMoved);
  QSignalSpy removals(&model, &QAbstractItemModel::rowsRemoved);
  QSignalSpy insertions(&model, &QAbstractItemModel::rowsInserted);
  QTreeView* tree = started.tree();
  Workspace& workspace = started.window.session().workspace;

  tree->expand(started.find("Settings"));
  const QPersistentModelIndex settings = started.find("Settings");
  const QPersistentModelIndex ideas = started.find("Ideas");
  tree->setCurrentIndex(ideas);
  const int row = ideas.row();
  const std::vector<TopicNode*> order = workspace.tree().displayOrder();
  const auto displayIndex = [&](const QModelIndex& index) {
    return static_cast<int>(std::find(order.begin(), order.end(), model.nodeAt(index)) - order.begin());
  };

  workspace.moveSubtree(displayIndex(ideas), displayIndex(ideas), 1);  // indent under its sibling
  EXPECT_EQ(moves.count(), 1);
  EXPECT_EQ(ideas.parent().row(), row - 1) << "the persistent index followed the node";
  EXPECT_TRUE(tree->isExpanded(settings)) << "other nodes keep their state";
  EXPECT_EQ(tree->currentIndex(), QModelIndex(ideas)) << "the selection stayed on the moved topic";

  EXPECT_FALSE(workspace.removeSubtree(model.nodeAt(settings))) << "a section the program keeps";
  workspace.removeSubtree(model.nodeAt(started.find("Getting started")));
  EXPECT_EQ(removals.count(), 1);
  EXPECT_FALSE(started.find("Getting started").isValid());

  started.window.findChild<QAction*>("MVUndo")->trigger();
  EXPECT_EQ(insertions.count(), 1);
  EXPECT_TRUE(started.find("Getting started").isValid());
  started.window.findChild<QAction*>("MVUndo")->trigger();
  EXPECT_EQ(moves.count(), 2);
  EXPECT_EQ(ideas.row(), row);
  EXPECT_EQ(tree->currentIndex(), QModelIndex(ideas));
  workspace.sortChildren(model.nodeAt(ideas.parent()), ChildOrder::Caption);
  EXPECT_EQ(resets.count(), 0) << "no edit resets the model";
}


// The item of a menu with this caption, or null.
QAction* MenuItem(const QMenu* menu, const QString& caption) {
  for (QAction* item : menu->actions()) {
    if (item->text() == caption) return item;
  }
  return nullptr;
}

// A user's session with the tree through its real controls: keys add, rename, indent and
// finish; the context menu offers what the node allows; the tool buttons, the priority menu
// and the type chooser change the record; a drag moves a topic; each step is saved to the file
// and Ctrl+Z takes them back one by one.
TEST(MainWindow, KeysMenusButtonsAndADragEditTheTreeAndUndoTakesThemBack) {
  AppFolders folders;
  StartedWindow started(folders);
  QTreeView* tree = started.tree();
  TopicTreeModel& model = started.window.treeModel();
  TopicActions& actions = started.window.topicActions();
  const auto record = [&](const char* caption) { return model.nodeAt(started.find(caption))->record; };
  const auto savedFile = [&] {
    started.window.findChild<QAction*>("MVSave")->trigger();
    return test::ReadBytes(folders.data("Structure.dat"));
  };
  const std::string original = savedFile();
  started.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&started.window)) << "keys reach only an active window";
  tree->setFocus();

  // Insert adds a task beside "Plan the week" and opens its caption for typing.
  tree->setCurrentIndex(started.find("Plan the week"));
  QTest::keyClick(tree, Qt::Key_Insert);
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr) << "the new caption is open for typing";
  editor->setText("Buy milk");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the view commits the typed caption once back in its loop
  const QModelIndex milk = started.find("Buy milk");
  ASSERT_TRUE(milk.isValid());
  EXPECT_EQ(milk.row(), 1);
  EXPECT_EQ(tree->currentIndex(), milk);
  EXPECT_EQ(milk.siblingAtColumn(TopicTreeModel::kStatusColumn).data(Qt::ToolTipRole).toString(), "Not started");

  // The menu on the first topic of a section: no indent; on a section: its own caption.
  tree->setCurrentIndex(started.find("Getting started"));
  actions.update();
  EXPECT_FALSE(MenuItem(actions.popMainView(), "Convert topic to a sub-topic")->isEnabled());
  tree->setCurrentIndex(started.find("My topics"));
  actions.update();
  EXPECT_TRUE(MenuItem(actions.popMainView(), "Insert new topic in this section")->isEnabled());
  EXPECT_FALSE(MenuItem(actions.popMainView(), "Insert new topic")->isVisible());

  // Alt+Right puts "Buy milk" under "Getting started"; Space finishes it and the parent follows.
  tree->setCurrentIndex(started.find("Buy milk"));
  QTest::keyClick(tree, Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(started.find("Buy milk").parent(), started.find("Getting started"));
  QTest::keyClick(tree, Qt::Key_Space);
  EXPECT_EQ(record("Buy milk")->status, kFinished);
  EXPECT_EQ(record("Getting started")->status, kFinished) << "its only sub-task is finished";
  auto* finished = started.window.findChild<QToolButton*>("buttonStatusFinished");
  EXPECT_FALSE(finished->isEnabled());
  EXPECT_NE(savedFile().find("text=Buy milk\r\nlev=2\r\ntype=1\r\nsel=Y\r\nttype=4\r\nstatus=3"), std::string::npos);

  // Buttons and the priority menu on "Plan the week"; the type chooser makes "Ideas" a task.
  tree->setCurrentIndex(started.find("Plan the week"));
  started.window.findChild<QToolButton*>("buttonUrgent")->click();
  EXPECT_TRUE(record("Plan the week")->urgent);
  for (QAction* item : actions.popPriority()->actions()) {
    if (item->objectName() == "Priority3") item->trigger();
  }
  EXPECT_EQ(record("Plan the week")->pri, 3);
  tree->setCurrentIndex(started.find("Ideas"));
  QTimer::singleShot(0, [] {
    auto* chooser = qobject_cast<TformTopicSelect*>(QApplication::activeModalWidget());
    ASSERT_NE(chooser, nullptr);
    chooser->findChild<QToolButton*>("buttonThings")->click();
    chooser->findChild<QPushButton*>("buttonOK")->click();
  });
  MenuItem(actions.popMainView(), "Change topic type ...")->trigger();
  EXPECT_EQ(record("Ideas")->ttype, kTask);

  // A drag of "Ideas" onto "Getting started" puts it in front; onto a section it is refused.
  QMimeData* dragged = model.mimeData({started.find("Ideas")});
  EXPECT_FALSE(model.canDropMimeData(dragged, Qt::MoveAction, -1, 0, started.find("Settings")));
  EXPECT_FALSE(model.dropMimeData(dragged, Qt::MoveAction, -1, 0, started.find("Getting started")));
  delete dragged;
  EXPECT_EQ(started.find("Ideas").row(), 0);

  // F2 with a blank caption changes nothing.
  started.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&started.window));
  tree->setFocus();
  QTest::keyClick(tree, Qt::Key_F2);
  editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  editor->setText("   ");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the view commits the typed caption once back in its loop
  EXPECT_TRUE(started.find("Ideas").isValid());

  // Every step back with Ctrl+Z: the file is the one of the start.
  QUndoStack& undo = started.window.session().workspace.undoStack();
  EXPECT_EQ(undo.count(), 8);
  EXPECT_EQ(started.window.findChild<QAction*>("MVUndo")->text(), "Undo Move topic");
  while (undo.canUndo()) QTest::keyClick(tree, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FALSE(started.find("Buy milk").isValid());
  EXPECT_EQ(record("Ideas")->ttype, kIdeaTopic);
  tree->setCurrentIndex(started.find("Getting started"));
  tree->collapse(started.find("Getting started"));  // opened by the indent: view state, not undone
  EXPECT_EQ(savedFile(), original);

  // A click on a node's expander opens it and selects it; opening by a command does not.
  const QRect settings = tree->visualRect(started.find("Settings"));
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(settings.left() - tree->indentation() / 2, settings.center().y()));
  EXPECT_TRUE(tree->isExpanded(started.find("Settings")));
  EXPECT_EQ(tree->currentIndex(), started.find("Settings"));
  tree->setCurrentIndex(started.find("Colleagues"));
  EXPECT_EQ(tree->currentIndex(), started.find("Colleagues")) << "showing a hidden node keeps it selected";
}


// What a user met trying the tree: a very long name must not widen the window; a key whose
// command is not available here does nothing (not the tree's own move); a removed topic's place
// goes to its neighbour, and an undone removal comes back open as it was; the priority menu
// shows the topic's priority.
TEST(MainWindow, LongNamesKeysAtTheEdgesRemovalAndPriorityBehave) {
  AppFolders folders;
  StartedWindow started(folders);
  QTreeView* tree = started.tree();
  Workspace& workspace = started.window.session().workspace;
  TopicTreeModel& model = started.window.treeModel();
  started.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&started.window));
  tree->setFocus();

  const int width = started.window.width();
  tree->setCurrentIndex(started.find("Ideas"));
  ASSERT_TRUE(workspace.renameTopic(model.nodeAt(started.find("Ideas")), std::string(400, 'w')));
  QCoreApplication::processEvents();
  EXPECT_EQ(started.window.findChild<QLabel*>("labelTopicName")->text().size(), 400);
  EXPECT_LE(started.window.minimumSizeHint().width(), width) << "the window would have to grow";
  workspace.undoStack().undo();

  tree->setCurrentIndex(started.find("Ideas"));  // the last topic of its section
  QTest::keyClick(tree, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(tree->currentIndex(), started.find("Ideas"));
  EXPECT_EQ(workspace.undoStack().count(), 1) << "nothing moved";

  tree->setCurrentIndex(started.find("Getting started"));
  ASSERT_TRUE(workspace.addTopic(model.nodeAt(started.find("Getting started")), true).ok());
  tree->setCurrentIndex(started.find("Getting started"));
  EXPECT_TRUE(tree->isExpanded(started.find("Getting started")));
  QTest::keyClick(tree, Qt::Key_Delete);
  EXPECT_FALSE(started.find("Getting started").isValid());
  EXPECT_EQ(tree->currentIndex(), started.find("Plan the week")) << "the next topic takes the place";
  QTest::keyClick(tree, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(tree->isExpanded(started.find("Getting started"))) << "back open as it was";
  EXPECT_EQ(tree->currentIndex(), started.find("Getting started"));

  tree->setCurrentIndex(started.find("Plan the week"));  // priority 2 in the shipped structure
  TopicActions& actions = started.window.topicActions();
  QStringList checked;
  for (QAction* item : actions.popPriority()->actions()) {
    if (item->isChecked()) checked << item->text();
  }
  EXPECT_EQ(checked, QStringList{"Priority 2"});
}


// Tab walks every control of the window that can be used (in the order they are laid out,
// coming round to where it started), and each has a name a screen reader can say.
TEST(MainWindow, TabReachesEveryEnabledControlAndEachHasAnAccessibleName) {
  AppFolders folders;
  StartedWindow started(folders);
  started.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&started.window));
  QTreeView* tree = started.tree();
  tree->setCurrentIndex(started.find("Getting started"));  // a task: most tool buttons enabled
  tree->setFocus();
  QCoreApplication::processEvents();

  std::vector<QWidget*> reached;
  for (int step = 0; step < 200; ++step) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr) << "the focus left the window at step " << step;
    if (!reached.empty() && focused == reached.front()) break;
    reached.push_back(focused);
    QTest::keyClick(focused, Qt::Key_Tab);
  }
  ASSERT_EQ(QApplication::focusWidget(), reached.front()) << "Tab did not come round";

  int controls = 0;
  for (QWidget* widget : started.window.findChildren<QWidget*>()) {
    if (!widget->isVisible() || !widget->isEnabled() || (widget->focusPolicy() & Qt::TabFocus) == 0) continue;
    if (widget->focusProxy() != nullptr || qobject_cast<QAbstractScrollArea*>(widget->parentWidget()) != nullptr) continue;
    ++controls;
    EXPECT_NE(std::find(reached.begin(), reached.end(), widget), reached.end())
        << widget->metaObject()->className() << " " << widget->objectName().toStdString() << " is not reached by Tab";
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(accessible, nullptr);
    // A single sign ("?", "!") says nothing to someone who cannot see it.
    EXPECT_GE(accessible->text(QAccessible::Name).trimmed().size(), 2)
        << widget->metaObject()->className() << " " << widget->objectName().toStdString() << " has no name";
  }
  EXPECT_GE(controls, 15) << "the tree, the tool buttons, the log and the buttons below it";
}


// "Edit details" opens the topic's options: its kind, the period words that follow the number,
// a deadline and a percentage confirmed with OK, undone with Ctrl+Z; a double click on the
// caption opens it too, one over the expander and images does not.
TEST(MainWindow, TheOptionsDialogEditsTheDeadlineAndProgressAsOneStep) {
  AppFolders folders;
  StartedWindow started(folders);
  QTreeView* tree = started.tree();
  TopicTreeModel& model = started.window.treeModel();
  tree->setCurrentIndex(started.find("Getting started"));
  const TopicRecord& record = *model.nodeAt(started.find("Getting started"))->record;

  bool shown = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<TformProgress*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    shown = true;
    EXPECT_EQ(dialog->windowTitle(), "Topic options");
    EXPECT_EQ(dialog->findChild<QLabel*>("labelTopicType")->text(), "Task not started");
    dialog->findChild<QRadioButton*>("radioRecur")->click();
    auto* number = dialog->findChild<QLineEdit*>("editRecurNo");
    auto* periods = dialog->findChild<QComboBox*>("comboRecurPeriod");
    number->setText("1");
    EXPECT_EQ(periods->currentText(), "Day");
    number->setText("2");
    EXPECT_EQ(periods->currentText(), "Days");
    EXPECT_FALSE(dialog->findChild<QGroupBox*>("panelOneOff")->isEnabled());
    dialog->findChild<QRadioButton*>("radioOneOff")->click();
    EXPECT_FALSE(dialog->findChild<QDateEdit*>("pickerDeadDate")->isEnabled()) << "no date without \"Date due required\"";
    dialog->findChild<QCheckBox*>("checkDeadLine")->click();
    dialog->findChild<QDateEdit*>("pickerDeadDate")->setDate(QDate(2031, 1, 31));
    dialog->findChild<QComboBox*>("comboPercent")->setCurrentText("30");
    dialog->findChild<QPushButton*>("buttonOK")->click();
  });
  started.window.findChild<QAction*>("MVEdit")->trigger();
  ASSERT_TRUE(shown);
  EXPECT_EQ(std::tuple(bool{record.dl}, record.dlDate.str(), record.dlTime.str(), record.status, record.progress),
            std::tuple(true, "20310131", "00:00:00", int{kInProgress}, 30));
  EXPECT_EQ(started.window.findChild<QAction*>("MVUndo")->text(), "Undo Change topic options");
  started.window.findChild<QAction*>("MVUndo")->trigger();
  EXPECT_EQ(std::tuple(bool{record.dl}, record.status, record.progress), std::tuple(false, int{kNotStarted}, 0));

  const auto doubleClickAt = [&](int x) {
    const QRect row = tree->visualRect(started.find("Getting started"));
    shown = false;
    QTimer::singleShot(0, [&] {
      if (auto* dialog = qobject_cast<TformProgress*>(QApplication::activeModalWidget())) {
        shown = true;
        dialog->reject();
      }
    });
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, QPoint(row.left() + x, row.center().y()));
    QCoreApplication::processEvents();
    return shown;
  };
  EXPECT_TRUE(doubleClickAt(tree->iconSize().width() + 30)) << "on the caption";
  EXPECT_FALSE(doubleClickAt(4)) << "on the images";
}


// The summary shows at start; each of its nine pictures opens its list, and the topic chosen
// there is shown in the tree, the summary gone.
TEST(MainWindow, EachSummaryPictureOpensItsListAndAChosenTopicIsShown) {
  AppFolders folders;
  const QDate today = QDate::currentDate();
  const auto due = [&](int days) { return "dl=Y\r\ndlDate=" + DateStamp(today.addDays(days)) + "\r\n"; };
  // One topic for each sorted list, under a closed parent so that showing it opens the way.
  std::string bytes = "uni=STD0001\r\ntext=Main\r\nlev=0\r\ntype=1\r\nsys=Y\r\n"
                      "uni=1\r\ntext=Folder\r\nlev=1\r\ntype=1\r\nttype=2\r\n";
  const std::vector<std::pair<std::string, std::string>> topics = {
      {"Deadline soon", "ttype=4\r\nstatus=1\r\n" + due(5)}, {"Red alert", "ttype=6\r\nurgent=Y\r\n"},
      {"Too late", "ttype=4\r\nstatus=1\r\n" + due(-3)},     {"Half way", "ttype=4\r\nstatus=2\r\npr%=50\r\nprog=Y\r\n"},
      {"On the bench", "ttype=4\r\nstatus=5\r\n"},           {"Party", "ttype=3\r\nstatus=1\r\n" + due(9)},
      {"Loved", "ttype=6\r\nfav=Y\r\n"}};
  int uni = 10;
  for (const auto& [caption, fields] : topics) {
    bytes += "uni=" + std::to_string(uni++) + "\r\ntext=" + caption + "\r\nlev=2\r\ntype=1\r\n" + fields;
  }
  std::filesystem::create_directories(folders.data());
  test::WriteBytes(folders.data("Structure.dat"), bytes);
  StartedWindow started(folders);
  Workspace& workspace = started.window.session().workspace;
  TSummaryPanel& summary = started.window.summaryPanel();
  ASSERT_TRUE(summary.isVisible()) << "shown at start";
  EXPECT_EQ(summary.captionLabel(Category::Overdue)->text(), "Overdue: 1");
  // A count of tens of thousands is shown whole, centred under its picture.
  summary.setCaption(Category::InProgress, "In progress: 167283");
  QLabel* wide = summary.captionLabel(Category::InProgress);
  EXPECT_GE(wide->contentsRect().width(), wide->fontMetrics().horizontalAdvance(wide->text()));
  const QWidget* picture = summary.picture(Category::InProgress);
  EXPECT_NEAR(wide->geometry().center().x(), picture->geometry().center().x(), 1);

  ASSERT_TRUE(workspace.addTopic(started.window.treeModel().nodeAt(started.find("Folder")), true).ok());
  ASSERT_TRUE(workspace.renameTopic(workspace.tree().selected, "Brand new"));
  workspace.recentChanges().insert(0, "16", "16");  // "Loved" was edited

  const std::vector<std::pair<Category, std::string>> expected = {
      {Category::Deadlines, "Too late"}, {Category::Urgent, "Red alert"},   {Category::Overdue, "Too late"},
      {Category::InProgress, "Half way"}, {Category::Waiting, "On the bench"}, {Category::Events, "Party"},
      {Category::New, "Brand new"},        {Category::Changes, "Loved"},       {Category::Favourites, "Loved"}};
  for (const auto& [category, caption] : expected) {
    started.window.buttonSummaryClick();
    ASSERT_TRUE(summary.isVisible());
    QString offered;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TformSelection*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      auto* grid = dialog->findChild<QTableWidget*>("StringGrid1");
      ASSERT_GE(grid->rowCount(), 1);
      offered = grid->item(0, 2)->text();
      grid->selectRow(0);
      dialog->findChild<QPushButton*>("buttonSelect")->click();
    });
    QTest::mouseClick(summary.picture(category), Qt::LeftButton);
    EXPECT_EQ(offered.toStdString(), caption) << WordsOf(category).title;
    EXPECT_FALSE(summary.isVisible()) << WordsOf(category).title;
    EXPECT_EQ(started.tree()->currentIndex(), started.find(caption)) << WordsOf(category).title;
    EXPECT_TRUE(started.tree()->isExpanded(started.find("Folder"))) << "the way to it is open";
  }
  EXPECT_FALSE(started.tree()->isExpanded(started.find("Settings"))) << "the rest is closed";

  started.window.buttonSummaryClick();
  QTest::keyClick(&summary, Qt::Key_Escape);
  EXPECT_FALSE(summary.isVisible()) << "Esc goes back to the tree";

  // The deadline timer: a task whose time has just come is told in the log, once.
  auto* timerStart = started.window.findChild<QTimer*>("timerStart");
  ASSERT_TRUE(QMetaObject::invokeMethod(timerStart, "timeout", Qt::DirectConnection));
  TopicRecord& soon = *workspace.master().recordOf("10");  // "Deadline soon"
  const QDateTime passed = QDateTime::currentDateTime().addSecs(-60);
  soon.dlDate = DateStamp(passed.date());
  soon.dlTime = TimeText(passed.time());
  auto* timerDeadline = started.window.findChild<QTimer*>("timerDeadline");
  ASSERT_TRUE(timerDeadline->isActive());
  for (int tick = 0; tick < 2; ++tick) ASSERT_TRUE(QMetaObject::invokeMethod(timerDeadline, "timeout", Qt::DirectConnection));
  const QString log = started.window.findChild<QPlainTextEdit*>("reLog")->toPlainText();
  EXPECT_EQ(log.count("Due now: Deadline soon"), 1) << log.toStdString();
}

// A first start opens at a readable size in the middle of the screen, and its saves write only
// what changed (the autosave timer driven instead of waited for a minute); the tree's open nodes
// come back; starting and closing again and again leaves every stored size as it was; a size
// the user set comes back; a layout larger than the screen, or off it, comes back onto it.
TEST(MainWindow, SavesWriteChangesOnlyAndTheLayoutSurvivesRestartsOnTheScreen) {
  AppFolders folders;
  const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
  const auto startAndClose = [&](const std::function<void(StartedWindow&)>& during = {}) {
    StartedWindow started(folders);
    QCoreApplication::processEvents();
    if (during) during(started);
    started.window.close();
    return test::ReadBytes(folders.data("screen.dat"));
  };
  const std::string first = startAndClose([&](StartedWindow& started) {
    const QRect frame = started.window.frameGeometry();
    EXPECT_GE(frame.width(), std::min(available.width(), 960));
    EXPECT_GE(frame.height(), std::min(available.height(), 640));
    EXPECT_TRUE(available.contains(frame));
    EXPECT_LE((frame.center() - available.center()).manhattanLength(), 4) << "centred";

    started.window.findChild<QAction*>("MVSave")->trigger();  // the first save after start
    ASSERT_TRUE(std::filesystem::exists(folders.data("Structure.tmp")));
    std::filesystem::remove(folders.data("Structure.tmp"));
    started.window.findChild<QAction*>("MVSave")->trigger();
    EXPECT_FALSE(std::filesystem::exists(folders.data("Structure.tmp"))) << "nothing changed";
    started.tree()->expand(started.find("Settings"));
    auto* timerSave = started.window.findChild<QTimer*>("timerSave");
    ASSERT_NE(timerSave, nullptr);
    ASSERT_TRUE(QMetaObject::invokeMethod(timerSave, "timeout", Qt::DirectConnection));
    EXPECT_NE(test::ReadBytes(folders.data("Structure.dat")).find("text=Settings\r\nlev=0\r\ntype=3\r\nexp=Y"),
              std::string::npos);
  });
  const std::string second = startAndClose([](StartedWindow& started) {
    EXPECT_TRUE(started.tree()->isExpanded(started.find("Settings"))) << "the expanded state came back";
  });
  EXPECT_EQ(startAndClose(), second) << "a start and a close change no size";
  EXPECT_EQ(second, first);

  startAndClose([](StartedWindow& started) { started.window.setGeometry(10, 30, 770, 500); });
  PairList screen;
  ASSERT_TRUE(LoadPairFile(folders.data("screen.dat"), screen));
  EXPECT_EQ(screen.valueOf("width"), "770");
  EXPECT_EQ(screen.valueOf("height"), "500");
  startAndClose([](StartedWindow& started) { EXPECT_EQ(started.window.geometry(), QRect(10, 30, 770, 500)); });

  test::WriteBytes(folders.data("screen.dat"),
                   "top=-2000\r\nleft=-3000\r\nwidth=5000\r\nheight=4000\r\ntree=300\r\ntpanel=300\r\n");
  startAndClose([&](StartedWindow& started) {
    const QRect placed = started.window.frameGeometry();
    EXPECT_TRUE(available.contains(placed)) << "back on the screen: " << placed.x() << "," << placed.y() << " "
                                            << placed.width() << "x" << placed.height() << " in "
                                            << available.width() << "x" << available.height();
  });
}

// A damaged structure is said in a box, naming the line, and never saved over; one brought back
// from a backup, and an empty one without a backup, are said in a box too (not only in the
// log), naming the files; each with one "*** " only.
TEST(MainWindow, AnUnreadableRestoredOrEmptyStructureIsSaidInABoxAndNeverSavedOver) {
  const std::string damaged = "uni=1\r\ntext=mine\r\nlev=first\r\n";
  struct Case {
    std::string file;
    std::string backup;
    std::vector<std::string> said;
    bool keptAsItWas;  // no backup to restore, so nothing may write over it
  };
  const std::vector<Case> cases = {
      {damaged, "", {"line 3"}, true},
      {damaged, "uni=1\r\ntext=Saved topic\r\nlev=0\r\n",
       {"Structure.dat could not be used", "restored from Structure(2).dat", "kept as Structure-unreadable-"}, false},
      {"", "", {"Structure.dat holds no topics"}, false}};
  for (const Case& c : cases) {
    AppFolders folders;
    std::filesystem::create_directories(folders.data());
    test::WriteBytes(folders.data("Structure.dat"), c.file);
    if (!c.backup.empty()) test::WriteBytes(folders.data("Structure(2).dat"), c.backup);
    {
      StartedWindow started(folders);
      auto* box = started.window.findChild<QMessageBox*>("messageStructureUnreadable");
      ASSERT_NE(box, nullptr) << c.said.front();
      const std::string said = box->text().toStdString();
      for (const std::string& part : c.said) EXPECT_NE(said.find(part), std::string::npos) << said;
      EXPECT_EQ(said.find("***", 1), std::string::npos) << "one \"***\" only: " << said;
      started.window.findChild<QAction*>("MVSave")->trigger();
    }
    if (c.keptAsItWas) {
      EXPECT_EQ(test::ReadBytes(folders.data("Structure.dat")), damaged) << "never saved over";
    }
  }
}

// The date format chosen in the preferences rewrites them and is logged in its new form; the
// log button opens the main log in the viewer (a fresh folder's too), where it may be cleared;
// a wake command brings a minimised window back (the "run" command is checked through the
// running program's channel).
TEST(MainWindow, TheDateFormatRewritesPreferencesAndLogTheLogOpensAndWakeRestores) {
  AppFolders folders;
  StartedWindow started(folders);
  std::filesystem::remove(folders.data("MainLog.txt"));
  auto* logButton = started.window.findChild<QPushButton*>("buttonMainLog");
  logButton->click();
  ASSERT_EQ(started.window.viewers().size(), 1u) << "a fresh folder's log opens too";
  auto* viewer = started.window.viewers().OpenTextDisplay(folders.data("MainLog.txt"), "text");
  EXPECT_TRUE(viewer->isVisible());
  EXPECT_EQ(viewer->textModel().rowCount({}), 0);

  started.tree()->setCurrentIndex(started.find("Preferences"));
  ASSERT_EQ(started.detailPanel()->objectName(), "panelPreferences");
  auto* yearFirst = started.window.findChild<QRadioButton*>("radioYYMMDD");
  ASSERT_NE(yearFirst, nullptr);
  EXPECT_TRUE(started.window.findChild<QRadioButton*>("radioDDMMYY")->isChecked());
  yearFirst->click();
  ASSERT_TRUE(yearFirst->isChecked());
  PairList preferences;
  ASSERT_TRUE(LoadPairFile(folders.data("pref.txt"), preferences));
  EXPECT_EQ(preferences.valueOf("date"), "2");
  const std::string log = test::ReadBytes(folders.data("MainLog.txt"));
  EXPECT_NE(log.find(std::to_string(QDate::currentDate().year()) + "/"), std::string::npos) << log;
  EXPECT_NE(log.find("  Date format changed"), std::string::npos) << log;

  logButton->click();
  EXPECT_TRUE(viewer->findChild<QLabel*>("labelTitle")->text().startsWith("Log file - "));
  EXPECT_FALSE(viewer->findChild<QPushButton*>("buttonClear")->isHidden()) << "the log may be cleared";
  EXPECT_GE(viewer->textModel().rowCount({}), 1);

  started.window.showMinimized();
  started.window.handleCommands({"wakeup=now"});
  EXPECT_FALSE(started.window.isMinimized());
  started.window.close();
  EXPECT_TRUE(std::filesystem::exists(folders.data("MainLog.~txt"))) << "its format was saved";
}

}  // namespace
}  // namespace tarvo
