#include "ui/viewer/text_lines_model.h"

#include "ui/viewer/table_rows_model.h"

#include "viewer/text_document.h"

namespace tarvo {

int TextLinesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ViewCount(document_.lineCount());
}

QVariant TextLinesModel::data(const QModelIndex& index, int role) const {
  if (role == Qt::SizeHintRole && rowSize_.isValid()) return rowSize_;
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  const std::string_view line = document_.line(static_cast<std::size_t>(index.row()));
  return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

}  // namespace tarvo
