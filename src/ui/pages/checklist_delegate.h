#pragma once

// Draws a checklist row: a light grey band when selected (a grey frame otherwise), the tick
// box, the text in navy with its link in underlined blue, and the finished date in navy.

#include <QStyledItemDelegate>

namespace tarvo {

class ChecklistDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  // Presses left of this x (in the row) land on the tick box.
  static constexpr int kTickBoxWidth = 17;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace tarvo
