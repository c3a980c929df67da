#pragma once

// The viewer window: one text file shown as text, as a sortable table or as a rotated table,
// re-read every ten seconds when it changed, with commands to print, save a copy, change the
// display options, back up and clear, and show older numbered copies.
//
// Windows are kept in a registry, one per path (compared without regard to case); closing
// hides a window and the next opening of that path shows it again.

#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "store/file_system.h"
#include "viewer/background_job.h"
#include "viewer/display_format.h"
#include "viewer/text_document.h"
#include "viewer/text_search.h"
#include "viewer/viewer_sort.h"

class QAbstractItemView;
class QCheckBox;
class QFileSystemWatcher;
class QLabel;
class QPrinter;
class QPushButton;
class QTableView;
class QTimer;

namespace tarvo {

class FindBar;
class MatchMarkDelegate;
class TableRowsModel;
class TextLinesModel;
class UniformRowsView;
class ViewerStatusLine;
class TformTextDisplay;

// Where the viewer reports a failure it cannot show in its own window (a view state that
// could not be saved): the message and the result.
using ViewerReport = std::function<void(const Result& result, const std::string& message)>;

class ViewerRegistry {
 public:
  ViewerRegistry(std::string dataFolder, std::string programTitle, ViewerReport report = {});
  ~ViewerRegistry();
  ViewerRegistry(const ViewerRegistry&) = delete;
  ViewerRegistry& operator=(const ViewerRegistry&) = delete;

  // The window of this path, made (and its format loaded) when there is none yet.
  TformTextDisplay* OpenTextDisplay(const std::string& path, const std::string& layoutWord);
  // Saves every window's view state and closes them all (program end).
  void closeAll();
  [[nodiscard]] std::size_t size() const { return windows_.size(); }
  [[nodiscard]] const std::string& programTitle() const { return programTitle_; }

 private:
  std::string dataFolder_;
  std::string programTitle_;
  ViewerReport report_;
  ViewerSort sort_;  // one sort for all the windows of the run
  std::map<QString, std::unique_ptr<TformTextDisplay>> windows_;  // keys case-folded
};

class TformTextDisplay : public QWidget {
  Q_OBJECT

 public:
  TformTextDisplay(const std::string& path, const std::string& layoutWord,
                   const std::string& dataFolder, const std::string& programTitle,
                   ViewerSort& sort, ViewerReport report);
  ~TformTextDisplay() override;

  // The caller sets the title (may hold "<file>") and whether "Backup and clear" is offered,
  // then shows the viewer: it reloads its own file.
  void setTitle(const QString& title);
  void setClearAllowed(bool allowed) { clearAllowed_ = allowed; }
  void showViewer();

  // Loads currentPath again (after an option change or a refresh).
  void loadFile();
  // The refresh timer's work: a file that grew is read from where it ended, one that was cut
  // short or replaced is read again.
  void Timer1Timer() { refreshFromDisk(); }
  void refreshFromDisk();
  void columnClick(int column);
  // Ctrl+C in the text layout: the selected lines, in file order, to the clipboard.
  void copySelectedLines();

  // Find (Ctrl+F; F3 and Shift+F3 go to the next and previous match) and filter, from what
  // the find bar holds; the search runs on another thread and searchFinished() follows.
  void openFind();
  void startFind();
  void findStep(bool forward, bool fromHere = false);
  void startFilter();
  [[nodiscard]] FindBar& findBar() { return *barFind_; }
  [[nodiscard]] const MatchList& matches() const { return matches_; }
  // The line (text) or row position (table) of the current row, or of the top row.
  [[nodiscard]] std::uint32_t currentPlace() const;

  // Commands; the parts after the dialogs, so they can be driven directly.
  void printTo(QPrinter& printer) const;
  Result saveCopyTo(const std::string& path);
  void applyOptions();
  void backupAndClear();
  void showVersion(std::size_t index);

  [[nodiscard]] DisplayFormat& format() { return format_; }
  [[nodiscard]] const std::string& currentPath() const { return currentPath_; }
  [[nodiscard]] const std::vector<std::string>& versions() const { return versions_; }
  [[nodiscard]] Layout shownLayout() const { return shown_; }
  [[nodiscard]] TableRowsModel& tableModel() { return *tableModel_; }
  [[nodiscard]] TextLinesModel& textModel() { return *textModel_; }
  [[nodiscard]] const TextDocument& document() const { return document_; }
  // True while a large file is still being indexed in the background.
  [[nodiscard]] bool indexing() const { return indexing_; }

 signals:
  // The background indexing of the file shown has read it to its end.
  void indexingFinished();
  // A find or filter has its result.
  void searchFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void rebuildVersions();
  void showButtons();
  void layOutText();
  void fitRowsToLongestLine();
  // Maps the file and indexes its start; a thread reads the rest. False when it cannot be opened.
  bool startIndexing();
  void addIndexedLines(int generation, const LineChunk* lines);
  void showIndexedLines();
  void stopIndexing();
  void showLineCount();
  [[nodiscard]] bool followEnd() const;
  void reloadKeepingPlace();
  void appendFromDisk();
  void watchShownFile();
  enum class SearchPurpose { Find, Filter };
  [[nodiscard]] bool searchable() const;
  [[nodiscard]] QAbstractItemView* shownView() const;
  void runSearch(const TextQuery& query, SearchPurpose purpose);
  void stopSearch();
  void showFound(MatchList matches);
  void showFiltered(MatchList matches);
  void goToPlace(std::size_t place);
  void renewSearches();
  void layOutTable(bool rotated);
  void applyColumnWidths(bool honourHidden);
  void finishTable();
  void sortRows();
  void saveViewState();
  // The widths the user gave the columns, into the format (saved with it on close).
  void storeColumnWidths();
  void clearView();
  void buttonPrintClick();
  void buttonSaveClick();
  void buttonDefineColumnsClick();
  void buttonVersionsClick();

  DisplayFormat format_;
  ViewerSort& sort_;
  ViewerReport report_;
  std::optional<FileStamp> loadedStamp_;  // the file's stamp when it was loaded
  std::string ownPath_;
  std::string currentPath_;
  std::string programTitle_;
  QString titleTemplate_;
  std::vector<std::string> versions_;
  bool clearAllowed_ = false;
  Layout shown_ = Layout::None;

  TextDocument document_;
  TableRows rows_;
  std::unique_ptr<TextLinesModel> textModel_;
  std::unique_ptr<TableRowsModel> tableModel_;
  BackgroundJob indexer_;
  int indexGeneration_ = 0;  // chunks of an earlier reading are dropped
  bool indexing_ = false;
  QElapsedTimer sinceShown_;  // since the view last took the lines indexed
  BackgroundJob searcher_;
  int searchGeneration_ = 0;  // results of an earlier search are dropped
  MatchList matches_;
  std::size_t placeBeforeFilter_ = 0;

  QLabel* labelTitle_;
  UniformRowsView* memo1_;
  QTableView* listView1_;
  QCheckBox* checkRefresh_;
  QCheckBox* checkFollow_;
  QFileSystemWatcher* watcher_;
  QTimer* timer1_;
  QPushButton* buttonPrint_;
  QPushButton* buttonSave_;
  QPushButton* buttonDefineColumns_;
  QPushButton* buttonClear_;
  QPushButton* buttonVersions_;
  QPushButton* buttonClose_;
  ViewerStatusLine* status_;
  FindBar* barFind_;
  MatchMarkDelegate* marks_;
};

}  // namespace tarvo
