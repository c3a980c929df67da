#pragma once

// The items of the checklist page on show, as the list view's two columns "Item" and
// "Finished". The model holds the items; every edit goes through it, so the view hears of each
// change and the page knows its content changed.

#include <QAbstractTableModel>
#include <QPoint>

#include "content/checklist.h"

namespace tarvo {

class ChecklistModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { ItemColumn = 0, FinishedColumn = 1 };
  // The item's link: its start (0-based, in characters) and length, for drawing.
  static constexpr int LinkRangeRole = Qt::UserRole + 1;

  explicit ChecklistModel(QObject* parent = nullptr);

  void setDateOrder(int dateOrder) { dateOrder_ = dateOrder; }
  // A page's items shown afresh; no edit.
  void setItems(ChecklistItems items);
  [[nodiscard]] const ChecklistItems& items() const { return items_; }
  [[nodiscard]] const ChecklistItem& item(int row) const { return items_.at(static_cast<std::size_t>(row)); }

  // Edits; each emits edited() once.
  void append(const ChecklistItems& added);
  void setText(int row, const QString& text);
  void setTicked(int row, bool ticked, const std::string& nowStamp);
  void remove(const std::vector<int>& rows);
  void move(int row, int by);
  void removeAll();
  void removeAllTicks();
  void removeAllDates();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void setHeading(int column, const QString& heading);

 signals:
  void edited();

 private:
  void itemsChanged(int first, int last);
  void everyItemChanged();

  ChecklistItems items_;
  int dateOrder_ = 0;
  QString headings_[2] = {"Item", "Finished"};
};

// The stamp shown in "Finished": the first 16 characters in the user's date order.
QString FinishedText(const std::string& stamp, int dateOrder);

}  // namespace tarvo
