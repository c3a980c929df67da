#include "ui/viewer/text_display_window.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QClipboard>
#include <QAction>
#include <QCoreApplication>
#include <QAbstractItemView>
#include <QScrollBar>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QRegularExpression>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <utime.h>

#include <algorithm>
#include <tuple>

#include "support/temp_folder.h"
#include "ui/viewer/viewer_fixture.h"
#include "ui/viewer/column_details_dialog.h"
#include "ui/viewer/display_options_dialog.h"
#include "ui/viewer/select_version_dialog.h"
#include "ui/viewer/table_rows_model.h"
#include "ui/viewer/text_lines_model.h"

namespace tarvo {
namespace {

using test::TempFolder;

using test::Viewer;

std::vector<std::string> Column(TableRowsModel& model, int column) {
  std::vector<std::string> values;
  for (int row = 0; row < model.rowCount({}); ++row) {
    values.push_back(model.index(row, column).data().toString().toStdString());
  }
  return values;
}

TEST(TextDisplayWindow, TableLayoutHeadingsSortAndStoredState) {
  Viewer viewer;
  viewer.files.put("t.csv", "name,qty\r\nb,10\r\nA,9\r\n_x,\"1,000\"\r\n");
  {
    DisplayFormat stored = viewer.storedFormat("t.csv", "table");
    stored.infoType = "table";
    stored.headings = true;
    stored.sorted = true;
    stored.sortColumn = 7;  // names no column: ignored
    stored.columnHeadings = {"Who"};
    stored.columnTypes = {"text"};
    ASSERT_TRUE(SaveDisplayFormat(stored));
  }
  TformTextDisplay* window = viewer.open("t.csv", "text");
  ASSERT_EQ(window->shownLayout(), Layout::Table);
  TableRowsModel& model = window->tableModel();
  ASSERT_EQ(model.columnCount({}), 2);
  EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Who") << "stored wins";
  EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "qty");
  EXPECT_EQ(Column(model, 0), (std::vector<std::string>{"b", "A", "_x"})) << "unsorted";

  window->format().columnTypes[1] = "number";
  window->columnClick(1);
  EXPECT_EQ(Column(model, 1), (std::vector<std::string>{"9", "10", "1,000"}));
  EXPECT_EQ(model.headerData(1, Qt::Horizontal, TableRowsModel::SortMarkRole).toInt(), 1);
  window->columnClick(1);
  EXPECT_EQ(Column(model, 1), (std::vector<std::string>{"1,000", "10", "9"}));
  EXPECT_EQ(model.headerData(1, Qt::Horizontal, TableRowsModel::SortMarkRole).toInt(), 0)
      << "the second click shows the descending mark";

  // "Always open sorted" while column 1 is sorted descending stores that sort.
  window->format().sortOptionChanged = true;
  window->format().sorted = true;
  window->applyOptions();
  EXPECT_EQ(std::tuple(window->format().sortColumn, window->format().ascending), std::tuple(1, false));

  ASSERT_TRUE(window->saveCopyTo(viewer.files.file("copy.csv")));
  EXPECT_EQ(viewer.files.read("copy.csv"),
            "\"Who\",\"qty\"\r\n\"_x\",\"1,000\"\r\n\"b\",\"10\"\r\n\"A\",\"9\"\r\n");

  window->close();
  DisplayFormat reread = NewDisplayFormat(viewer.files.file("t.csv"), "text");
  ASSERT_TRUE(LoadDisplayFormat(reread, viewer.data.path()));
  EXPECT_EQ(std::tuple(reread.sortColumn, reread.columnWidths.size()), std::tuple(1, std::size_t{2}));
  EXPECT_EQ(viewer.registry.OpenTextDisplay(viewer.files.file("T.CSV"), "text"), window)
      << "paths are registered without regard to case";

  TformTextDisplay* again = viewer.open("t.csv", "text");
  EXPECT_EQ(Column(again->tableModel(), 1), (std::vector<std::string>{"1,000", "10", "9"}))
      << "opened sorted descending by the stored column";
}

// A copy keeps the file's bytes in every layout, whatever their encoding (here Latin-1).
TEST(TextDisplayWindow, CopiesKeepTheBytes) {
  Viewer viewer;
  const std::string latin("M\xE4ki,1\r\nO\xFCz,2\r\n");
  const auto copied = [&](const std::string& layout) {
    viewer.files.put(layout + ".csv", latin);
    EXPECT_TRUE(viewer.open(layout + ".csv", layout)->saveCopyTo(viewer.files.file(layout + ".copy"))) << layout;
    return viewer.files.read(layout + ".copy");
  };
  EXPECT_EQ(copied("text"), latin);
  EXPECT_EQ(copied("table"), "\"Field1\",\"Field2\"\r\n\"M\xE4ki\",\"1\"\r\n\"O\xFCz\",\"2\"\r\n");
  const std::string rotated = copied("list");
  EXPECT_NE(rotated.find("\"Field1\",\"M\xE4ki\",\"O\xFCz\""), std::string::npos) << rotated;
}

// Every line can be read whole: the rows are as wide as the longest line (50,000 characters
// here) and the horizontal scroll bar reaches its end; lines can be selected and copied.
TEST(TextDisplayWindow, LongLinesAreReadableAndLinesCanBeCopied) {
  Viewer viewer;
  const std::string longLine = "start" + std::string(50000, 'x') + "end";
  viewer.files.put("wide.log", "short\r\n\r\n" + longLine + "\r\nafter\r\n");
  TformTextDisplay* window = viewer.open("wide.log", "text");
  auto* lines = window->findChild<QAbstractItemView*>("Memo1");
  lines->resize(400, 300);
  QCoreApplication::processEvents();
  const QFontMetrics metrics(lines->font());
  EXPECT_GE(lines->horizontalScrollBar()->maximum() + lines->viewport()->width(),
            metrics.horizontalAdvance(QString::fromStdString(longLine)))
      << "the scroll bar reaches the end of the longest line";
  EXPECT_EQ(lines->textElideMode(), Qt::ElideNone);

  for (const int row : {3, 0, 1}) {
    lines->selectionModel()->select(window->textModel().index(row), QItemSelectionModel::Select);
  }
  window->findChild<QAction*>("actionCopyLines")->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "short\n\nafter") << "file order, empty lines kept";
  lines->selectAll();
  window->copySelectedLines();
  EXPECT_EQ(QGuiApplication::clipboard()->text().size(), static_cast<qsizetype>(5 + 1 + longLine.size() + 1 + 5 + 1));
}

// A refresh keeps the widths the user dragged, the sort in force and the place in the file;
// a file that did not change (NUL bytes and all) is not loaded again; a log's older copies
// are shown but never cleared nor refreshed.
TEST(TextDisplayWindow, ARefreshKeepsWidthsSortAndPlaceAndALogIsClearedAndShownInOlderCopies) {
  Viewer viewer;
  viewer.files.put("r.csv", "b,2\r\na,1\r\nc,3\r\n");
  TformTextDisplay* table = viewer.open("r.csv", "table");
  auto* list = table->findChild<QTableView*>("ListView1");
  list->setColumnWidth(0, 210);
  table->columnClick(1);
  table->columnClick(1);  // descending
  viewer.rewrite("r.csv", "b,2\r\na,1\r\nc,3\r\nd,4\r\n", 1000000200);
  table->Timer1Timer();
  EXPECT_EQ(Column(table->tableModel(), 0), (std::vector<std::string>{"d", "c", "b", "a"}));
  EXPECT_EQ(list->columnWidth(0), 210);

  std::string log("with\0nul\r\n", 10);
  for (int i = 0; i < 500; ++i) log += "line " + std::to_string(i) + "\r\n";
  viewer.files.put("n.log", log);
  TformTextDisplay* text = viewer.open("n.log", "text");
  auto* lines = text->findChild<QAbstractItemView*>("Memo1");
  lines->resize(300, 200);
  QCoreApplication::processEvents();
  lines->verticalScrollBar()->setValue(40);
  text->Timer1Timer();
  EXPECT_EQ(lines->verticalScrollBar()->value(), 40) << "unchanged: not reloaded, not moved";
  viewer.rewrite("n.log", log + "grown\r\n", 1000000300);
  text->Timer1Timer();
  EXPECT_EQ(text->textModel().rowCount({}), 502);
  EXPECT_EQ(lines->verticalScrollBar()->value(), 40) << "the user's place";
  lines->scrollToBottom();
  viewer.rewrite("n.log", log + "grown\r\nagain\r\n", 1000000400);
  text->Timer1Timer();
  EXPECT_EQ(lines->verticalScrollBar()->value(), lines->verticalScrollBar()->maximum()) << "the end followed";

  // A log refreshed when it grows (only with Autorefresh), backed up and cleared, and its
  // older copies shown, never cleared nor refreshed.
  viewer.rewrite("main.log", "first\r\n", 1000000000);
  for (int n = 1; n <= 3; ++n) viewer.files.put("main(" + std::to_string(n) + ").log", "older\r\n");
  TformTextDisplay* window = viewer.registry.OpenTextDisplay(viewer.files.file("main.log"), "text");
  window->setTitle("Log file - <file> today");
  window->setClearAllowed(true);
  window->showViewer();
  ASSERT_EQ(window->shownLayout(), Layout::Text);
  EXPECT_EQ(window->findChild<QLabel*>("labelTitle")->text(), "Log file - main.log today");
  EXPECT_FALSE(window->findChild<QPushButton*>("buttonClear")->isHidden());
  TextLinesModel& logLines = window->textModel();
  EXPECT_EQ(logLines.rowCount({}), 1);

  viewer.rewrite("main.log", "first\r\nsecond\r\n", 1000000100);
  auto* autorefresh = window->findChild<QCheckBox*>("CheckRefresh");
  autorefresh->setChecked(false);
  window->Timer1Timer();
  EXPECT_EQ(logLines.rowCount({}), 1) << "Autorefresh off: not reloaded";
  autorefresh->setChecked(true);
  ASSERT_TRUE(QMetaObject::invokeMethod(window->findChild<QTimer*>("Timer1"), "timeout",
                                        Qt::DirectConnection));
  ASSERT_EQ(logLines.rowCount({}), 2);
  EXPECT_EQ(logLines.index(1).data().toString(), "second");

  window->backupAndClear();
  EXPECT_EQ(viewer.files.read("main.log"), "");
  EXPECT_EQ(viewer.files.read("main(4).log"), "first\r\nsecond\r\n");
  ASSERT_EQ(window->versions().size(), 5u) << "the log and its four copies";
  EXPECT_EQ(logLines.rowCount({}), 0);
  window->showVersion(4);
  EXPECT_EQ(window->currentPath(), viewer.files.file("main(4).log"));
  EXPECT_EQ(logLines.rowCount({}), 2);
  EXPECT_TRUE(window->findChild<QPushButton*>("buttonClear")->isHidden())
      << "an older copy is never cleared";
  EXPECT_EQ(window->findChild<QPushButton*>("buttonVersions")->text(), "Versions");
  viewer.files.put("main.log", "grew\r\n");
  window->Timer1Timer();
  EXPECT_EQ(window->currentPath(), viewer.files.file("main(4).log")) << "older copies never refresh";
}

TEST(TextDisplayWindow, RotatedLayoutShowsEachRecordAsAColumn) {
  Viewer viewer;
  viewer.files.put("r.csv", "h1,h2\r\n1,2\r\n3\r\n\x1Astop\r\n9,9\r\n");
  DisplayFormat stored = viewer.storedFormat("r.csv", "list");
  stored.headings = true;
  ASSERT_TRUE(SaveDisplayFormat(stored));
  TformTextDisplay* window = viewer.open("r.csv", "list");
  ASSERT_EQ(window->shownLayout(), Layout::Rotated);
  TableRowsModel& model = window->tableModel();
  ASSERT_EQ(model.rowCount({}), 2);
  ASSERT_EQ(model.columnCount({}), 3) << "caption column and two records before Ctrl-Z";
  EXPECT_EQ(model.index(0, 0).data().toString(), "h1");
  EXPECT_EQ(model.index(1, 1).data().toString(), "2");
  EXPECT_EQ(model.index(1, 2).data().toString(), "") << "a short record leaves empty cells";
}

struct PrintedWord {
  int page;
  double x;
  double y;
  std::string text;
};

// The words of a PDF with their positions in points, as pdftotext -bbox reports them.
std::vector<PrintedWord> PrintedWords(const std::string& pdf) {
  QProcess tool;
  tool.start("pdftotext", {"-bbox", QString::fromStdString(pdf), "-"});
  EXPECT_TRUE(tool.waitForFinished(60000)) << "pdftotext (poppler-utils) is needed";
  const QString html = QString::fromUtf8(tool.readAllStandardOutput());
  std::vector<PrintedWord> words;
  int page = 0;
  static const QRegularExpression pattern(R"re(<page |<word xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>([^<]*)</word>)re");
  for (auto match = pattern.globalMatch(html); match.hasNext();) {
    const QRegularExpressionMatch found = match.next();
    if (found.captured(0).startsWith("<page")) {
      ++page;
      continue;
    }
    words.push_back({page, found.captured(1).toDouble(), found.captured(2).toDouble(), found.captured(3).toStdString()});
  }
  return words;
}

// Printing puts the title at the top left margin and about sixty lines on a page; a line
// wider than the page goes on, not lost.
TEST(TextDisplayWindow, PrintingFillsThePageFromItsMargin) {
  Viewer viewer;
  std::string log;
  for (int i = 1; i <= 130; ++i) log += "line" + std::to_string(i) + "\r\n";
  const std::string longLine = std::string(150, 'a') + std::string(150, 'b');
  log += longLine + "\r\nlast\r\n";
  viewer.files.put("print.log", log);
  TformTextDisplay* text = viewer.open("print.log", "text");
  text->setTitle("Printed log");
  // Whatever resolution the printer works at.
  for (const auto mode : {QPrinter::HighResolution, QPrinter::ScreenResolution}) {
    QPrinter printer(mode);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(viewer.files.file("print.pdf")));
    text->printTo(printer);

    const std::vector<PrintedWord> words = PrintedWords(viewer.files.file("print.pdf"));
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.front().text, "Printed");
    EXPECT_LT(words.front().x, 72) << "within an inch of the left edge";
    EXPECT_LT(words.front().y, 72) << "within an inch of the top";
    const auto onFirstPage = std::count_if(words.begin(), words.end(), [](const PrintedWord& word) {
      return word.page == 1 && word.text.starts_with("line");
    });
    EXPECT_GE(onFirstPage, 50);
    EXPECT_LE(onFirstPage, 70);
    std::string long_;
    for (const PrintedWord& word : words) {
      if (word.text.find_first_not_of("ab") == std::string::npos) long_ += word.text;
    }
    EXPECT_EQ(long_, longLine) << "the long line is printed whole, continued on the next line";
    EXPECT_EQ(words.back().text, "last");
  }
}

TEST(DisplayDialogs, OptionsEnablingColumnDialogAndVersionChooser) {
  TempFolder files;
  files.put("t.csv", "a,b\r\n");
  DisplayFormat format = NewDisplayFormat(files.file("t.csv"), "table");
  format.columns = true;
  DeriveColumnDefinitions(format);
  TformFileDisplayOptions dialog(format);
  auto* headings = dialog.findChild<QCheckBox*>("checkOptionsHeadings");
  auto* fromFile = dialog.findChild<QCheckBox*>("checkHeadingsFromFile");
  auto* box = dialog.findChild<QLineEdit*>("editHeadingsFile");
  auto* columns = dialog.findChild<QCheckBox*>("checkOptionColumns");
  auto* sorted = dialog.findChild<QCheckBox*>("checkOptionsSort");
  auto* rotated = dialog.findChild<QCheckBox*>("checkRotated");
  EXPECT_EQ(std::tuple(headings->isEnabled(), fromFile->isEnabled(), box->isEnabled(), sorted->isEnabled(),
                       rotated->isEnabled()),
            std::tuple(true, true, false, false, false)) << "no sort in force: no sorting";

  headings->click();
  EXPECT_EQ(std::tuple(fromFile->isChecked(), fromFile->isEnabled()), std::tuple(false, false));
  headings->click();
  fromFile->click();
  EXPECT_EQ(std::tuple(headings->isEnabled(), box->isEnabled()), std::tuple(false, true));
  columns->click();
  EXPECT_FALSE(headings->isEnabled());
  EXPECT_FALSE(dialog.findChild<QTreeWidget*>("ListView1")->isEnabled());
  columns->click();

  dialog.findChild<QPushButton*>("buttonClose")->click();
  EXPECT_EQ(std::tuple(format.headingsFromFile, format.reloadNeeded), std::tuple(true, true));

  TFileDisplayColumnForm changed("Amount", "text", "visible");
  changed.findChild<QLineEdit*>("editHeadingText")->setText("Total");
  changed.findChild<QRadioButton*>("radioType_number")->setChecked(true);
  changed.findChild<QRadioButton*>("radioHidden")->setChecked(true);
  changed.findChild<QPushButton*>("buttonOk")->click();
  EXPECT_EQ(std::tuple(changed.heading(), changed.type(), changed.display()), std::tuple("Total", "number", "hidden"));

  TFileDisplayColumnForm cancelled("Amount", "odd-word", "visible");
  cancelled.findChild<QLineEdit*>("editHeadingText")->setText("Lost");
  cancelled.findChild<QPushButton*>("buttonCancel")->click();
  EXPECT_EQ(std::tuple(cancelled.heading(), cancelled.type()), std::tuple("Amount", "odd-word"));

  TFileDisplayColumnForm unchecked("H", "odd-word", "visible");
  unchecked.findChild<QPushButton*>("buttonOk")->click();
  EXPECT_EQ(unchecked.type(), "odd-word") << "no checked button keeps the word";

  files.put("a.log", "now");
  files.put("a(1).log", "then");
  const std::vector<std::string> paths = {files.file("a.log"), files.file("a(1).log")};

  TFormSelectVersion chooser(paths);
  auto* list = chooser.findChild<QTreeWidget*>("listFiles");
  auto* display = chooser.findChild<QPushButton*>("buttonOpen");
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(1)->text(0), "a(1).log");
  EXPECT_FALSE(list->topLevelItem(1)->text(1).isEmpty()) << "the file's date and time";
  EXPECT_TRUE(display->isHidden()) << "nothing chosen yet";
  emit list->itemClicked(list->topLevelItem(1), 0);
  EXPECT_FALSE(display->isHidden());
  display->click();
  EXPECT_EQ(std::tuple(chooser.cancelled(), chooser.selectedIndex()), std::tuple(false, 1));

  TFormSelectVersion escaped(paths);
  escaped.reject();  // the Escape key
  EXPECT_TRUE(escaped.cancelled());
}

}  // namespace
}  // namespace tarvo
