#include "ui/main/search_panel.h"

#include <QAbstractTextDocumentLayout>
#include <algorithm>
#include <tuple>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QTreeView>
#include <QVBoxLayout>

#include "structure/topic_record.h"
#include "ui/main/topic_pages_panel.h"
#include "ui/pages/checklist_page.h"
#include "ui/pages/notes_page.h"
#include "workspace/workspace.h"

namespace tarvo {

namespace {

constexpr int kHtmlRole = Qt::UserRole + 1;

// Draws a result's two lines from their markup: the place and the snippet with its match bold.
class ResultDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    plain.text.clear();
    plain.widget->style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
    QTextDocument document;
    document.setDefaultFont(option.font);
    document.setHtml(index.data(kHtmlRole).toString());
    document.setTextWidth(option.rect.width());
    painter->save();
    painter->translate(option.rect.topLeft());
    document.drawContents(painter);
    painter->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QTextDocument document;
    document.setDefaultFont(option.font);
    document.setHtml(index.data(kHtmlRole).toString());
    return {static_cast<int>(document.idealWidth()), static_cast<int>(document.size().height())};
  }
};

QString WhereFound(SearchField field) {
  switch (field) {
    case SearchField::Title: return "title";
    case SearchField::Notes: return "note";
    case SearchField::Checklist: return "checklist";
  }
  return {};
}

QString ResultMarkup(const QString& place, const SearchHit& hit) {
  const QString before = hit.snippet.left(hit.snippetStart).toHtmlEscaped();
  const QString match = hit.snippet.mid(hit.snippetStart, hit.snippetLength).toHtmlEscaped();
  const QString after = hit.snippet.mid(hit.snippetStart + hit.snippetLength).toHtmlEscaped();
  return QString("%1 <i>(%2)</i><br><small>%3<b style=\"background-color:#fff2a8\">%4</b>%5</small>")
      .arg(place.toHtmlEscaped(), WhereFound(hit.field), before, match, after);
}

}  // namespace

TSearchPanel::TSearchPanel(Workspace& workspace, QWidget* parent)
    : QFrame(parent), workspace_(workspace), service_(std::make_unique<SearchService>(workspace.tree())) {
  setObjectName("panelSearch");
  setFrameShape(QFrame::StyledPanel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  box_ = new QLineEdit(this);
  box_->setObjectName("editSearch");
  box_->setPlaceholderText("Find topics, notes and checklists");
  box_->setAccessibleName("Find");
  box_->setClearButtonEnabled(true);
  box_->installEventFilter(this);
  status_ = new QLabel(this);
  status_->setObjectName("labelSearchStatus");
  list_ = new QListWidget(this);
  list_->setObjectName("listSearchResults");
  list_->setAccessibleName("Search results");
  list_->setItemDelegate(new ResultDelegate(list_));
  list_->setUniformItemSizes(true);
  list_->installEventFilter(this);
  layout->addWidget(box_);
  layout->addWidget(status_);
  layout->addWidget(list_);
  hide();

  find_ = new QAction("&Find...", this);
  find_->setObjectName("MVFind");
  find_->setShortcut(QKeySequence::Find);
  // Only where it is added (the tree's area): the checklist keeps its own Ctrl+F.
  find_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(find_, &QAction::triggered, this, &TSearchPanel::openBox);
  next_ = new QAction("Find &next", this);
  next_->setObjectName("MVFindNext");
  next_->setShortcut(QKeySequence(Qt::Key_F3));
  connect(next_, &QAction::triggered, this, [this] { step(1); });
  previous_ = new QAction("Find &previous", this);
  previous_->setObjectName("MVFindPrevious");
  previous_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
  connect(previous_, &QAction::triggered, this, [this] { step(-1); });

  connect(box_, &QLineEdit::textChanged, this, &TSearchPanel::typed);
  connect(service_.get(), &SearchService::resultsReady, this, &TSearchPanel::showResults);
  // A query asked while the pages are still being read is asked again as they come in, at
  // most a few times a second, and once more when the reading ends.
  refreshTimer_ = new QTimer(this);
  refreshTimer_->setSingleShot(true);
  refreshTimer_->setInterval(kRefreshMilliseconds);
  connect(refreshTimer_, &QTimer::timeout, this, [this] {
    if (!box_->text().trimmed().isEmpty()) service_->search(box_->text());
  });
  connect(service_.get(), &SearchService::buildProgressed, this, [this] {
    if (!service_->building()) {
      refreshTimer_->stop();
      if (!box_->text().trimmed().isEmpty()) service_->search(box_->text());
    } else if (!refreshTimer_->isActive()) {
      refreshTimer_->start();
    }
  });
  connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { choose(list_->row(item)); });
  connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { choose(list_->row(item)); });
  workspace_.addTreeObserver(service_.get());
  pagesListener_ = workspace_.addPagesReplacedListener([this](const std::string&, const TopicRecord* record) { service_->pagesReplaced(record); });
}

TSearchPanel::~TSearchPanel() {
  workspace_.removePagesReplacedListener(pagesListener_);
  workspace_.removeTreeObserver(service_.get());
}

void TSearchPanel::startIndex() { service_->start(workspace_.pageFolders()); }

void TSearchPanel::openBox() {
  if (!isVisible()) returnFocus_ = QApplication::focusWidget();
  show();
  box_->setFocus();
  box_->selectAll();
}

void TSearchPanel::closeBox() {
  hide();
  QPointer<QWidget> back = returnFocus_;
  if (back != nullptr && back->isVisible()) back->setFocus();
  returnFocus_ = nullptr;
}

void TSearchPanel::typed(const QString& text) {
  if (text.trimmed().isEmpty()) {
    service_->search(QString());  // cancels a search still running
    showResults(0, SearchResults{});
    return;
  }
  status_->setText("Searching...");
  service_->search(text);
}

namespace {

// The rows from the section down to the node: sorting by them gives the tree's order.
std::vector<std::size_t> TreePosition(const TopicNode* node) {
  std::vector<std::size_t> rows;
  for (; node != nullptr; node = node->parent()) rows.push_back(node->row());
  std::reverse(rows.begin(), rows.end());
  return rows;
}

}  // namespace

void TSearchPanel::showResults(int, const SearchResults& results) {
  list_->clear();
  hits_.clear();
  // The index lists an edited text after the others; the user reads the results in the order
  // of the tree, each topic's title before its pages.
  struct Placed {
    std::vector<std::size_t> position;
    const SearchHit* hit;
  };
  std::vector<Placed> placed;
  for (const SearchHit& hit : results.hits) {
    const TopicRecord* record = workspace_.master().recordOf(hit.topicId);
    if (record == nullptr || record->treeNode == nullptr) continue;  // removed since the search ran
    placed.push_back(Placed{TreePosition(record->treeNode), &hit});
  }
  std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
    return std::tie(a.position, a.hit->field, a.hit->pageId) < std::tie(b.position, b.hit->field, b.hit->pageId);
  });
  for (const Placed& entry : placed) {
    const SearchHit& hit = *entry.hit;
    const QString place = placeOf(hit.topicId);
    auto* item = new QListWidgetItem(list_);
    item->setData(kHtmlRole, ResultMarkup(place, hit));
    item->setData(Qt::AccessibleTextRole, place + " (" + WhereFound(hit.field) + "): " + hit.snippet);
    hits_.push_back(hit);
  }
  if (!hits_.empty()) list_->setCurrentRow(0);
  QString status;
  if (box_->text().trimmed().isEmpty()) {
    status.clear();
  } else if (hits_.empty()) {
    status = "No topic matches";
  } else {
    status = QString("%1 %2").arg(hits_.size()).arg(hits_.size() == 1 ? "match" : "matches");
    if (results.truncated) status += " (the first ones)";
  }
  if (service_->building()) status += status.isEmpty() ? "Still reading the pages..." : "; still reading the pages...";
  status_->setText(status);
}

QString TSearchPanel::placeOf(const std::string& topicId) const {
  const TopicRecord* record = workspace_.master().recordOf(topicId);
  if (record == nullptr || record->treeNode == nullptr) return {};
  QStringList names;
  for (const TopicNode* node = record->treeNode; node != nullptr; node = node->parent()) {
    if (node->record != nullptr) names.prepend(QString::fromStdString(std::string(node->record->text)));
  }
  return names.join(QString::fromUtf8(" \u203a "));
}

void TSearchPanel::choose(int row) {
  if (row < 0 || row >= static_cast<int>(hits_.size())) return;
  list_->setCurrentRow(row);
  const SearchHit hit = hits_[static_cast<std::size_t>(row)];
  hide();
  returnFocus_ = nullptr;
  emit hitChosen(hit);
}

void TSearchPanel::step(int by) {
  if (hits_.empty()) {
    openBox();
    return;
  }
  const int count = static_cast<int>(hits_.size());
  const int current = list_->currentRow();
  // The first F3 after a fresh list shows its first result.
  const int row = current < 0 ? 0 : ((current + by) % count + count) % count;
  choose(row);
}

bool TSearchPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  switch (key->key()) {
    case Qt::Key_Escape:
      closeBox();
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      choose(list_->currentRow() < 0 ? 0 : list_->currentRow());
      return true;
    case Qt::Key_Down:
    case Qt::Key_Up:
      if (watched == box_ && list_->count() > 0) {
        const int by = key->key() == Qt::Key_Down ? 1 : -1;
        list_->setCurrentRow(std::clamp(list_->currentRow() + by, 0, list_->count() - 1));
        return true;
      }
      break;
    default:
      break;
  }
  return QFrame::eventFilter(watched, event);
}

void MarkSearchHit(TTopicPagesPanel& pages, Workspace& workspace, const SearchHit& hit) {
  if (hit.field == SearchField::Title) return;
  const TopicRecord* record = workspace.master().recordOf(hit.topicId);
  if (record == nullptr) return;
  ResultOf<TopicPages*> shown = workspace.pagesOf(*record);
  auto* tabs = pages.findChild<QTabBar*>("tabsData");
  if (!shown || tabs == nullptr) return;
  const std::vector<TopicPage>& list = (*shown)->pages;
  for (std::size_t tab = 0; tab < list.size(); ++tab) {
    if (list[tab].id == hit.pageId) tabs->setCurrentIndex(static_cast<int>(tab));
  }
  if (hit.field == SearchField::Notes) {
    QTextEdit& editor = pages.notes().editor();
    QTextCursor cursor(editor.document());
    cursor.setPosition(std::min(hit.offset, editor.document()->characterCount() - 1));
    cursor.setPosition(std::min(hit.offset + hit.length, editor.document()->characterCount() - 1),
                       QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
    editor.ensureCursorVisible();
  } else {
    QTreeView& view = pages.checklist().view();
    const QModelIndex item = view.model()->index(hit.item, 0);
    if (item.isValid()) {
      view.setCurrentIndex(item);
      view.scrollTo(item);
    }
  }
}

}  // namespace tarvo
