// The viewer window's refresh: a log that grows is read from where it ended and only its new
// lines are indexed (and searched), so following a gigabyte log costs what was written, not
// the gigabyte. A file cut short or replaced by another is read again from its start.

#include <QCheckBox>
#include <QFileSystemWatcher>
#include "ui/viewer/uniform_rows_view.h"
#include <QScrollBar>

#include "ui/viewer/find_bar.h"
#include "ui/viewer/text_display_window.h"
#include "ui/viewer/text_lines_model.h"
#include "ui/viewer/viewer_status_line.h"

namespace tarvo {

bool TformTextDisplay::followEnd() const { return checkFollow_->isChecked(); }

void TformTextDisplay::watchShownFile() {
  // Watching what is shown only: an older copy never changes under the view.
  if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
  if (currentPath_ == ownPath_ && fileSystem().exists(currentPath_)) {
    watcher_->addPath(QString::fromStdString(currentPath_));
  }
}

void TformTextDisplay::refreshFromDisk() {
  if (indexing_) return;  // the reading under way ends with another look
  if (!checkRefresh_->isChecked() || currentPath_ != ownPath_) return;
  if (shown_ == Layout::Text) {
    switch (document_.changeOnDisk()) {
      case TextDocument::Change::None:
        return;
      case TextDocument::Change::Grown:
        appendFromDisk();
        return;
      case TextDocument::Change::Rewritten:
        break;
    }
  } else if (!NeedsReload(true, true, loadedStamp_, currentPath_)) {
    return;
  }
  reloadKeepingPlace();
}

void TformTextDisplay::appendFromDisk() {
  QScrollBar* scroll = memo1_->verticalScrollBar();
  const bool atEnd = scroll->value() == scroll->maximum();
  stopSearch();  // mapping the file again moves the bytes a search reads
  const std::size_t kept = document_.readAppended();
  loadedStamp_ = fileSystem().stamp(currentPath_);
  if (loadedStamp_) format_.fileAge = loadedStamp_->modified;
  textModel_->linesAdded(kept);
  fitRowsToLongestLine();
  // Only the new lines are searched; what was found before them stands.
  const auto findIn = [this, kept](const TextQuery& query, MatchList& into) {
    while (!into.empty() && into.back() >= kept) into.pop_back();
    ResultOf<TextMatcher> matcher = TextMatcher::For(query);
    if (!matcher) return;
    const MatchList more = FindLines(document_, *matcher, kept, document_.lineCount());
    into.insert(into.end(), more.begin(), more.end());
  };
  if (!matches_.empty() || !barFind_->findQuery().pattern.empty()) findIn(barFind_->findQuery(), matches_);
  if (textModel_->filtered() && barFind_->filterQuery()) {
    MatchList shown = textModel_->filterLines();
    findIn(*barFind_->filterQuery(), shown);
    textModel_->extendFilter(kept, std::move(shown));
  }
  showLineCount();
  watchShownFile();
  if (atEnd || followEnd()) memo1_->scrollToBottom();
}

}  // namespace tarvo
