#include "ui/main/main_window.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QToolButton>
#include <QGuiApplication>
#include <QScreen>
#include <functional>
#include <QSignalSpy>
#include <QLabel>
#include <QPushButton>
#include <QApplication>
#include <QMessageBox>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

#include "platform/single_instance.h"
#include "ui/viewer/text_display_window.h"
#include "ui/viewer/text_lines_model.h"
#include "support/app_fixture.h"
#include "store/pair_file.h"
#include "structure/topic_tree.h"
#include "ui/main/topic_tree_model.h"

namespace tarvo {
namespace {

using test::AppFolders;

// Points the environment at the folders before anything else of the window exists.
struct UsingFolders {
  explicit UsingFolders(const AppFolders& folders) { folders.useInThisProcess(); }
};

// A started main window over fresh folders, shown offscreen.
struct StartedWindow {
  explicit StartedWindow(const AppFolders& folders)
      : environment(folders), window(channels, folders.home.path(), folders.program.path()) {
    window.start();
    window.show();
  }
  ~StartedWindow() { window.close(); }

  QModelIndex find(const std::string& caption) {
    TopicTreeModel& model = window.treeModel();
    QModelIndex found;
    window.session().workspace.tree().forEachInDisplayOrder([&](TopicNode& node, int) {
      if (node.record->text == caption) found = model.indexOf(&node);
    });
    return found;
  }
  QWidget* detailPanel() { return window.findChild<QStackedWidget*>("panelDetail")->currentWidget(); }
  QTreeView* tree() { return window.findChild<QTreeView*>("treeMain"); }

  UsingFolders environment;
  ChannelManager channels;
  TformMain window;
};

TEST(MainWindow, ShowsTheDefaultStructureWithItsIcons) {
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
  EXPECT_FALSE(started.find("Ideas").data(Qt::DecorationRole).value<QIcon>().isNull());
  EXPECT_TRUE(tree->isExpanded(started.find("My topics")));
  EXPECT_FALSE(tree->isExpanded(started.find("Settings")));

  EXPECT_EQ(tree->currentIndex(), started.find("Getting started")) << "the stored selection";
  EXPECT_EQ(started.detailPanel()->objectName(), "panelToDoNew");
  for (const auto& [caption, panel] : {std::pair{"About this program", "panelAbout"}, {"Colleagues", "panelContacts"},
                                       {"Shared folder settings", "panelNetwork"}, {"Settings", "panelNone"}}) {
    tree->setCurrentIndex(started.find(caption));
    EXPECT_EQ(started.detailPanel()->objectName(), panel) << caption << " (sections show no panel)";
  }
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

  workspace.removeSubtree(model.nodeAt(settings));
  EXPECT_EQ(removals.count(), 1);
  EXPECT_FALSE(started.find("Settings").isValid());

  started.window.findChild<QAction*>("MVUndo")->trigger();
  EXPECT_EQ(insertions.count(), 1);
  EXPECT_TRUE(started.find("Settings").isValid());
  started.window.findChild<QAction*>("MVUndo")->trigger();
  EXPECT_EQ(moves.count(), 2);
  EXPECT_EQ(ideas.row(), row);
  EXPECT_EQ(tree->currentIndex(), QModelIndex(ideas));
  workspace.sortChildren(model.nodeAt(ideas.parent()), ChildOrder::Caption);
  EXPECT_EQ(resets.count(), 0) << "no edit resets the model";
}

// A selected topic's caption keeps its navy colour; selecting changes the background only.
TEST(MainWindow, ASelectedCaptionKeepsItsColour) {
  AppFolders folders;
  StartedWindow started(folders);
  QTreeView* tree = started.tree();
  const QModelIndex topic = started.find("Getting started");
  tree->setCurrentIndex(topic);
  ASSERT_TRUE(tree->selectionModel()->isSelected(topic));
  const QRect row = tree->visualRect(topic);
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
}

// The information panel tells the program's version apart from the system's, and the help
// button (and F1) hands the shipped help page to the desktop's opener.
TEST(MainWindow, InformationShowsBothVersionsAndHelpOpensThePage) {
  AppFolders folders;
  StartedWindow started(folders);
  started.tree()->setCurrentIndex(started.find("About this program"));
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

TEST(MainWindow, DateFormatPreferenceRewritesThePreferencesAndTheLog) {
  AppFolders folders;
  StartedWindow started(folders);
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
  const std::string year = std::to_string(QDate::currentDate().year()) + "/";
  EXPECT_NE(log.find(year), std::string::npos) << log;
  EXPECT_NE(log.find("  Date format changed"), std::string::npos) << log;
}

TEST(MainWindow, AutosaveWritesChangesOnlyAndClosingRestoresGeometry) {
  AppFolders folders;
  {
    StartedWindow started(folders);
    started.window.findChild<QAction*>("MVSave")->trigger();  // the first save after start
    ASSERT_TRUE(std::filesystem::exists(folders.data("Structure.tmp")));
    std::filesystem::remove(folders.data("Structure.tmp"));
    started.window.findChild<QAction*>("MVSave")->trigger();
    EXPECT_FALSE(std::filesystem::exists(folders.data("Structure.tmp"))) << "nothing changed";

    started.tree()->expand(started.find("Settings"));
    // Drive the autosave timer instead of waiting a minute for it.
    auto* timerSave = started.window.findChild<QTimer*>("timerSave");
    ASSERT_NE(timerSave, nullptr);
    ASSERT_TRUE(QMetaObject::invokeMethod(timerSave, "timeout", Qt::DirectConnection));
    EXPECT_NE(test::ReadBytes(folders.data("Structure.dat")).find("text=Settings\r\nlev=0\r\ntype=3\r\nexp=Y"),
              std::string::npos);
    started.window.setGeometry(10, 30, 770, 500);
  }
  PairList screen;
  ASSERT_TRUE(LoadPairFile(folders.data("screen.dat"), screen));
  EXPECT_EQ(screen.valueOf("width"), "770");
  EXPECT_EQ(screen.valueOf("height"), "500");

  StartedWindow again(folders);
  EXPECT_EQ(again.window.geometry(), QRect(10, 30, 770, 500));
  EXPECT_TRUE(again.tree()->isExpanded(again.find("Settings"))) << "the expanded state came back";
}

// A first start opens at a readable size in the middle of the screen; starting and closing
// again and again leaves every stored size as it was; a layout larger than the screen, or off
// it, comes back onto it.
TEST(MainWindow, TheLayoutSurvivesRestartsAndStaysOnTheScreen) {
  AppFolders folders;
  const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
  const auto startAndClose = [&](const std::function<void(TformMain&)>& check = {}) {
    StartedWindow started(folders);
    QCoreApplication::processEvents();
    if (check) check(started.window);
    started.window.close();
    return test::ReadBytes(folders.data("screen.dat"));
  };
  const std::string first = startAndClose([&](TformMain& window) {
    const QRect frame = window.frameGeometry();
    EXPECT_GE(frame.width(), std::min(available.width(), 960));
    EXPECT_GE(frame.height(), std::min(available.height(), 640));
    EXPECT_TRUE(available.contains(frame));
    EXPECT_LE((frame.center() - available.center()).manhattanLength(), 4) << "centred";
  });
  const std::string second = startAndClose();
  EXPECT_EQ(startAndClose(), second) << "a start and a close change no size";
  EXPECT_EQ(second, first);

  test::WriteBytes(folders.data("screen.dat"),
                   "top=-2000\r\nleft=-3000\r\nwidth=5000\r\nheight=4000\r\ntree=300\r\ntpanel=300\r\n");
  startAndClose([&](TformMain& window) {
    const QRect placed = window.frameGeometry();
    EXPECT_TRUE(available.contains(placed)) << "back on the screen: " << placed.x() << "," << placed.y() << " "
                                            << placed.width() << "x" << placed.height() << " in "
                                            << available.width() << "x" << available.height();
  });
}

TEST(MainWindow, UnreadableStructureIsReportedAndNeverSavedOver) {
  AppFolders folders;
  std::filesystem::create_directories(folders.data());
  const std::string damaged = "uni=1\r\ntext=mine\r\nlev=first\r\n";
  test::WriteBytes(folders.data("Structure.dat"), damaged);
  {
    StartedWindow started(folders);
    auto* box = started.window.findChild<QMessageBox*>("messageStructureUnreadable");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains("line 3"));
    started.window.findChild<QAction*>("MVSave")->trigger();
  }
  EXPECT_EQ(test::ReadBytes(folders.data("Structure.dat")), damaged);
}

// A damaged file brought back from a backup, and an empty one without a backup, are said in a
// box too (not only in the log), naming the files, with one "*** " only.
TEST(MainWindow, ARestoredOrEmptyStructureIsSaidInABox) {
  const auto boxText = [](AppFolders& folders) {
    StartedWindow started(folders);
    auto* box = started.window.findChild<QMessageBox*>("messageStructureUnreadable");
    return box == nullptr ? std::string() : box->text().toStdString();
  };
  AppFolders restored;
  std::filesystem::create_directories(restored.data());
  test::WriteBytes(restored.data("Structure.dat"), "uni=1\r\ntext=mine\r\nlev=first\r\n");
  test::WriteBytes(restored.data("Structure(2).dat"), "uni=1\r\ntext=Saved topic\r\nlev=0\r\n");
  const std::string said = boxText(restored);
  EXPECT_NE(said.find("Structure.dat could not be used"), std::string::npos) << said;
  EXPECT_NE(said.find("restored from Structure(2).dat"), std::string::npos) << said;
  EXPECT_NE(said.find("kept as Structure-unreadable-"), std::string::npos) << said;
  EXPECT_EQ(said.find("***", 1), std::string::npos) << "one \"***\" only: " << said;

  AppFolders empty;
  std::filesystem::create_directories(empty.data());
  test::WriteBytes(empty.data("Structure.dat"), "");
  EXPECT_NE(boxText(empty).find("Structure.dat holds no topics"), std::string::npos);
}

// The log button opens the main log in the viewer; a wake command brings a minimised window
// back (the "run" command is checked through the running program's channel).
TEST(MainWindow, DisplayLogOpensTheMainLogAndWakeRestoresTheWindow) {
  AppFolders folders;
  StartedWindow started(folders);
  std::filesystem::remove(folders.data("MainLog.txt"));
  started.window.findChild<QPushButton*>("buttonMainLog")->click();
  ASSERT_EQ(started.window.viewers().size(), 1u) << "a fresh folder's log opens too";
  auto* viewer = started.window.viewers().OpenTextDisplay(folders.data("MainLog.txt"), "text");
  EXPECT_TRUE(viewer->isVisible());
  EXPECT_EQ(viewer->textModel().rowCount({}), 0);
  started.window.session().log.LogMessage("something happened");
  started.window.findChild<QPushButton*>("buttonMainLog")->click();
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
