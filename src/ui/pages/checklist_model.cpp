#include "ui/pages/checklist_model.h"

#include "base/date_text.h"

namespace tarvo {

namespace {

QString Text(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The link's place in the item's text in characters, from its place in the UTF-8 bytes.
QPoint LinkRange(const ChecklistItem& item) {
  if (!item.link.found || item.link.start < 1) return {-1, 0};
  const auto start = static_cast<std::size_t>(item.link.start - 1);
  const auto length = static_cast<std::size_t>(item.link.length);
  const QString before = Text(item.text.substr(0, start));
  const QString link = Text(item.text.substr(start, length));
  return {static_cast<int>(before.size()), static_cast<int>(link.size())};
}

}  // namespace

QString FinishedText(const std::string& stamp, int dateOrder) {
  if (stamp.empty()) return {};
  return Text(DisplayStamp(stamp, dateOrder)).left(16);
}

ChecklistModel::ChecklistModel(QObject* parent) : QAbstractTableModel(parent) {}

void ChecklistModel::setItems(ChecklistItems items) {
  beginResetModel();
  items_ = std::move(items);
  endResetModel();
}

void ChecklistModel::append(const ChecklistItems& added) {
  if (added.empty()) return;
  const int first = rowCount();
  beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
  items_.insert(items_.end(), added.begin(), added.end());
  endInsertRows();
  emit edited();
}

void ChecklistModel::setText(int row, const QString& text) {
  if (row < 0 || row >= rowCount()) return;
  SetItemText(items_[static_cast<std::size_t>(row)], text.toStdString());
  itemsChanged(row, row);
}

void ChecklistModel::setTicked(int row, bool ticked, const std::string& nowStamp) {
  if (row < 0 || row >= rowCount()) return;
  SetItemTicked(items_[static_cast<std::size_t>(row)], ticked, nowStamp);
  itemsChanged(row, row);
}

void ChecklistModel::remove(const std::vector<int>& rows) {
  if (rows.empty()) return;
  beginResetModel();
  RemoveItems(items_, rows);
  endResetModel();
  emit edited();
}

void ChecklistModel::move(int row, int by) {
  const int to = row + by;
  if (row < 0 || to < 0 || row >= rowCount() || to >= rowCount() || by == 0) return;
  // Qt counts the destination before the move: one further down when moving down.
  beginMoveRows({}, row, row, {}, by > 0 ? to + 1 : to);
  MoveItem(items_, row, by);
  endMoveRows();
  emit edited();
}

void ChecklistModel::removeAll() {
  if (items_.empty()) return;
  beginResetModel();
  items_.clear();
  endResetModel();
  emit edited();
}

void ChecklistModel::removeAllTicks() {
  RemoveAllTicks(items_);
  everyItemChanged();
}

void ChecklistModel::removeAllDates() {
  RemoveAllDates(items_);
  everyItemChanged();
}

void ChecklistModel::itemsChanged(int first, int last) {
  emit dataChanged(index(first, ItemColumn), index(last, FinishedColumn));
  emit edited();
}

void ChecklistModel::everyItemChanged() {
  if (items_.empty()) return;
  itemsChanged(0, rowCount() - 1);
}

int ChecklistModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int ChecklistModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant ChecklistModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const ChecklistItem& shown = item(index.row());
  if (index.column() == ItemColumn) {
    switch (role) {
      case Qt::DisplayRole:
      case Qt::AccessibleTextRole:
        return Text(shown.text);
      case Qt::CheckStateRole:
        return shown.ticked ? Qt::Checked : Qt::Unchecked;
      case Qt::ToolTipRole:
        return shown.link.found ? QStringLiteral("Double click to open %1").arg(Text(shown.link.target)) : QVariant();
      case LinkRangeRole:
        return LinkRange(shown);
      default:
        return {};
    }
  }
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) return FinishedText(shown.finished, dateOrder_);
  return {};
}

QVariant ChecklistModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 1) return {};
  return headings_[section];
}

void ChecklistModel::setHeading(int column, const QString& heading) {
  if (column < 0 || column > 1) return;
  headings_[column] = heading;
  emit headerDataChanged(Qt::Horizontal, column, column);
}

}  // namespace tarvo
