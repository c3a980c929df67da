#include "ui/pages/checklist_delegate.h"

#include <QPainter>

#include "ui/pages/checklist_model.h"

namespace tarvo {

namespace {

const QColor kSelectedBand(0xE5, 0xE5, 0xE5);
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kLinkBlue(0x00, 0x00, 0xFF);

void DrawTickBox(QPainter& painter, const QRect& row, bool ticked) {
  const int side = std::min(13, row.height() - 2);
  const QRect box(row.left() + 2, row.top() + (row.height() - side) / 2, side, side);
  painter.setPen(kNavy);
  painter.setBrush(Qt::white);
  painter.drawRect(box.adjusted(0, 0, -1, -1));
  if (!ticked) return;
  QPen tick(QColor(0x00, 0x80, 0x00), 2);
  painter.setPen(tick);
  painter.drawPolyline(QPolygon({QPoint(box.left() + 3, box.center().y()),
                                 QPoint(box.left() + side / 2 - 1, box.bottom() - 3),
                                 QPoint(box.right() - 2, box.top() + 3)}));
}

// Draws `text` from x, returning where the next piece starts.
int DrawPiece(QPainter& painter, const QRect& row, int x, const QString& text, const QColor& colour,
              bool underline) {
  if (text.isEmpty()) return x;
  QFont font = painter.font();
  font.setUnderline(underline);
  painter.setFont(font);
  painter.setPen(colour);
  const QRect room(x, row.top(), std::max(0, row.right() - x), row.height());
  painter.drawText(room, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
  return x + QFontMetrics(font).horizontalAdvance(text);
}

}  // namespace

void ChecklistDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  painter->save();
  const QRect row = option.rect;
  const bool selected = option.state.testFlag(QStyle::State_Selected);
  painter->fillRect(row, selected ? kSelectedBand : QColor(Qt::white));
  if (!selected) {
    painter->setPen(kSelectedBand);
    painter->drawLine(row.bottomLeft(), row.bottomRight());
  }
  painter->setFont(option.font);
  const QString text = index.data(Qt::DisplayRole).toString();
  if (index.column() == ChecklistModel::ItemColumn) {
    DrawTickBox(*painter, row, index.data(Qt::CheckStateRole).toInt() == Qt::Checked);
    const QPoint link = index.data(ChecklistModel::LinkRangeRole).toPoint();
    int x = row.left() + kTickBoxWidth + 4;
    if (link.x() < 0) {
      DrawPiece(*painter, row, x, text, kNavy, false);
    } else {
      x = DrawPiece(*painter, row, x, text.left(link.x()), kNavy, false);
      x = DrawPiece(*painter, row, x, text.mid(link.x(), link.y()), kLinkBlue, true);
      DrawPiece(*painter, row, x, text.mid(link.x() + link.y()), kNavy, false);
    }
  } else {
    DrawPiece(*painter, row, row.left() + 4, text, kNavy, false);
  }
  painter->restore();
}

QSize ChecklistDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  size.setHeight(std::max(size.height(), 18));
  return size;
}

}  // namespace tarvo
