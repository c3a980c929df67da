#include "ui/main/topic_item_delegate.h"

namespace tarvo {

void TopicItemDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  const QVariant foreground = index.data(Qt::ForegroundRole);
  if (foreground.canConvert<QColor>()) {
    const QColor colour = foreground.value<QColor>();
    option->palette.setColor(QPalette::Active, QPalette::HighlightedText, colour);
    option->palette.setColor(QPalette::Inactive, QPalette::HighlightedText, colour);
  }
}

}  // namespace tarvo
