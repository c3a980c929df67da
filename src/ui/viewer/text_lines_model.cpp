#include "ui/viewer/text_lines_model.h"

#include <algorithm>

#include "ui/viewer/table_rows_model.h"
#include "viewer/text_document.h"

namespace tarvo {

void TextLinesModel::reset() {
  beginResetModel();
  lines_ = document_.lineCount();
  filter_.reset();
  endResetModel();
}

void TextLinesModel::linesAdded(std::size_t kept) {
  const std::size_t before = lines_;
  const std::size_t now = document_.lineCount();
  if (filter_) {
    lines_ = now;  // a filter shows the lines it found; a new search takes the new ones
    return;
  }
  if (now < before) {
    beginRemoveRows({}, ViewCount(now), ViewCount(before) - 1);
    lines_ = now;
    endRemoveRows();
  }
  if (kept < std::min(before, now)) {
    emit dataChanged(index(ViewCount(kept)), index(ViewCount(std::min(before, now)) - 1));
  }
  if (now > before && ViewCount(before) < ViewCount(now)) {
    beginInsertRows({}, ViewCount(before), ViewCount(now) - 1);
    lines_ = now;
    endInsertRows();
  }
  lines_ = now;
}

void TextLinesModel::setFilter(std::optional<std::vector<std::uint32_t>> lines) {
  beginResetModel();
  filter_ = std::move(lines);
  lines_ = document_.lineCount();
  endResetModel();
}

void TextLinesModel::extendFilter(std::size_t kept, std::vector<std::uint32_t> lines) {
  if (!filter_) return;
  const auto stays = static_cast<std::size_t>(
      std::lower_bound(filter_->begin(), filter_->end(), kept) - filter_->begin());
  if (stays < filter_->size()) {
    beginRemoveRows({}, ViewCount(stays), ViewCount(filter_->size()) - 1);
    filter_->resize(stays);
    endRemoveRows();
  }
  if (lines.size() > stays) {
    beginInsertRows({}, ViewCount(stays), ViewCount(lines.size()) - 1);
    filter_ = std::move(lines);
    endInsertRows();
  }
}

std::size_t TextLinesModel::lineOf(int row) const {
  const auto at = static_cast<std::size_t>(row);
  return filter_ ? (*filter_)[at] : at;
}

int TextLinesModel::rowOf(std::size_t line) const {
  if (!filter_) return ViewCount(std::min(line, lines_ == 0 ? 0 : lines_ - 1));
  const auto found = std::lower_bound(filter_->begin(), filter_->end(), line);
  if (filter_->empty()) return 0;
  return ViewCount(static_cast<std::size_t>(std::min(found, filter_->end() - 1) - filter_->begin()));
}

void TextLinesModel::setRowSize(QSize size) {
  if (size == rowSize_) return;
  rowSize_ = size;
  emit layoutAboutToBeChanged();
  emit layoutChanged();
}

int TextLinesModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return ViewCount(filter_ ? filter_->size() : lines_);
}

QVariant TextLinesModel::data(const QModelIndex& index, int role) const {
  if (role == Qt::SizeHintRole && rowSize_.isValid()) return rowSize_;
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  const std::string_view line = document_.line(lineOf(index.row()));
  return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

}  // namespace tarvo
