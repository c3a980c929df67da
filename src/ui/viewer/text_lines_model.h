#pragma once

#include <QAbstractListModel>
#include <QSize>

namespace tarvo {

class TextDocument;

// The lines of a loaded file for the text box: one row per line, made into text only when
// the view asks for it.
class TextLinesModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit TextLinesModel(const TextDocument& document, QObject* parent = nullptr)
      : QAbstractListModel(parent), document_(document) {}

  void reset() {
    beginResetModel();
    endResetModel();
  }
  // The size of every row (the view measures one row only, for speed): as wide as the longest
  // line, so a long line can be scrolled to, never cut.
  void setRowSize(QSize size) { rowSize_ = size; }
  int rowCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const TextDocument& document_;
  QSize rowSize_;
};

}  // namespace tarvo
