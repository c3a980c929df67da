#include "ui/viewer/match_mark_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace tarvo {

void MatchMarkDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  if (!matcher_) return;
  const int only = matcher_->query().column;
  if (only >= 0 && index.column() != only) return;
  const QString text = index.data(Qt::DisplayRole).toString();
  const auto found = matcher_->matchesIn(text);
  if (found.empty()) return;
  const QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
  const QFontMetrics metrics(option.font);
  painter->save();
  painter->setPen(Qt::NoPen);
  painter->setBrush(QColor(255, 200, 0, 110));  // see-through, so the text stays readable
  for (const auto& [start, length] : found) {
    const int left = option.rect.left() + margin + metrics.horizontalAdvance(text.left(start));
    const int width = metrics.horizontalAdvance(text.mid(start, length));
    painter->drawRect(QRect(left, option.rect.top(), width, option.rect.height()));
  }
  painter->restore();
}

}  // namespace tarvo
