#include "ui/viewer/text_display_window.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <climits>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "store/backups.h"
#include "store/data_file.h"
#include "store/file_system.h"
#include "base/date_text.h"
#include "viewer/line_reader.h"
#include "viewer/viewer_copy.h"
#include "ui/viewer/display_options_dialog.h"
#include "ui/viewer/find_bar.h"
#include "ui/viewer/match_mark_delegate.h"
#include "ui/viewer/select_version_dialog.h"
#include "ui/viewer/accessible_names.h"
#include "ui/viewer/table_rows_model.h"
#include "ui/viewer/text_lines_model.h"
#include "ui/viewer/uniform_rows_view.h"
#include "ui/viewer/viewer_status_line.h"

namespace tarvo {
namespace {

constexpr int kRefreshMilliseconds = 10000;
constexpr int kProgressAfterMilliseconds = 300;
constexpr int kDefaultColumnWidth = 85;
constexpr int kFallbackColumnWidth = 40;
// Indexed before the window shows, so small files need no second step: a few milliseconds.
constexpr std::uint64_t kIndexedAtOnce = std::uint64_t{1} << 20;
constexpr qint64 kShowGrowthMilliseconds = 200;

// Printed layout, in units of a 600 dpi printer.
constexpr double kPrintUnitsPerInch = 600.0;
constexpr int kPrintLeft = 350;
constexpr int kPrintTop = 300;
constexpr int kPrintBottomMargin = 300;

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

// Shows a progress window only when loading takes longer than a moment.
class LoadProgress {
 public:
  LoadProgress(QWidget* parent, const QString& name) : parent_(parent), name_(name) { clock_.start(); }
  void operator()(int percent) {
    if (dialog_ == nullptr && clock_.elapsed() < kProgressAfterMilliseconds) return;
    if (dialog_ == nullptr) {
      dialog_ = std::make_unique<QProgressDialog>("Loading " + name_ + " ...", QString(), 0, 100, parent_);
      dialog_->setWindowModality(Qt::WindowModal);
      dialog_->setMinimumDuration(0);
    }
    dialog_->setValue(percent);
  }

 private:
  QWidget* parent_;
  QString name_;
  QElapsedTimer clock_;
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace

ViewerRegistry::ViewerRegistry(std::string dataFolder, std::string programTitle, ViewerReport report)
    : dataFolder_(std::move(dataFolder)), programTitle_(std::move(programTitle)), report_(std::move(report)) {
  if (!report_) report_ = [](const Result&, const std::string&) {};
}

ViewerRegistry::~ViewerRegistry() { closeAll(); }

TformTextDisplay* ViewerRegistry::OpenTextDisplay(const std::string& path, const std::string& layoutWord) {
  const QString key = QString::fromStdString(path).toCaseFolded();
  auto found = windows_.find(key);
  if (found == windows_.end()) {
    found = windows_.emplace(key, std::make_unique<TformTextDisplay>(path, layoutWord, dataFolder_,
                                                                     programTitle_, sort_, report_)).first;
  }
  return found->second.get();
}

void ViewerRegistry::closeAll() {
  for (auto& [key, window] : windows_) window->close();
  windows_.clear();
}

TformTextDisplay::TformTextDisplay(const std::string& path, const std::string& layoutWord,
                                   const std::string& dataFolder, const std::string& programTitle,
                                   ViewerSort& sort, ViewerReport report)
    : QWidget(nullptr, Qt::Window),
      format_(NewDisplayFormat(path, layoutWord)),
      sort_(sort),
      report_(std::move(report)),
      ownPath_(path),
      currentPath_(path),
      programTitle_(programTitle) {
  report_(LoadDisplayFormat(format_, dataFolder),
          "*** The display format of " + path + " cannot be read; the defaults are used");
  setObjectName("formTextDisplay");
  setWindowTitle(QString::fromStdString(programTitle));
  resize(768, 540);
  if (format_.left != -1 && format_.top != -1 && format_.width > 0 && format_.height > 0) {
    setGeometry(format_.left, format_.top, format_.width, format_.height);
  }
  textModel_ = std::make_unique<TextLinesModel>(document_);
  tableModel_ = std::make_unique<TableRowsModel>(rows_, format_);

  auto* layout = new QVBoxLayout(this);
  labelTitle_ = new QLabel(this);
  labelTitle_->setObjectName("labelTitle");
  layout->addWidget(labelTitle_);
  memo1_ = new UniformRowsView(this);
  memo1_->setObjectName("Memo1");
  memo1_->setModel(textModel_.get());
  memo1_->setTextElideMode(Qt::ElideNone);
  memo1_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  memo1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  auto* copy = new QAction("Copy", memo1_);
  copy->setObjectName("actionCopyLines");
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  connect(copy, &QAction::triggered, this, &TformTextDisplay::copySelectedLines);
  memo1_->addAction(copy);
  memo1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  layout->addWidget(memo1_, 1);
  listView1_ = new QTableView(this);
  listView1_->setObjectName("ListView1");
  listView1_->setModel(tableModel_.get());
  listView1_->setShowGrid(true);
  listView1_->setSelectionBehavior(QAbstractItemView::SelectRows);
  listView1_->verticalHeader()->setVisible(false);
  listView1_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  listView1_->horizontalHeader()->setSectionsClickable(true);
  listView1_->hide();
  layout->addWidget(listView1_, 1);
  connect(listView1_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &TformTextDisplay::columnClick);

  auto* buttons = new QHBoxLayout();
  checkRefresh_ = new QCheckBox("Autorefresh", this);
  checkRefresh_->setObjectName("CheckRefresh");
  checkRefresh_->setChecked(true);
  checkFollow_ = new QCheckBox("Follow", this);
  checkFollow_->setObjectName("CheckFollow");
  checkFollow_->setToolTip("Keep showing the end of the file as it grows");
  connect(checkFollow_, &QCheckBox::toggled, this, [this](bool on) {
    if (on) shownView()->scrollToBottom();
  });
  buttonPrint_ = Button(this, "buttonPrint", "Print");
  buttonSave_ = Button(this, "buttonSave", "Save copy");
  buttonDefineColumns_ = Button(this, "buttonDefineColumns", "Change options");
  buttonClear_ = Button(this, "buttonClear", "Backup and clear");
  buttonClear_->hide();
  buttonVersions_ = Button(this, "buttonVersions", "Old versions");
  buttonClose_ = Button(this, "buttonClose", "Close");
  buttons->addWidget(checkRefresh_);
  buttons->addWidget(checkFollow_);
  buttons->addStretch();
  for (QPushButton* button : {buttonPrint_, buttonSave_, buttonDefineColumns_, buttonClear_,
                              buttonVersions_, buttonClose_}) {
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);
  barFind_ = new FindBar(this);
  barFind_->hide();
  layout->insertWidget(1, barFind_);
  status_ = new ViewerStatusLine(this);
  layout->addWidget(status_);
  marks_ = new MatchMarkDelegate(this);
  memo1_->setItemDelegate(marks_);
  listView1_->setItemDelegate(marks_);
  connect(barFind_, &FindBar::findChanged, this, &TformTextDisplay::startFind);
  connect(barFind_, &FindBar::findNext, this, [this] { findStep(true); });
  connect(barFind_, &FindBar::findPrevious, this, [this] { findStep(false); });
  connect(barFind_, &FindBar::filterChanged, this, &TformTextDisplay::startFilter);
  const auto shortcut = [this](const char* name, const QKeySequence& keys, auto&& work) {
    auto* action = new QAction(this);
    action->setObjectName(name);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, work);
    addAction(action);
  };
  shortcut("actionFind", QKeySequence::Find, [this] { openFind(); });
  shortcut("actionFindNext", QKeySequence(Qt::Key_F3), [this] { findStep(true); });
  shortcut("actionFindPrevious", QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { findStep(false); });
  connect(buttonPrint_, &QPushButton::clicked, this, &TformTextDisplay::buttonPrintClick);
  connect(buttonSave_, &QPushButton::clicked, this, &TformTextDisplay::buttonSaveClick);
  connect(buttonDefineColumns_, &QPushButton::clicked, this, &TformTextDisplay::buttonDefineColumnsClick);
  connect(buttonClear_, &QPushButton::clicked, this, &TformTextDisplay::backupAndClear);
  connect(buttonVersions_, &QPushButton::clicked, this, &TformTextDisplay::buttonVersionsClick);
  connect(buttonClose_, &QPushButton::clicked, this, &QWidget::close);

  timer1_ = new QTimer(this);
  timer1_->setObjectName("Timer1");
  timer1_->setInterval(kRefreshMilliseconds);
  connect(timer1_, &QTimer::timeout, this, &TformTextDisplay::Timer1Timer);
  watcher_ = new QFileSystemWatcher(this);
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, &TformTextDisplay::refreshFromDisk);

  memo1_->setAccessibleName("Text");
  listView1_->setAccessibleName("Table");
  listView1_->setTabKeyNavigation(false);  // Tab leaves the table; the arrows move in it
  NameControlsForAccessibility(*this);
}

TformTextDisplay::~TformTextDisplay() {
  // Their threads read the document and hand results to this window.
  stopSearch();
  stopIndexing();
}

void TformTextDisplay::setTitle(const QString& title) { labelTitle_->setText(title); }

void TformTextDisplay::showViewer() {
  timer1_->stop();
  currentPath_ = ownPath_;
  rebuildVersions();
  show();
  raise();
  activateWindow();
  loadFile();
}

void TformTextDisplay::rebuildVersions() {
  versions_.clear();
  const std::string folder = FolderOf(ownPath_);
  for (const BackupEntry& copy : ListBackups(ownPath_)) versions_.push_back(JoinPath(folder, copy.name));
  buttonVersions_->setVisible(!versions_.empty());
  versions_.insert(versions_.begin(), ownPath_);
}

void TformTextDisplay::showButtons() {
  buttonClear_->hide();
  const bool own = currentPath_ == ownPath_;
  if (clearAllowed_ && own) {
    buttonClear_->show();
    buttonVersions_->setText("Old versions");
  } else if (!buttonVersions_->isHidden()) {
    buttonVersions_->setText("Versions");
  }
}

void TformTextDisplay::loadFile() {
  if (titleTemplate_.isEmpty()) titleTemplate_ = labelTitle_->text();
  if (titleTemplate_.contains("<file>")) {
    QString title = titleTemplate_;
    title.replace(title.indexOf("<file>"), 6, QString::fromStdString(NameOf(currentPath_)));
    labelTitle_->setText(title);
  }
  showButtons();
  sort_.clear();
  tableModel_->setSortMark(-1, true);

  stopSearch();
  stopIndexing();
  // The stamp first: a change while loading is then seen at the next refresh.
  loadedStamp_ = fileSystem().stamp(currentPath_);
  shown_ = LayoutOf(format_);
  bool opened = false;
  if (shown_ == Layout::Text) {
    opened = startIndexing();
  } else {
    LoadProgress progress(this, QString::fromStdString(NameOf(currentPath_)));
    opened = document_.load(currentPath_, std::ref(progress));
  }
  format_.fileAge = opened && loadedStamp_ ? loadedStamp_->modified : 0;
  showLineCount();
  switch (shown_) {
    case Layout::Text:
      layOutText();
      break;
    case Layout::Table:
      layOutTable(false);
      break;
    case Layout::Rotated:
      layOutTable(true);
      break;
    case Layout::None:
      memo1_->hide();
      listView1_->hide();
      break;
  }
  QStringList headings;
  if (shown_ == Layout::Table) {
    for (const std::string& heading : format_.columnHeadings) headings << QString::fromStdString(heading);
  }
  barFind_->setColumns(headings);
  barFind_->setEnabled(searchable());
  if (!indexing_) renewSearches();
  watchShownFile();
  timer1_->start();
}

void TformTextDisplay::layOutText() {
  listView1_->hide();
  rows_.clear();
  tableModel_->reset(false);
  // A fixed-width font, so every line's width follows from its length.
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(format_.fontSize);
  memo1_->setFont(font);
  buttonPrint_->setEnabled(true);
  textModel_->reset();
  fitRowsToLongestLine();
  memo1_->show();
  memo1_->setFocus();
  if (format_.openEnd) memo1_->scrollToBottom();
}

void TformTextDisplay::fitRowsToLongestLine() {
  const QFontMetrics metrics(memo1_->font());
  const std::string_view longest =
      document_.lineCount() == 0 ? std::string_view() : document_.line(document_.longestLine());
  // Long lines are measured by their length (the font is fixed-width), not shaped: a line of
  // megabytes would take seconds to lay out.
  constexpr std::size_t kMeasuredBytes = 4096;
  int width = 0;
  if (longest.size() <= kMeasuredBytes) {
    width = metrics.horizontalAdvance(QString::fromUtf8(longest.data(), static_cast<qsizetype>(longest.size())));
  } else {
    width = static_cast<int>(std::min<std::uint64_t>(INT_MAX / 2, longest.size() * static_cast<std::uint64_t>(metrics.horizontalAdvance(QLatin1Char('M')))));
  }
  textModel_->setRowSize(QSize(width + 2 * metrics.averageCharWidth(), metrics.height()));
}

bool TformTextDisplay::startIndexing() {
  if (!document_.open(currentPath_)) return false;
  // The first stretch now, so the first screen needs no waiting; the rest on another thread.
  const std::uint64_t size = document_.byteCount();
  const std::uint64_t first = std::min<std::uint64_t>(size, kIndexedAtOnce);
  LineChunk chunk;
  ScanLines(document_.data(), document_.data() + first, first == size, chunk);
  document_.addLines(chunk);
  if (document_.indexedBytes() >= size) return true;
  const int generation = ++indexGeneration_;
  const std::string path = currentPath_;
  const std::uint64_t from = document_.indexedBytes();
  indexing_ = true;
  sinceShown_.start();
  indexer_.start([this, path, from, size, generation](const std::atomic<bool>& cancelled) {
    const auto deliver = [this, generation](std::shared_ptr<LineChunk> lines) {
      QMetaObject::invokeMethod(this, [this, generation, lines] { addIndexedLines(generation, lines.get()); },
                                Qt::QueuedConnection);
    };
    (void)ReadLineChunks(path, from, size, [&](LineChunk&& lines) {
      deliver(std::make_shared<LineChunk>(std::move(lines)));
      return true;
    }, &cancelled);
    deliver(nullptr);  // the end of the reading, whether or not all was read
  });
  return true;
}

void TformTextDisplay::addIndexedLines(int generation, const LineChunk* lines) {
  if (generation != indexGeneration_) return;  // from a reading since stopped
  if (lines == nullptr) {
    indexing_ = false;
    showIndexedLines();
    renewSearches();
    emit indexingFinished();
    refreshFromDisk();  // what was written while the file was read
    return;
  }
  document_.addLines(*lines);
  if (sinceShown_.isValid() && sinceShown_.elapsed() < kShowGrowthMilliseconds) return;
  showIndexedLines();
}

void TformTextDisplay::showIndexedLines() {
  sinceShown_.start();
  textModel_->linesAdded(textModel_->rowCount({}));
  fitRowsToLongestLine();
  showLineCount();
  if (format_.openEnd || followEnd()) memo1_->scrollToBottom();
}

void TformTextDisplay::stopIndexing() {
  indexer_.cancel();
  ++indexGeneration_;
  indexing_ = false;
}

void TformTextDisplay::showLineCount() {
  const std::uint64_t total = document_.byteCount();
  status_->showLines(document_.lineCount(), indexing_ ? document_.indexedBytes() : total, total);
}

void TformTextDisplay::copySelectedLines() {
  std::vector<std::size_t> rows;
  for (const QModelIndex& index : memo1_->selectionModel()->selectedRows()) {
    rows.push_back(textModel_->lineOf(index.row()));
  }
  const std::string text = LinesText(document_, std::move(rows));
  QGuiApplication::clipboard()->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TformTextDisplay::layOutTable(bool rotated) {
  memo1_->hide();
  listView1_->show();
  format_.columns = true;
  if (rotated) format_.rotated = true;
  buttonPrint_->setEnabled(false);
  QFont font = listView1_->font();
  font.setPointSize(format_.fontSize);
  listView1_->setFont(font);
  DeriveColumnDefinitions(format_);
  CompleteColumnLists(format_);
  const std::size_t firstLine = format_.headings ? 1 : 0;
  LoadProgress progress(this, QString::fromStdString(NameOf(currentPath_)));
  rows_.setDoubledQuotes(format_.doubledQuotes);
  rows_.build(document_, firstLine, rotated ? TableRows::Shape::Records : TableRows::Shape::Table,
              std::ref(progress));
  tableModel_->reset(rotated);
  applyColumnWidths(!rotated);
  if (!rotated) finishTable();
  listView1_->setFocus();
}

void TformTextDisplay::applyColumnWidths(bool honourHidden) {
  // Columns without a stored width take the header's default: a rotated table of a million
  // records has a million columns, and setting each one's width would be quadratic.
  QHeaderView* header = listView1_->horizontalHeader();
  header->setDefaultSectionSize(kDefaultColumnWidth);
  const int columns = tableModel_->columnCount({});
  const int stored = std::min(columns, static_cast<int>(std::min<std::size_t>(format_.columnWidths.size(), INT_MAX)));
  for (int i = 0; i < stored; ++i) {
    const auto index = static_cast<std::size_t>(i);
    header->resizeSection(i, DecimalOr(format_.columnWidths[index], kFallbackColumnWidth));
    const bool hidden = honourHidden && index < format_.columnDisplay.size() &&
                        format_.columnDisplay[index] == "hidden";
    listView1_->setColumnHidden(i, hidden);
  }
}

void TformTextDisplay::finishTable() {
  if (sort_.restoreFrom(format_, tableModel_->columnCount({}))) sortRows();
  if (format_.openEnd && rows_.rowCount() > 0) listView1_->scrollToBottom();
}

void TformTextDisplay::columnClick(int column) {
  if (shown_ != Layout::Table || column < 0) return;
  sort_.click(column);
  sortRows();
}

void TformTextDisplay::sortRows() {
  stopSearch();  // it reads the rows' order
  const auto index = static_cast<std::size_t>(sort_.column());
  const std::string type = index < format_.columnTypes.size() ? format_.columnTypes[index] : "text";
  rows_.sort(index, type, sort_.ascending());
  tableModel_->setSortMark(sort_.column(), sort_.ascending());
  tableModel_->sorted();
  renewSearches();
}

void TformTextDisplay::reloadKeepingPlace() {
  // A refresh keeps what the user set up: the column widths, the sort in force, and the place
  // in the file (the end stays the end, so a growing log can be followed).
  storeColumnWidths();
  const int sortColumn = sort_.column();
  const bool ascending = sort_.ascending();
  QAbstractItemView* view = shown_ == Layout::Text ? static_cast<QAbstractItemView*>(memo1_) : listView1_;
  const bool atEnd = view->verticalScrollBar()->value() == view->verticalScrollBar()->maximum();
  const int top = view->verticalScrollBar()->value();
  clearView();
  loadFile();
  if (shown_ == Layout::Table && sortColumn >= 0 && sortColumn < tableModel_->columnCount({})) {
    sort_.restore(sortColumn, ascending);
    sortRows();
  }
  QAbstractItemView* shownView = shown_ == Layout::Text ? static_cast<QAbstractItemView*>(memo1_) : listView1_;
  if (atEnd) {
    shownView->scrollToBottom();
  } else {
    shownView->verticalScrollBar()->setValue(top);
  }
}

void TformTextDisplay::storeColumnWidths() {
  if (shown_ != Layout::Table && shown_ != Layout::Rotated) return;
  const int columns = tableModel_->columnCount({});
  for (int i = 0; i < columns; ++i) {
    const auto index = static_cast<std::size_t>(i);
    if (listView1_->isColumnHidden(i)) continue;  // a hidden column keeps its stored width
    if (index >= format_.columnWidths.size()) format_.columnWidths.resize(index + 1, std::to_string(kDefaultColumnWidth));
    format_.columnWidths[index] = std::to_string(listView1_->columnWidth(i));
  }
}

void TformTextDisplay::clearView() {
  stopSearch();
  stopIndexing();
  document_.clear();
  rows_.clear();
  textModel_->reset();
  tableModel_->reset(shown_ == Layout::Rotated);
}

void TformTextDisplay::printTo(QPrinter& printer) const {
  QPainter painter(&printer);
  if (!painter.isActive()) return;
  // The layout's figures are units of a 600 dpi printer; this printer has its own.
  const double unit = printer.resolution() / kPrintUnitsPerInch;
  const int left = static_cast<int>(kPrintLeft * unit);
  const int top = static_cast<int>(kPrintTop * unit);
  const int bottom = static_cast<int>(kPrintBottomMargin * unit);
  QFont font("Courier", 11);
  font.setStyleHint(QFont::TypeWriter);
  font.setBold(true);
  painter.setFont(font);
  const int h = painter.fontMetrics().height();
  int y = top + h;
  painter.drawText(left, y, labelTitle_->text());
  y += 2 * h;
  font.setBold(false);
  painter.setFont(font);
  const int pageHeight = painter.viewport().height();
  // A line wider than the page goes on at the margin of the next printed line.
  const int advance = std::max(1, painter.fontMetrics().horizontalAdvance(QLatin1Char('M')));
  const int perLine = std::max(1, (painter.viewport().width() - 2 * left) / advance);
  for (std::size_t i = 0; i < document_.lineCount(); ++i) {
    const std::string_view bytes = document_.line(i);
    const QString line = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    for (qsizetype from = 0; from == 0 || from < line.size(); from += perLine) {
      if (pageHeight <= y + bottom) {
        printer.newPage();
        y = top + h;
      }
      painter.drawText(left, y, line.mid(from, perLine));
      y += h;
    }
  }
}

void TformTextDisplay::buttonPrintClick() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  printTo(printer);
}

Result TformTextDisplay::saveCopyTo(const std::string& path) {
  return SaveViewerCopy(path, shown_, document_, rows_, format_);
}

void TformTextDisplay::buttonSaveClick() {
  QFileDialog dialog(this, "Save this file as", QDir::homePath());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the question below is ours
  const std::string name = NameOf(currentPath_);
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos) dialog.setDefaultSuffix(QString::fromStdString(name.substr(dot + 1)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString chosen = dialog.selectedFiles().front();
  if (chosen.isEmpty()) return;
  const std::string path = chosen.toStdString();
  if (fileSystem().exists(path) &&
      QMessageBox::question(this, QString::fromStdString(programTitle_) + " Information",
                            "The file name you have chosen already exists.  Do you wish to overwrite?",
                            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
    return;
  }
  if (const Result saved = saveCopyTo(path); !saved) {
    QMessageBox::critical(this, QString::fromStdString(programTitle_) + " Problem",
                          "*** Unable to write to the file name you chose\n\n" +
                              QString::fromStdString(saved.reason()));
  }
}

void TformTextDisplay::buttonDefineColumnsClick() {
  format_.reloadNeeded = false;
  format_.columnsChanged = false;
  format_.sortOptionChanged = false;
  format_.sortActive = sort_.active();
  TformFileDisplayOptions dialog(format_, this);
  dialog.exec();
  applyOptions();
}

void TformTextDisplay::applyOptions() {
  QWidget* view = format_.infoType == "text" ? static_cast<QWidget*>(memo1_) : listView1_;
  QFont font = view->font();
  font.setPointSize(format_.fontSize);
  view->setFont(font);
  if (format_.sortOptionChanged) sort_.storeInto(format_);
  if (format_.reloadNeeded || format_.columnsChanged) {
    clearView();
    loadFile();
  }
}

void TformTextDisplay::backupAndClear() {
  ResultOf<DataFilePtr> emptied = OpenDataFile(currentPath_, "W", 5);
  if (!emptied) {
    QMessageBox::critical(this, QString::fromStdString(programTitle_) + " Problem",
                          "*** The file could not be cleared\n\n" + QString::fromStdString(emptied.reason()));
    return;
  }
  report_(Result().addNote((*emptied)->backupNote), "");
  CloseDataFile(*emptied);
  clearView();
  rebuildVersions();
  buttonVersions_->setVisible(versions_.size() > 1);
  loadFile();
}

void TformTextDisplay::buttonVersionsClick() {
  TFormSelectVersion dialog(versions_, this);
  dialog.exec();
  if (dialog.cancelled()) return;
  showVersion(static_cast<std::size_t>(dialog.selectedIndex()));
}

void TformTextDisplay::showVersion(std::size_t index) {
  if (index >= versions_.size() || versions_[index] == currentPath_) return;
  currentPath_ = versions_[index];
  clearView();
  loadFile();
}

void TformTextDisplay::saveViewState() {
  storeColumnWidths();
  const QRect frame = geometry();
  format_.top = frame.top();
  format_.left = frame.left();
  format_.height = frame.height();
  format_.width = frame.width();
  report_(SaveDisplayFormat(format_), "*** The display format " + format_.formatPath + " cannot be saved");
}

void TformTextDisplay::closeEvent(QCloseEvent* event) {
  timer1_->stop();
  saveViewState();
  event->accept();  // hides; the registry keeps the window for the next opening
}

}  // namespace tarvo
