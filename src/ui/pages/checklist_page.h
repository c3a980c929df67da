#pragma once

// The checklist page of a topic: the list of items with their ticks, the edit box and button
// that add or change an item, the commands of its popup menu with their keys, and dropped
// files. Ticks and edits go to the model; the page says `edited` after each, and the caller
// saves and applies the progress rule.

#include <QWidget>
#include <functional>
#include <string>

#include "ui/pages/checklist_model.h"

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeView;

namespace tarvo {

class TChecklistPage : public QWidget {
  Q_OBJECT

 public:
  explicit TChecklistPage(QWidget* parent = nullptr);

  // A page's items, shown afresh in add mode; loading is not an edit.
  void showItems(ChecklistItems items, int dateOrder);
  [[nodiscard]] const ChecklistItems& items() const { return model_->items(); }
  [[nodiscard]] ChecklistModel& model() { return *model_; }
  [[nodiscard]] QTreeView& view() { return *listviewCheck_; }
  // A locked topic's checklist can be read, not changed.
  void setReadOnly(bool readOnly);
  // Each path becomes an item at the end, a folder as a folder link.
  void addDroppedPaths(const QStringList& paths);
  // The stamp a tick gets; the clock's now unless a test sets it.
  std::function<std::string()> stampNow;

  // Commands (also the popup's items and keys).
  void CLAdd();
  void CLChange();
  void CLRemove();
  void CLUp() { moveSelected(-1); }
  void CLDown() { moveSelected(+1); }
  void CLRemoveAll() { model_->removeAll(); enterAddMode(); }
  void CLRemoveAllTicks() { model_->removeAllTicks(); }
  void CLRemoveAllDates() { model_->removeAllDates(); }
  void optCheckLink();
  void optCheckFolder();
  void optCheckSelectAll();
  void optCheckCopy();
  void optCheckPaste();
  void buttonChecklistAddClick();
  // The popup's items enabled for the item under `at` (in the view's viewport).
  void listviewCheckContextPopup(const QPoint& at);
  [[nodiscard]] QMenu& popup() { return *popCheckList_; }

 signals:
  void edited();
  void openRequested(const QString& target);
  void changeTitleRequested();
  void printRequested();
  void saveAsRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildPopup();
  void enterAddMode();
  void restoreActions();
  void editCheckListChange(const QString& text);
  void selectionChanged();
  void moveSelected(int by);
  void openLink(int row);
  void selectLast();
  [[nodiscard]] int currentRow() const;
  [[nodiscard]] std::vector<int> selectedRows() const;
  bool pressOnList(const QPoint& at);

  ChecklistModel* model_;
  QTreeView* listviewCheck_;
  QLineEdit* editCheckList_;
  QPushButton* buttonChecklistAdd_;
  QMenu* popCheckList_;
  bool changeMode_ = false;
  bool readOnly_ = false;
  bool quiet_ = false;  // the page is being filled: selections are not edits
};

}  // namespace tarvo
