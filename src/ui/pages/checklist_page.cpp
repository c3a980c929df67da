#include "ui/pages/checklist_page.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "base/date_text.h"
#include "ui/pages/page_action.h"
#include "ui/pages/checklist_delegate.h"

namespace tarvo {

namespace {

QString Text(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TChecklistPage::TChecklistPage(QWidget* parent)
    : QWidget(parent), stampNow([] { return StampText(); }), model_(new ChecklistModel(this)) {
  setObjectName("pageChecklist");
  listviewCheck_ = new QTreeView(this);
  listviewCheck_->setObjectName("listviewCheck");
  listviewCheck_->setAccessibleName("Checklist");
  listviewCheck_->setModel(model_);
  listviewCheck_->setItemDelegate(new ChecklistDelegate(listviewCheck_));
  listviewCheck_->setRootIsDecorated(false);
  listviewCheck_->setUniformRowHeights(true);
  listviewCheck_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  listviewCheck_->setSelectionBehavior(QAbstractItemView::SelectRows);
  listviewCheck_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  listviewCheck_->setContextMenuPolicy(Qt::CustomContextMenu);
  listviewCheck_->header()->setStretchLastSection(false);
  listviewCheck_->header()->setMinimumSectionSize(0);
  listviewCheck_->viewport()->installEventFilter(this);
  listviewCheck_->installEventFilter(this);

  editCheckList_ = new QLineEdit(this);
  editCheckList_->setObjectName("editCheckList");
  editCheckList_->setAccessibleName("Item text");
  editCheckList_->setPlaceholderText("Type an item and press Enter");
  buttonChecklistAdd_ = new QPushButton("Add", this);
  buttonChecklistAdd_->setObjectName("buttonChecklistAdd");

  auto* entry = new QHBoxLayout;
  entry->addWidget(editCheckList_, 1);
  entry->addWidget(buttonChecklistAdd_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(listviewCheck_, 1);
  layout->addLayout(entry);

  connect(model_, &ChecklistModel::edited, this, &TChecklistPage::edited);
  connect(editCheckList_, &QLineEdit::textEdited, this, &TChecklistPage::editCheckListChange);
  connect(editCheckList_, &QLineEdit::returnPressed, this, &TChecklistPage::buttonChecklistAddClick);
  connect(buttonChecklistAdd_, &QPushButton::clicked, this, &TChecklistPage::buttonChecklistAddClick);
  connect(listviewCheck_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TChecklistPage::selectionChanged);
  connect(listviewCheck_, &QWidget::customContextMenuRequested, this, &TChecklistPage::listviewCheckContextPopup);
  buildPopup();
  enterAddMode();
}

void TChecklistPage::buildPopup() {
  popCheckList_ = new QMenu(this);
  popCheckList_->setObjectName("popCheckList");
  const auto item = [this](QAction* action) { popCheckList_->addAction(action); };
  item(AddPageAction(this, "CLAdd", "Add new item", Qt::Key_Insert, &TChecklistPage::CLAdd));
  item(AddPageAction(this, "CLChange", "Change item", Qt::CTRL | Qt::Key_E, &TChecklistPage::CLChange));
  item(AddPageAction(this, "CLRemove", "Remove selected item(s)", {}, &TChecklistPage::CLRemove));
  popCheckList_->addSeparator();
  item(AddPageAction(this, "CLUp", "Move up", Qt::CTRL | Qt::Key_U, &TChecklistPage::CLUp));
  item(AddPageAction(this, "CLDown", "Move down", Qt::CTRL | Qt::Key_D, &TChecklistPage::CLDown));
  popCheckList_->addSeparator();
  item(AddPageAction(this, "CLRemoveAll", "Remove all items", {}, &TChecklistPage::CLRemoveAll));
  item(AddPageAction(this, "CLRemoveAllTicks", "Remove all ticks", {}, &TChecklistPage::CLRemoveAllTicks));
  item(AddPageAction(this, "CLRemoveAllDates", "Remove all dates", {}, &TChecklistPage::CLRemoveAllDates));
  popCheckList_->addSeparator();
  item(AddPageAction(this, "CLChangeTitle", "Change page title", Qt::CTRL | Qt::Key_T, &TChecklistPage::changeTitleRequested));
  item(AddPageAction(this, "optCheckLink", "Open link", Qt::CTRL | Qt::Key_L, &TChecklistPage::optCheckLink));
  item(AddPageAction(this, "optCheckFolder", "Open containing folder", Qt::CTRL | Qt::Key_F, &TChecklistPage::optCheckFolder));
  popCheckList_->addSeparator();
  item(AddPageAction(this, "optCheckSelectAll", "Select all", Qt::CTRL | Qt::Key_A, &TChecklistPage::optCheckSelectAll));
  item(AddPageAction(this, "optCheckCopy", "Copy", Qt::CTRL | Qt::Key_C, &TChecklistPage::optCheckCopy));
  item(AddPageAction(this, "optCheckPaste", "Paste", Qt::CTRL | Qt::Key_V, &TChecklistPage::optCheckPaste));
  popCheckList_->addSeparator();
  item(AddPageAction(this, "CLPrint", "Print", Qt::CTRL | Qt::Key_P, &TChecklistPage::printRequested));
  item(AddPageAction(this, "CLSave", "Save as a Word document", Qt::CTRL | Qt::Key_O, &TChecklistPage::saveAsRequested));
  connect(popCheckList_, &QMenu::aboutToHide, this, [this] { QMetaObject::invokeMethod(this, &TChecklistPage::restoreActions, Qt::QueuedConnection); });
}

void TChecklistPage::showItems(ChecklistItems items, int dateOrder) {
  quiet_ = true;
  model_->setDateOrder(dateOrder);
  model_->setItems(std::move(items));
  enterAddMode();
  quiet_ = false;
}

void TChecklistPage::setReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  editCheckList_->setReadOnly(readOnly);
  enterAddMode();
  restoreActions();
}

// The keys work whatever the popup last enabled; each command checks its own case.
void TChecklistPage::restoreActions() {
  for (QAction* action : actions()) action->setEnabled(true);
  for (const char* name : {"CLAdd", "CLChange", "CLRemove", "CLUp", "CLDown", "CLRemoveAll", "CLRemoveAllTicks",
                           "CLRemoveAllDates", "CLChangeTitle", "optCheckPaste"}) {
    findChild<QAction*>(name)->setEnabled(!readOnly_);
  }
}

void TChecklistPage::enterAddMode() {
  changeMode_ = false;
  editCheckList_->clear();
  buttonChecklistAdd_->setText("Add");
  buttonChecklistAdd_->setEnabled(false);
}

void TChecklistPage::CLAdd() {
  if (readOnly_) return;
  quiet_ = true;
  listviewCheck_->clearSelection();
  quiet_ = false;
  enterAddMode();
  editCheckList_->setFocus();
}

void TChecklistPage::CLChange() {
  const int row = currentRow();
  if (readOnly_ || row < 0 || selectedRows().size() > 1) {
    enterAddMode();
    return;
  }
  changeMode_ = true;
  buttonChecklistAdd_->setText("Change");
  buttonChecklistAdd_->setEnabled(true);
  editCheckList_->setText(Text(model_->item(row).text));
}

void TChecklistPage::buttonChecklistAddClick() {
  if (readOnly_) return;
  const QString text = editCheckList_->text();
  if (changeMode_) {
    const int row = currentRow();
    if (row >= 0 && Text(model_->item(row).text) != text) model_->setText(row, text);
    enterAddMode();
    return;
  }
  if (text.isEmpty()) {
    listviewCheck_->setFocus();
    return;
  }
  model_->append({MakeChecklistItem(text.toStdString())});
  editCheckList_->clear();
  buttonChecklistAdd_->setEnabled(false);
}

void TChecklistPage::editCheckListChange(const QString& text) {
  if (!changeMode_) {
    buttonChecklistAdd_->setEnabled(!text.isEmpty());
    return;
  }
  const int row = currentRow();
  if (row >= 0 && !readOnly_) model_->setText(row, text);
}

void TChecklistPage::selectionChanged() {
  if (quiet_) return;
  CLChange();
}

void TChecklistPage::CLRemove() {
  if (readOnly_) return;
  model_->remove(selectedRows());
  enterAddMode();
}

void TChecklistPage::moveSelected(int by) {
  const std::vector<int> rows = selectedRows();
  if (readOnly_ || rows.size() != 1) return;
  const int to = rows.front() + by;
  if (to < 0 || to >= model_->rowCount()) return;
  model_->move(rows.front(), by);
  quiet_ = true;
  listviewCheck_->setCurrentIndex(model_->index(to, 0));
  quiet_ = false;
}

void TChecklistPage::openLink(int row) {
  if (row < 0 || row >= model_->rowCount() || !model_->item(row).link.found) return;
  emit openRequested(Text(LinkTargetToOpen(model_->item(row).link)));
}

void TChecklistPage::optCheckLink() { openLink(currentRow()); }

void TChecklistPage::optCheckFolder() {
  const int row = currentRow();
  if (row < 0 || !model_->item(row).link.isFile) return;
  emit openRequested(Text(ContainingFolder(model_->item(row).link)));
}

void TChecklistPage::optCheckSelectAll() {
  quiet_ = true;
  listviewCheck_->selectAll();
  quiet_ = false;
}

void TChecklistPage::optCheckCopy() {
  const std::vector<int> rows = selectedRows();
  if (rows.empty()) return;
  QApplication::clipboard()->setText(Text(LinesOfItems(model_->items(), rows)));
}

void TChecklistPage::optCheckPaste() {
  if (readOnly_) return;
  const QString text = QApplication::clipboard()->text();
  if (text.isEmpty()) return;
  model_->append(ItemsFromLines(text.toStdString()));
  selectLast();
}

void TChecklistPage::addDroppedPaths(const QStringList& paths) {
  if (readOnly_ || paths.isEmpty()) return;
  ChecklistItems dropped;
  for (const QString& path : paths) {
    dropped.push_back(DroppedPathItem(path.toStdString(), QFileInfo(path).isDir()));
  }
  model_->append(dropped);
  selectLast();
}

void TChecklistPage::selectLast() {
  quiet_ = true;
  listviewCheck_->setCurrentIndex(model_->index(model_->rowCount() - 1, 0));
  quiet_ = false;
  enterAddMode();
}

int TChecklistPage::currentRow() const {
  const std::vector<int> rows = selectedRows();
  if (rows.empty()) return -1;
  const QModelIndex current = listviewCheck_->currentIndex();
  if (current.isValid() && std::find(rows.begin(), rows.end(), current.row()) != rows.end()) return current.row();
  return rows.front();
}

std::vector<int> TChecklistPage::selectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : listviewCheck_->selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void TChecklistPage::listviewCheckContextPopup(const QPoint& at) {
  const QModelIndex under = listviewCheck_->indexAt(at);
  const bool hasItems = model_->rowCount() > 0;
  const bool editable = !readOnly_;
  const auto enable = [this](const char* name, bool enabled) { findChild<QAction*>(name)->setEnabled(enabled); };
  const auto any = [this](bool (*test)(const ChecklistItem&)) {
    return std::any_of(model_->items().begin(), model_->items().end(), test);
  };
  if (under.isValid() && selectedRows().size() < 2) {
    quiet_ = true;
    listviewCheck_->setCurrentIndex(under);
    quiet_ = false;
  }
  const bool single = under.isValid() && selectedRows().size() < 2;
  const int row = under.isValid() ? under.row() : -1;
  enable("CLAdd", editable);
  enable("optCheckCopy", !selectedRows().empty());
  enable("optCheckPaste", editable && !QApplication::clipboard()->text().isEmpty());
  enable("optCheckSelectAll", hasItems);
  enable("CLRemoveAll", editable && hasItems);
  enable("CLRemoveAllTicks", editable && any([](const ChecklistItem& item) { return item.ticked; }));
  enable("CLRemoveAllDates", editable && any([](const ChecklistItem& item) { return !item.finished.empty(); }));
  enable("CLRemove", editable && under.isValid());
  enable("CLChange", editable && single);
  enable("CLUp", editable && single && row > 0);
  enable("CLDown", editable && single && row < model_->rowCount() - 1);
  enable("optCheckLink", row >= 0 && model_->item(row).link.found);
  enable("optCheckFolder", row >= 0 && model_->item(row).link.found && model_->item(row).link.isFile);
  if (isVisible()) popCheckList_->popup(listviewCheck_->viewport()->mapToGlobal(at));
}

// A press on the tick box ticks, on empty space starts a new item; a double click or Enter
// opens the item's link.
bool TChecklistPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == listviewCheck_->viewport()) {
    if (event->type() == QEvent::MouseButtonPress) {
      return pressOnList(static_cast<QMouseEvent*>(event)->position().toPoint());
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
      const QModelIndex index = listviewCheck_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
      if (index.isValid()) openLink(index.row());
      return index.isValid();
    }
  }
  if (watched == listviewCheck_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      openLink(currentRow());
      return true;
    }
    if (key == Qt::Key_Space && currentRow() >= 0 && !readOnly_) {
      const int row = currentRow();
      model_->setTicked(row, !model_->item(row).ticked, stampNow());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool TChecklistPage::pressOnList(const QPoint& at) {
  const QModelIndex index = listviewCheck_->indexAt(at);
  if (!index.isValid()) {
    CLAdd();
    return true;
  }
  const QRect row = listviewCheck_->visualRect(model_->index(index.row(), 0));
  if (at.x() - row.left() < ChecklistDelegate::kTickBoxWidth && !readOnly_) {
    model_->setTicked(index.row(), !model_->item(index.row()).ticked, stampNow());
    return true;
  }
  return false;
}

}  // namespace tarvo
