#include "ui/main/topic_item_delegate.h"

#include <QPainter>
#include <QPainterPath>

#include "structure/topic_record.h"
#include "structure/topic_tree.h"
#include "ui/main/topic_tree_model.h"

namespace tarvo {
namespace {

constexpr int kSlot = 18;  // width of one picture slot of the "Status" column
const QColor kNavy(0, 0, 128);
const QColor kPriorityBox(229, 229, 229);
const QColor kPriorityText(144, 144, 144);
const QColor kSelectedRow(229, 229, 229);

QString Text(const ShortText& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Pages with content: one page, one page of another kind, or several.
void PaintPages(QPainter& painter, const QRect& slot, const TopicRecord& record) {
  if (record.dac <= 0) return;
  painter.setPen(QColor(90, 90, 90));
  const QRect page(slot.left() + 4, slot.top() + 2, 9, 12);
  if (record.dac != 1) painter.fillRect(page.translated(2, -1), QColor(210, 210, 210));
  painter.fillRect(page, Qt::white);
  painter.drawRect(page);
  if (record.dac == 1 && record.dam == 1) return;  // the details page: plain
  for (int line = 0; line < 3; ++line) painter.drawLine(page.left() + 2, page.top() + 3 + 3 * line, page.right() - 2, page.top() + 3 + 3 * line);
}

// A favourite shows a star; an urgent topic (or a closed one holding urgent ones) a red flag.
void PaintMark(QPainter& painter, const QRect& slot, bool favourite, bool marked) {
  if (favourite) {
    QPainterPath star;
    const QPointF centre = QRectF(slot).center();
    for (int corner = 0; corner < 10; ++corner) {
      const double radius = corner % 2 == 0 ? 7 : 3;
      const double angle = -M_PI / 2 + corner * M_PI / 5;
      const QPointF point(centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle));
      corner == 0 ? star.moveTo(point) : star.lineTo(point);
    }
    star.closeSubpath();
    painter.fillPath(star, QColor(240, 180, 0));
  }
  if (marked) {
    const QRect flag(slot.left() + (favourite ? 10 : 5), slot.top() + 3, 7, 5);
    painter.fillRect(flag, QColor(255, 0, 0));
    painter.setPen(QColor(120, 0, 0));
    painter.drawLine(flag.left(), flag.top(), flag.left(), flag.top() + 11);
  }
}

// A task in progress with a percentage shows it as a filled share of a circle; any other task
// its state's picture.
void PaintState(QPainter& painter, const QRect& slot, const TopicRecord& record) {
  if (!record.isTask()) return;
  const QRect circle(slot.left() + 2, slot.top() + 2, 13, 13);
  if (record.status == kInProgress && record.prog && record.progress >= 1 && record.progress <= 99) {
    painter.setPen(QColor(40, 100, 40));
    painter.setBrush(Qt::white);
    painter.drawEllipse(circle);
    painter.setBrush(QColor(60, 160, 60));
    painter.drawPie(circle, 90 * 16, -(record.progress / 10) * 36 * 16);
    painter.setBrush(Qt::NoBrush);
    return;
  }
  const int image = NodeImageIndex(record);
  if (image >= 0 && static_cast<std::size_t>(image) < TopicTreeModel::Images().size()) {
    TopicTreeModel::Images()[static_cast<std::size_t>(image)].paint(&painter, circle);
  }
}

void PaintPriority(QPainter& painter, const QRect& slot, const TopicRecord& record) {
  if (!record.isTask() || record.status == kOnHold || record.pri <= 0) return;
  const QRect box(slot.left() + 2, slot.top() + (slot.height() - 14) / 2, 14, 14);
  painter.fillRect(box, kPriorityBox);
  QFont font = painter.font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(kPriorityText);
  painter.drawText(box, Qt::AlignCenter, QString::number(int{record.pri}));
}

}  // namespace

void TopicItemDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  const QVariant foreground = index.data(Qt::ForegroundRole);
  if (foreground.canConvert<QColor>()) {
    const QColor colour = foreground.value<QColor>();
    option->palette.setColor(QPalette::Active, QPalette::HighlightedText, colour);
    option->palette.setColor(QPalette::Inactive, QPalette::HighlightedText, colour);
  }
}

void TopicItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const auto* model = qobject_cast<const TopicTreeModel*>(index.model());
  const TopicNode* node = model == nullptr ? nullptr : model->nodeAt(index);
  if (node == nullptr || node->record == nullptr || index.column() == TopicTreeModel::kTopicColumn) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  // The view has drawn the row's band; a selected row is grey across every column.
  painter->save();
  if ((option.state & QStyle::State_Selected) != 0) painter->fillRect(option.rect, kSelectedRow);
  painter->setClipRect(option.rect);
  if (index.column() == TopicTreeModel::kDueColumn) {
    paintDue(*painter, option.rect, *node->record);
  } else {
    paintStatus(*painter, option.rect, *node->record, node->hasChildren() && !node->expanded());
  }
  painter->restore();
}

void TopicItemDelegate::paintDue(QPainter& painter, const QRect& cell, const TopicRecord& record) {
  if (record.statusText.empty() || (!record.isTask() && record.ttype != kEvent)) return;
  const QRect box = cell.adjusted(0, 1, -1, -1);
  painter.fillRect(box, QColor(static_cast<QRgb>(record.statusColour)));
  const QString text = Text(record.statusText);
  const int width = painter.fontMetrics().horizontalAdvance(text);
  const int left = cell.width() > width + 2 ? (cell.width() - width) / 2 + 2 : 2;
  painter.setPen(kNavy);
  painter.drawText(box.adjusted(left, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
  painter.setPen(Qt::white);
  painter.drawRect(box);
}

void TopicItemDelegate::paintStatus(QPainter& painter, const QRect& cell, const TopicRecord& record, bool collapsed) {
  painter.setRenderHint(QPainter::Antialiasing);
  const auto slot = [&](int number) { return QRect(cell.left() + number * kSlot, cell.top(), kSlot, cell.height()); };
  PaintPages(painter, slot(0), record);
  const bool marked = record.urgent || (record.urgentCount > 0 && collapsed);
  PaintMark(painter, slot(1), record.fav, marked);
  PaintState(painter, slot(2), record);
  PaintPriority(painter, slot(3), record);
}

}  // namespace tarvo
