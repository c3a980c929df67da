#pragma once

// Draws a row of the topic tree: selecting a row changes its background only; the caption
// keeps the colour of its state (urgent red, finished green, navy) so a user sees it while it
// is selected too.

#include <QStyledItemDelegate>

namespace tarvo {

class TopicItemDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace tarvo
