#pragma once

#include <QAbstractListModel>

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
  int rowCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const TextDocument& document_;
};

}  // namespace tarvo
