#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <utime.h>

#include <cstdio>

#include "support/temp_folder.h"
#include "ui/viewer/viewer_fixture.h"
#include "ui/viewer/find_bar.h"
#include "ui/viewer/table_rows_model.h"
#include "ui/viewer/text_display_window.h"
#include "ui/viewer/text_lines_model.h"

namespace tarvo {
namespace {

using test::TempFolder;
constexpr int kPatience = test::kViewerPatience;

using test::Viewer;


// Types into the bar's boxes and waits for the search.
void Search(TformTextDisplay* window, const char* box, const QString& text, bool regularExpression,
            bool runs = true) {
  window->findChild<QCheckBox*>("checkRegularExpression")->setChecked(regularExpression);
  QSignalSpy finished(window, &TformTextDisplay::searchFinished);
  auto* edit = window->findChild<QLineEdit*>(box);
  edit->setText(text);
  emit edit->returnPressed();
  if (!text.isEmpty() && runs) {
    ASSERT_TRUE(finished.wait(kPatience));
  }
}

std::string Shown(QAbstractItemModel& model, int row, int column = 0) {
  return model.index(row, column).data().toString().toStdString();
}

// A log of more than a megabyte: its end is indexed on another thread while the start shows.
std::string BigLog(int lines) {
  std::string log;
  for (int i = 0; i < lines; ++i) {
    char line[96];
    std::snprintf(line, sizeof line, "%06d %s request took %d ms\r\n", i,
                  i % 1000 == 999 ? "ERROR" : "info", i % 97);
    log += line;
  }
  return log;
}

TEST(ViewerFind, RegularExpressionsFindAndFilterTheTextLayout) {
  Viewer viewer;
  viewer.files.put("big.log", BigLog(40000));
  TformTextDisplay* window = viewer.open("big.log", "text");
  TextLinesModel& model = window->textModel();
  ASSERT_EQ(model.rowCount({}), 40000);
  EXPECT_EQ(window->findChild<QLabel*>("labelLines")->text().remove(QRegularExpression("[^0-9]")), "40000");

  window->openFind();
  EXPECT_FALSE(window->findBar().isHidden());
  Search(window, "editFind", "^\\d+ error request took 9\\d ms$", true);
  // ERROR lines are 999, 1999, ...; of those, the ones whose i % 97 is 90..96.
  std::vector<std::uint32_t> expected;
  for (std::uint32_t i = 999; i < 40000; i += 1000) {
    if (i % 97 >= 90) expected.push_back(i);
  }
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(window->matches(), expected);
  EXPECT_EQ(window->currentPlace(), expected.front()) << "the first match is shown";
  window->findStep(true);
  EXPECT_EQ(window->currentPlace(), expected[1]) << "F3";
  window->findStep(false);
  window->findStep(false);
  EXPECT_EQ(window->currentPlace(), expected.back()) << "Shift+F3 wraps around";

  Search(window, "editFind", "ERROR", false);
  EXPECT_EQ(window->matches().size(), 40u) << "case folded";
  window->findChild<QCheckBox*>("checkMatchCase")->setChecked(true);
  Search(window, "editFind", "error", false);
  EXPECT_TRUE(window->matches().empty()) << "match case";
  window->findChild<QCheckBox*>("checkMatchCase")->setChecked(false);

  // Filtering shows only the matching lines; clearing returns to the line chosen in it.
  Search(window, "editFilter", "ERROR.*took 1\\d ms", true);
  ASSERT_GT(model.rowCount({}), 0);
  for (int row = 0; row < model.rowCount({}); ++row) {
    EXPECT_NE(Shown(model, row).find("ERROR"), std::string::npos) << row;
  }
  auto* lines = window->findChild<QAbstractItemView*>("Memo1");
  lines->setCurrentIndex(model.index(1, 0));
  const std::size_t chosen = model.lineOf(1);
  Search(window, "editFilter", "", true);
  EXPECT_EQ(model.rowCount({}), 40000);
  EXPECT_EQ(window->currentPlace(), chosen) << "the same place in the whole file";

  Search(window, "editFind", "(unclosed", true, false);
  EXPECT_TRUE(window->findChild<QLabel*>("labelFound")->text().startsWith("*** ")) << "a clear message";
}

TEST(ViewerFind, TableLayoutInAllColumnsOrOne) {
  Viewer viewer;
  viewer.files.put("t.csv", "name,city\r\nAnn,Oslo\r\nBo,\"Annecy, FR\"\r\nCy,Lima\r\nAnna,Rome\r\n");
  {
    DisplayFormat stored = viewer.storedFormat("t.csv", "table");
    stored.headings = true;
    ASSERT_TRUE(SaveDisplayFormat(stored));
  }
  TformTextDisplay* window = viewer.open("t.csv", "table");
  ASSERT_EQ(window->shownLayout(), Layout::Table);
  TableRowsModel& model = window->tableModel();
  Search(window, "editFind", "^ann", true);
  EXPECT_EQ(window->matches(), (MatchList{0, 1, 3}));
  window->findChild<QComboBox*>("comboFindColumn")->setCurrentIndex(2);  // "city"
  Search(window, "editFind", "^ann", true);
  EXPECT_EQ(window->matches(), MatchList{1});

  window->findChild<QComboBox*>("comboFindColumn")->setCurrentIndex(0);
  Search(window, "editFilter", "^ann", true);
  ASSERT_EQ(model.rowCount({}), 3);
  EXPECT_EQ(Shown(model, 2, 1), "Rome");
  window->columnClick(0);
  window->columnClick(0);  // descending: Cy, Bo, Anna, Ann
  ASSERT_TRUE(QTest::qWaitFor([&model] { return model.rowCount({}) == 3 && Shown(model, 0) == "Bo"; }, kPatience))
      << "the filter follows the new order";
  EXPECT_EQ(Shown(model, 1), "Anna");
  Search(window, "editFilter", "", true);
  EXPECT_EQ(model.rowCount({}), 4);
}

// Rewrites a file's time far from its last, so a change is seen whatever the clock's grain.
void Touch(const std::string& path, std::time_t when) {
  const utimbuf times{when, when};
  utime(path.c_str(), &times);
}

TEST(ViewerFollow, AppendedLinesTruncationAndReplacement) {
  Viewer viewer;
  const std::string path = viewer.files.file("grow.log");
  viewer.files.put("grow.log", BigLog(30000));
  TformTextDisplay* window = viewer.open("grow.log", "text");
  TextLinesModel& model = window->textModel();
  ASSERT_EQ(model.rowCount({}), 30000);
  window->findChild<QCheckBox*>("CheckFollow")->setChecked(true);
  Search(window, "editFilter", "ERROR", false);
  ASSERT_EQ(model.rowCount({}), 30);

  {
    std::FILE* log = std::fopen(path.c_str(), "ab");
    ASSERT_NE(log, nullptr);
    std::fputs("next ERROR line\r\npartial ERR", log);
    std::fclose(log);
  }
  window->refreshFromDisk();
  EXPECT_EQ(window->document().lineCount(), 30002u);
  EXPECT_EQ(model.rowCount({}), 31) << "the new lines are filtered too";
  {
    std::FILE* log = std::fopen(path.c_str(), "ab");
    std::fputs("OR goes on\r\n", log);
    std::fclose(log);
  }
  window->refreshFromDisk();
  EXPECT_EQ(window->document().lineCount(), 30002u) << "the unfinished line was read again";
  ASSERT_EQ(model.rowCount({}), 32);
  EXPECT_EQ(Shown(model, 31), "partial ERROR goes on");
  Search(window, "editFilter", "", false);
  auto* lines = window->findChild<QAbstractItemView*>("Memo1");
  lines->scrollToBottom();
  window->refreshFromDisk();

  // Cut short (a log rotated by copying and truncating): read again from the start.
  viewer.files.put("grow.log", "after rotation\r\n");
  Touch(path, 1000000000);
  window->refreshFromDisk();
  ASSERT_TRUE(QTest::qWaitFor([window] { return !window->indexing(); }, kPatience));
  ASSERT_EQ(model.rowCount({}), 1);
  EXPECT_EQ(Shown(model, 0), "after rotation");

  // Replaced by a new file under the same name, longer than the old one.
  viewer.files.put("new.log", BigLog(100));
  ASSERT_EQ(std::rename(viewer.files.file("new.log").c_str(), path.c_str()), 0);
  window->refreshFromDisk();
  ASSERT_TRUE(QTest::qWaitFor([window] { return !window->indexing(); }, kPatience));
  ASSERT_EQ(model.rowCount({}), 100);
  EXPECT_EQ(Shown(model, 0).substr(0, 11), "000000 info");
  EXPECT_EQ(lines->verticalScrollBar()->value(), lines->verticalScrollBar()->maximum()) << "follow keeps the end";

  // The file system's own notice leads to the same, without the timer.
  {
    std::FILE* log = std::fopen(path.c_str(), "ab");
    std::fputs("seen by the watcher\r\n", log);
    std::fclose(log);
  }
  EXPECT_TRUE(QTest::qWaitFor([&model] { return model.rowCount({}) == 101; }, kPatience));
}

}  // namespace
}  // namespace tarvo
