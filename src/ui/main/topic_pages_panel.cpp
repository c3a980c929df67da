#include "ui/main/topic_pages_panel.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStackedLayout>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QTextEdit>
#include <QTreeView>
#include <QHeaderView>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

#include "base/date_text.h"
#include "content/page_columns.h"
#include "content/page_store.h"
#include "content/rtf_writer.h"
#include "store/safe_replace.h"
#include "structure/topic_tree.h"
#include "ui/pages/checklist_page.h"
#include "ui/pages/notes_page.h"
#include "ui/pages/page_document.h"
#include "ui/pages/page_title_dialog.h"
#include "ui/pages/rich_text_adapter.h"
#include "workspace/session.h"

namespace tarvo {

namespace {

QString Text(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Tabs say what a page holds: a checklist with content on pale cyan, a note with content on
// pale rose, an empty page in grey on white.
class PageTabBar : public QTabBar {
 public:
  explicit PageTabBar(QWidget* parent) : QTabBar(parent) {}
  std::vector<TopicPage>* pages = nullptr;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    for (int i = 0; i < count(); ++i) {
      const QRect tab = tabRect(i);
      const TopicPage* page = pages != nullptr && i < static_cast<int>(pages->size()) ? &(*pages)[static_cast<std::size_t>(i)] : nullptr;
      const bool filled = page != nullptr && page->hasFile;
      const QColor background = !filled ? QColor(Qt::white)
                                : page->kind() == PageKind::Checklist ? QColor(0xF8, 0xF8, 0xE0)
                                                                       : QColor(0xE4, 0xE4, 0xFF);
      painter.fillRect(tab.adjusted(1, 1, -1, 0), background);
      painter.setPen(QColor(0xA0, 0xA0, 0xA0));
      painter.drawRect(tab.adjusted(0, 0, -1, -1));
      const int shift = i == currentIndex() ? 2 : 0;
      painter.setPen(filled ? QColor(Qt::black) : QColor(0x80, 0x80, 0x80));
      QFont font = painter.font();
      font.setBold(i == currentIndex());
      painter.setFont(font);
      painter.drawText(tab.translated(shift, shift), Qt::AlignCenter, tabText(i));
    }
  }
  QSize tabSizeHint(int index) const override {
    QSize size = QTabBar::tabSizeHint(index);
    return {size.width() + 12, size.height()};
  }
};

}  // namespace

TTopicPagesPanel::TTopicPagesPanel(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName("panelToDoNew");
  labelTopicName_ = new QLabel(this);
  labelTopicName_->setObjectName("labelTopicName");
  // A name of any length must not widen the window: the label takes the room it is given and
  // the whole name is in its tip.
  labelTopicName_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  QFont bold = labelTopicName_->font();
  bold.setBold(true);
  labelTopicName_->setFont(bold);
  imageLock_ = new QLabel(this);
  imageLock_->setObjectName("imageLock");
  imageLock_->setText("\U0001F512");
  imageLock_->setToolTip("This topic is locked: its pages can be read, not changed");
  imageLock_->hide();
  auto* tabs = new PageTabBar(this);
  tabsData_ = tabs;
  tabsData_->setObjectName("tabsData");
  tabsData_->setAccessibleName("Pages");
  tabsData_->setExpanding(false);
  tabsData_->setFocusPolicy(Qt::NoFocus);
  // The bar is laid out before it has tabs; it keeps the height of one row of them.
  tabsData_->setFixedHeight(tabsData_->fontMetrics().height() + 14);
  labelDateChanged_ = new QLabel(this);
  labelDateChanged_->setObjectName("labelDateChanged");

  checklist_ = new TChecklistPage(this);
  notes_ = new TNotesPage(this);
  pageArea_ = new QWidget(this);
  auto* stack = new QStackedLayout(pageArea_);
  stack->addWidget(new QWidget(pageArea_));
  stack->addWidget(notes_);
  stack->addWidget(checklist_);

  auto* head = new QHBoxLayout;
  head->addWidget(labelTopicName_, 1);
  head->addWidget(imageLock_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(head);
  layout->addWidget(tabsData_);
  layout->addWidget(pageArea_, 1);
  layout->addWidget(labelDateChanged_);

  connect(tabsData_, &QTabBar::currentChanged, this, [this](int index) {
    if (!showing_) tabsDataChange(index);
  });
  connect(checklist_, &TChecklistPage::edited, this, &TTopicPagesPanel::checklistEdited);
  connect(notes_, &TNotesPage::edited, this, &TTopicPagesPanel::pageEdited);
  connect(checklist_, &TChecklistPage::openRequested, this, &TTopicPagesPanel::openTarget);
  connect(notes_, &TNotesPage::openRequested, this, &TTopicPagesPanel::openTarget);
  connect(checklist_, &TChecklistPage::changeTitleRequested, this, &TTopicPagesPanel::changePageTitle);
  connect(notes_, &TNotesPage::changeTitleRequested, this, &TTopicPagesPanel::changePageTitle);
  connect(checklist_, &TChecklistPage::printRequested, this, &TTopicPagesPanel::printPage);
  connect(notes_, &TNotesPage::printRequested, this, &TTopicPagesPanel::printPage);
  connect(checklist_, &TChecklistPage::saveAsRequested, this, &TTopicPagesPanel::savePageAs);
  connect(notes_, &TNotesPage::saveAsRequested, this, &TTopicPagesPanel::savePageAs);
  HighlighterState highlighter;
  highlighter.textColour = session_.screen.highlightText;
  highlighter.backColour = session_.screen.highlightBack;
  notes_->setHighlighter(highlighter);
  connect(notes_, &TNotesPage::highlighterChanged, this, [this] {
    session_.screen.highlightText = notes_->highlighter().textColour;
    session_.screen.highlightBack = notes_->highlighter().backColour;
  });
}

const TopicPage* TTopicPagesPanel::currentPage() const {
  if (pages_ == nullptr || shownTab_ < 0 || shownTab_ >= static_cast<int>(pages_->pages.size())) return nullptr;
  return &pages_->pages[static_cast<std::size_t>(shownTab_)];
}

TopicPage* TTopicPagesPanel::currentPage() {
  return const_cast<TopicPage*>(std::as_const(*this).currentPage());
}

void TTopicPagesPanel::showTopic(TopicNode* node) {
  const TopicRecord* record = node != nullptr ? node->record : nullptr;
  // The same topic again (renamed, an undo, a step of its own ticks): the page on show stays as
  // it is, unsaved edits and all; only its heading follows.
  if (record != nullptr && node == node_ && pages_ != nullptr && pages_->topicId == record->uni) {
    showHeading(*record);
    return;
  }
  saveOpenPage();
  node_ = node;
  pages_ = nullptr;
  shownTab_ = -1;
  if (record != nullptr) {
    ResultOf<TopicPages*> pages = session_.workspace.pagesOf(*record);
    if (pages) {
      pages_ = *pages;
      if (!pages.note().empty()) session_.log.LogMessage(pages.note());
    } else {
      session_.log.LogError(pages.reason(), "the topic's pages were not shown and the file was left as it is");
    }
    locked_ = !record->lock;  // so that the heading sets the editors either way
    showHeading(*record);
  }
  showTabs();
}

void TTopicPagesPanel::showHeading(const TopicRecord& record) {
  labelTopicName_->setText(Text(std::string(record.text)));
  labelTopicName_->setToolTip(labelTopicName_->text());
  if (locked_ == bool{record.lock}) return;
  locked_ = record.lock;
  imageLock_->setVisible(locked_);
  checklist_->setReadOnly(locked_);
  notes_->setReadOnly(locked_);
}

void TTopicPagesPanel::showTabs() {
  showing_ = true;
  while (tabsData_->count() > 0) tabsData_->removeTab(0);
  static_cast<PageTabBar*>(tabsData_)->pages = pages_ != nullptr ? &pages_->pages : nullptr;
  if (pages_ != nullptr) {
    for (const TopicPage& page : pages_->pages) tabsData_->addTab(Text(PageCaption(page)));
  }
  const int count = tabsData_->count();
  const int wanted = pages_ != nullptr && pages_->visibleTab < count ? pages_->visibleTab : 0;
  tabsData_->setCurrentIndex(count > 0 ? wanted : -1);
  tabsData_->setFocusPolicy(count > 0 ? Qt::TabFocus : Qt::NoFocus);
  showing_ = false;
  tabsDataChange(count > 0 ? wanted : -1);
}

void TTopicPagesPanel::tabsDataChange(int index) {
  saveOpenPage();
  shownTab_ = index;
  auto* stack = static_cast<QStackedLayout*>(pageArea_->layout());
  TopicPage* page = currentPage();
  if (page == nullptr) {
    stack->setCurrentIndex(0);
    showDateChanged();
    return;
  }
  if (pages_->visibleTab != index) {
    pages_->visibleTab = index;
    pages_->changed = true;
  }
  // On show first, so a new checklist's columns are laid out in the room the view really has.
  stack->setCurrentIndex(page->kind() == PageKind::Checklist ? 2 : page->kind() == PageKind::Notes ? 1 : 0);
  loadPage(*page);
  showDateChanged();
}

void TTopicPagesPanel::loadPage(TopicPage& page) {
  const PageFolders& folders = session_.workspace.pageFolders();
  if (page.kind() == PageKind::Checklist) {
    ResultOf<ChecklistItems> items = LoadChecklistPage(folders, page);
    if (!items.note().empty()) session_.log.LogMessage(items.note());
    checklist_->showItems(items ? std::move(*items) : ChecklistItems{}, session_.preferences.dateFormat);
    QHeaderView* header = checklist_->view().header();
    const bool firstLayout = page.info.columns.empty();
    std::vector<ShownColumn> columns = ApplyColumns(page.info);
    if (firstLayout) {
      // A new page's columns share the room the view has: the date needs little.
      constexpr int kFinishedWidth = 130;
      page.info.columns[0].width = std::max(100, checklist_->view().viewport()->width() - kFinishedWidth - 4);
      page.info.columns[1].width = kFinishedWidth;
      columns = ApplyColumns(page.info);
    }
    const char* builtIn[] = {"Item", "Finished"};
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const int column = static_cast<int>(i);
      header->resizeSection(column, columns[i].width);
      checklist_->model().setHeading(column, columns[i].heading.empty() ? builtIn[i] : Text(columns[i].heading));
    }
  } else if (page.kind() == PageKind::Notes) {
    notes_->beginLoading();
    const ResultOf<RichDocument> note = LoadNotesPage(folders, page);
    if (!note) {
      session_.log.LogError(note.reason(), "the note shows empty");
    } else {
      ToTextDocument(*note, *notes_->editor().document());
      if (!note.note().empty()) session_.log.LogMessage(note.note());
    }
    notes_->endLoading();
  }
  page.loaded = true;
}

void TTopicPagesPanel::pageEdited() {
  if (TopicPage* page = currentPage()) page->changed = true;
}

void TTopicPagesPanel::checklistEdited() {
  TopicPage* page = currentPage();
  if (page == nullptr) return;
  page->changed = true;
  if (const std::optional<ChecklistProgress> progress = ProgressOf(checklist_->items())) {
    session_.workspace.applyChecklistProgress(node_, *progress);
  }
}

void TTopicPagesPanel::pagesReplaced(const std::string& topicId) {
  if (pages_ == nullptr || pages_->topicId != topicId) return;
  node_ = nullptr;
  pages_ = nullptr;
  shownTab_ = -1;
  showTabs();
}

void TTopicPagesPanel::saveOpenPage() {
  TopicPage* page = currentPage();
  if (page == nullptr || node_ == nullptr) return;
  const PageFolders& folders = session_.workspace.pageFolders();
  const std::string now = StampText();
  if (page->changed) {
    Result saved;
    if (page->kind() == PageKind::Checklist) {
      saved = SaveChecklistPage(folders, *pages_, *page, checklist_->items(), now);
    } else if (page->kind() == PageKind::Notes) {
      const QTextDocument& document = *notes_->editor().document();
      const std::string rtf = document.isEmpty() ? std::string() : WriteRtf(FromTextDocument(document));
      saved = SaveNotesPage(folders, *pages_, *page, rtf, now);
    }
    session_.log.Report(saved, "*** The page \"" + PageCaption(*page) + "\" cannot be saved");
    if (node_->record != nullptr) session_.workspace.notePageSaved(*node_->record);
    if (node_->record != nullptr) emit pageSaved(std::string(node_->record->uni), *page);
    tabsData_->update();
  }
  // After the content: a page saved for the first time has only now a file to keep a layout for.
  if (page->kind() == PageKind::Checklist) {
    QHeaderView* header = checklist_->view().header();
    TrackColumnWidths(*page, {header->sectionSize(0), header->sectionSize(1)});
  }
  session_.log.Report(SavePageFiles(folders, *pages_, *page, now), "*** The topic's page list cannot be saved");
  session_.workspace.setPageSummary(node_, SummaryOf(*pages_));
  showDateChanged();
}

void TTopicPagesPanel::showDateChanged() {
  const TopicPage* page = currentPage();
  if (page == nullptr || page->info.amended.empty()) {
    labelDateChanged_->clear();
    return;
  }
  labelDateChanged_->setText("Page last changed: " +
                             Text(DisplayStamp(page->info.amended, session_.preferences.dateFormat)).left(16));
}

bool TTopicPagesPanel::acceptsDrops() const {
  const TopicPage* page = currentPage();
  return isVisible() && page != nullptr && page->kind() == PageKind::Checklist;
}

void TTopicPagesPanel::dropPaths(const QStringList& paths) {
  if (acceptsDrops()) checklist_->addDroppedPaths(paths);
}

void TTopicPagesPanel::changePageTitle() {
  TopicPage* page = currentPage();
  if (page == nullptr || (node_ != nullptr && node_->record != nullptr && node_->record->lock)) return;
  TformTitle dialog(Text(page->title), this);
  if (dialog.exec() != QDialog::Accepted || dialog.title().isEmpty()) return;
  page->title = dialog.title().toStdString();
  page->info.changed = true;
  pages_->changed = true;
  tabsData_->setTabText(shownTab_, dialog.title());
  saveOpenPage();
}

std::unique_ptr<QTextDocument> TTopicPagesPanel::pageDocument() {
  TopicPage* page = currentPage();
  if (page == nullptr || node_ == nullptr || node_->record == nullptr) return nullptr;
  const QString topic = Text(std::string(node_->record->text));
  const QFont normal = notes_->editor().font();
  if (page->kind() == PageKind::Notes) return MakePageDocument(topic, Text(PageCaption(*page)), notes_->editor().document(), {}, normal);
  return MakePageDocument(topic, Text(PageCaption(*page)), nullptr, ChecklistPrintLines(checklist_->items()), normal);
}

void TTopicPagesPanel::printPage() {
  const std::unique_ptr<QTextDocument> document = pageDocument();
  if (document == nullptr) return;
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) document->print(&printer);
}

void TTopicPagesPanel::savePageAs() {
  const QString chosen = QFileDialog::getSaveFileName(this, "Save as a Word document", {}, "MS Word file (*.rtf)");
  if (!chosen.isEmpty()) (void)saveDocumentAs(chosen);  // a failure is in the log
}

Result TTopicPagesPanel::saveDocumentAs(const QString& fileName) {
  const std::unique_ptr<QTextDocument> document = pageDocument();
  if (document == nullptr) return {};
  const std::string path = WithRtfExtension(fileName).toStdString();
  Result saved = WriteFileSafely(path, WriteRtf(FromTextDocument(*document)));
  session_.log.Report(saved, "*** The page cannot be saved as " + path);
  return saved;
}

void TTopicPagesPanel::openTarget(const QString& target) {
  const QUrl url = target.startsWith('/') ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
  if (!QDesktopServices::openUrl(url)) session_.log.LogMessage("Could not open " + target.toStdString());
}

}  // namespace tarvo
