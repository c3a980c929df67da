#include "ui/viewer/table_rows_model.h"

#include <QString>
#include <algorithm>

#include "viewer/display_format.h"
#include "viewer/text_document.h"

namespace tarvo {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void TableRowsModel::reset(bool rotated) {
  beginResetModel();
  rotated_ = rotated;
  filter_.reset();
  markColumn_ = -1;
  endResetModel();
}

void TableRowsModel::setSortMark(int column, bool ascending) {
  markColumn_ = column;
  markAscending_ = ascending;
  emit headerDataChanged(Qt::Horizontal, 0, columnCount({}) - 1);
}

void TableRowsModel::sorted() {
  emit layoutAboutToBeChanged();
  emit layoutChanged();
  emit dataChanged(index(0, 0), index(rowCount({}) - 1, columnCount({}) - 1));
}

void TableRowsModel::setFilter(std::optional<std::vector<std::uint32_t>> positions) {
  beginResetModel();
  filter_ = std::move(positions);
  endResetModel();
}

std::size_t TableRowsModel::positionOf(int row) const {
  const auto at = static_cast<std::size_t>(row);
  return filter_ ? (*filter_)[at] : at;
}

int TableRowsModel::rowOf(std::size_t position) const {
  if (!filter_) return ViewCount(position);
  if (filter_->empty()) return 0;
  const auto found = std::lower_bound(filter_->begin(), filter_->end(), position);
  return ViewCount(static_cast<std::size_t>(std::min(found, filter_->end() - 1) - filter_->begin()));
}

int TableRowsModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  if (filter_ && !rotated_) return ViewCount(filter_->size());
  return ViewCount(rotated_ ? format_.columnHeadings.size() : rows_.rowCount());
}

int TableRowsModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  if (!rotated_) return ViewCount(format_.columnHeadings.size());
  return ViewCount(std::max(format_.columnHeadings.size(), rows_.rowCount() + 1));
}

QVariant TableRowsModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  const auto column = static_cast<std::size_t>(index.column());
  if (!rotated_) {
    const std::size_t position = positionOf(index.row());
    if (rows_.doubledQuotes()) return QString::fromStdString(rows_.fieldText(position, column));
    return Text(rows_.field(position, column));
  }
  if (column == 0) return QString::fromStdString(format_.columnHeadings[row]);
  if (column - 1 >= rows_.rowCount()) return QString();
  if (rows_.doubledQuotes()) return QString::fromStdString(rows_.fieldText(column - 1, row));
  return Text(rows_.field(column - 1, row));
}

QVariant TableRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  const auto column = static_cast<std::size_t>(section);
  const bool marked = section == markColumn_ && !rotated_;
  if (role == Qt::DisplayRole) {
    QString heading;
    if (column < format_.columnHeadings.size()) heading = QString::fromStdString(format_.columnHeadings[column]);
    if (marked) heading += markAscending_ ? QString::fromUtf8(" \u25B2") : QString::fromUtf8(" \u25BC");
    return heading;
  }
  if (role == SortMarkRole && marked) return markAscending_ ? 1 : 0;
  return {};
}

}  // namespace tarvo
