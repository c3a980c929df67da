// The viewer window's find and filter: the search runs on its own thread over the document
// (text layout) or the table's rows, and its list of matching lines or rows comes back to the
// window, which moves to a match or shows only the matches.

#include <QAbstractItemView>
#include "ui/viewer/uniform_rows_view.h"
#include <QLocale>
#include <QScrollBar>
#include <QTableView>

#include "ui/viewer/find_bar.h"
#include "ui/viewer/match_mark_delegate.h"
#include "ui/viewer/table_rows_model.h"
#include "ui/viewer/text_display_window.h"
#include "ui/viewer/text_lines_model.h"
#include "ui/viewer/viewer_status_line.h"

namespace tarvo {
namespace {

QString Count(std::size_t count, const char* one, const char* many) {
  return QLocale().toString(static_cast<qulonglong>(count)) + " " + (count == 1 ? one : many);
}

}  // namespace

bool TformTextDisplay::searchable() const { return shown_ == Layout::Text || shown_ == Layout::Table; }

QAbstractItemView* TformTextDisplay::shownView() const {
  return shown_ == Layout::Text ? static_cast<QAbstractItemView*>(memo1_) : listView1_;
}

void TformTextDisplay::openFind() {
  if (!searchable()) return;
  barFind_->openForFind();
}

void TformTextDisplay::runSearch(const TextQuery& query, SearchPurpose purpose) {
  ResultOf<TextMatcher> matcher = TextMatcher::For(query);
  if (!matcher) {
    barFind_->showResult("*** " + QString::fromStdString(matcher.reason()));
    return;
  }
  if (indexing_) {
    // The index still grows; the search starts when it is complete (renewSearches).
    barFind_->showResult("Searching when the whole file is read ...");
    return;
  }
  const int generation = ++searchGeneration_;
  const bool table = shown_ == Layout::Table;
  const std::size_t columns = format_.columnHeadings.size();
  const std::size_t lines = document_.lineCount();
  searcher_.start([this, generation, purpose, table, columns, lines,
                   found = std::move(*matcher)](const std::atomic<bool>& cancelled) {
    auto matches = std::make_shared<MatchList>(
        table ? FindRows(rows_, columns, found, &cancelled) : FindLines(document_, found, 0, lines, &cancelled));
    if (cancelled.load()) return;
    QMetaObject::invokeMethod(this, [this, generation, purpose, matches] {
      if (generation != searchGeneration_) return;
      if (purpose == SearchPurpose::Find) {
        showFound(std::move(*matches));
      } else {
        showFiltered(std::move(*matches));
      }
    }, Qt::QueuedConnection);
  });
}

void TformTextDisplay::stopSearch() {
  searcher_.cancel();
  ++searchGeneration_;
}

void TformTextDisplay::startFind() {
  if (!searchable()) return;
  const TextQuery query = barFind_->findQuery();
  ResultOf<TextMatcher> marks = TextMatcher::For(query);
  marks_->setMatcher(marks ? std::optional<TextMatcher>(std::move(*marks)) : std::nullopt);
  shownView()->viewport()->update();
  if (query.pattern.empty()) {
    matches_.clear();
    barFind_->showResult({});
    return;
  }
  runSearch(query, SearchPurpose::Find);
}

void TformTextDisplay::showFound(MatchList matches) {
  matches_ = std::move(matches);
  barFind_->showResult(shown_ == Layout::Table ? Count(matches_.size(), "matching row", "matching rows")
                                               : Count(matches_.size(), "matching line", "matching lines"));
  emit searchFinished();
  if (!matches_.empty()) findStep(true, true);
}

std::uint32_t TformTextDisplay::currentPlace() const {
  QAbstractItemView* view = shownView();
  QModelIndex current = view->currentIndex();
  if (!current.isValid()) current = view->indexAt(QPoint(1, 1));
  const int row = current.isValid() ? current.row() : 0;
  if (view->model()->rowCount({}) == 0) return 0;
  return static_cast<std::uint32_t>(shown_ == Layout::Text ? textModel_->lineOf(row) : tableModel_->positionOf(row));
}

void TformTextDisplay::findStep(bool forward, bool fromHere) {
  if (matches_.empty()) return;
  const std::uint32_t here = currentPlace();
  std::optional<std::uint32_t> target;
  if (fromHere && std::binary_search(matches_.begin(), matches_.end(), here)) {
    target = here;
  } else {
    target = NextMatch(matches_, here, forward);
  }
  if (target) goToPlace(*target);
}

void TformTextDisplay::goToPlace(std::size_t place) {
  QAbstractItemView* view = shownView();
  const int row = shown_ == Layout::Text ? textModel_->rowOf(place) : tableModel_->rowOf(place);
  if (view->model()->rowCount({}) == 0) return;
  const QModelIndex index = view->model()->index(row, 0);
  view->setCurrentIndex(index);
  view->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void TformTextDisplay::startFilter() {
  if (!searchable()) return;
  const std::optional<TextQuery> query = barFind_->filterQuery();
  const bool wasFiltered = shown_ == Layout::Text ? textModel_->filtered() : tableModel_->filtered();
  if (!query) {
    if (!wasFiltered) return;
    // Back to the whole file, at the line the user was on in the filtered view, or else where
    // the file was shown before filtering.
    QAbstractItemView* view = shownView();
    const bool chose = view->currentIndex().isValid() && view->model()->rowCount({}) > 0;
    const std::size_t place = chose ? currentPlace() : placeBeforeFilter_;
    stopSearch();
    if (shown_ == Layout::Text) textModel_->setFilter(std::nullopt);
    else tableModel_->setFilter(std::nullopt);
    status_->showSearch({});
    goToPlace(place);
    return;
  }
  if (!wasFiltered) placeBeforeFilter_ = currentPlace();
  runSearch(*query, SearchPurpose::Filter);
}

void TformTextDisplay::showFiltered(MatchList matches) {
  const std::size_t whole = shown_ == Layout::Text ? document_.lineCount() : rows_.rowCount();
  const std::size_t shown = matches.size();
  if (shown_ == Layout::Text) textModel_->setFilter(std::move(matches));
  else tableModel_->setFilter(std::move(matches));
  status_->showSearch(QString("%1 of %2 shown").arg(QLocale().toString(static_cast<qulonglong>(shown)),
                                                  shown_ == Layout::Table ? Count(whole, "row", "rows")
                                                                          : Count(whole, "line", "lines")));
  emit searchFinished();
}

void TformTextDisplay::renewSearches() {
  // What a search found refers to lines or rows that may have changed: look again.
  stopSearch();
  matches_.clear();
  if (!searchable()) return;
  if (!barFind_->findQuery().pattern.empty()) startFind();
  if (barFind_->filterQuery()) runSearch(*barFind_->filterQuery(), SearchPurpose::Filter);
}

}  // namespace tarvo
