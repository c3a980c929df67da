#include "ui/viewer/uniform_rows_view.h"

#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <algorithm>
#include <climits>

namespace tarvo {

UniformRowsView::UniformRowsView(QWidget* parent) : QAbstractItemView(parent) {
  setVerticalScrollMode(ScrollPerItem);
  setHorizontalScrollMode(ScrollPerPixel);
}

int UniformRowsView::rowCount() const { return model() == nullptr ? 0 : model()->rowCount(rootIndex()); }

QSize UniformRowsView::rowSize() const {
  if (rowCount() == 0) return {0, std::max(1, fontMetrics().height())};
  QStyleOptionViewItem option;
  const_cast<UniformRowsView*>(this)->initViewItemOption(&option);
  const QSize size = itemDelegateForIndex(model()->index(0, 0, rootIndex()))->sizeHint(option, model()->index(0, 0, rootIndex()));
  return {size.width(), std::max(1, size.height())};
}

int UniformRowsView::firstShownRow() const { return verticalScrollBar()->value(); }

int UniformRowsView::rowsPerPage() const { return std::max(1, viewport()->height() / rowSize().height()); }

// Floor division: a point above the viewport lies on a row before the first one shown.
int UniformRowsView::rowAtY(int y) const {
  const int height = rowSize().height();
  return firstShownRow() + (y >= 0 ? y / height : -((-y + height - 1) / height));
}

QModelIndex UniformRowsView::indexAt(const QPoint& point) const {
  const int row = rowAtY(point.y());
  if (point.y() < 0 || row >= rowCount()) return {};
  return model()->index(row, 0, rootIndex());
}

QRect UniformRowsView::visualRect(const QModelIndex& index) const {
  if (!index.isValid() || index.parent() != rootIndex()) return {};
  const QSize size = rowSize();
  const qint64 top = static_cast<qint64>(index.row() - firstShownRow()) * size.height();
  // Exact wherever it fits the integers of a rectangle: a selection is drawn from the anchor's
  // place, however far off the anchor is. Beyond that only the side it lies on counts.
  constexpr qint64 kFar = INT_MAX / 4;
  const int y = static_cast<int>(std::clamp<qint64>(top, -kFar, kFar));
  return {-horizontalOffset(), y, std::max(size.width(), viewport()->width()), size.height()};
}

void UniformRowsView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  if (!index.isValid()) return;
  const int row = index.row();
  const int page = rowsPerPage();
  int first = firstShownRow();
  switch (hint) {
    case PositionAtTop:
      first = row;
      break;
    case PositionAtBottom:
      first = row - page + 1;
      break;
    case PositionAtCenter:
      first = row - page / 2;
      break;
    case EnsureVisible:
      if (row < first) first = row;
      if (row >= first + page) first = row - page + 1;
      break;
  }
  verticalScrollBar()->setValue(first);
}

void UniformRowsView::doItemsLayout() {
  updateGeometries();
  viewport()->update();
}

void UniformRowsView::reset() {
  QAbstractItemView::reset();
  updateGeometries();
  viewport()->update();
}

QModelIndex UniformRowsView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers /*modifiers*/) {
  const int rows = rowCount();
  if (rows == 0) return {};
  const QModelIndex current = currentIndex();
  const int row = current.isValid() ? current.row() : 0;
  int next = row;
  switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
      next = row - 1;
      break;
    case MoveDown:
    case MoveNext:
      next = row + 1;
      break;
    case MovePageUp:
      next = row - rowsPerPage();
      break;
    case MovePageDown:
      next = row + rowsPerPage();
      break;
    case MoveHome:
      next = 0;
      break;
    case MoveEnd:
      next = rows - 1;
      break;
    case MoveLeft:
    case MoveRight:
      // One column of rows: the arrows across scroll a long line instead.
      horizontalScrollBar()->triggerAction(cursorAction == MoveLeft ? QAbstractSlider::SliderSingleStepSub
                                                                    : QAbstractSlider::SliderSingleStepAdd);
      break;
  }
  return model()->index(std::clamp(next, 0, rows - 1), 0, rootIndex());
}

int UniformRowsView::horizontalOffset() const { return horizontalScrollBar()->value(); }

int UniformRowsView::verticalOffset() const {
  return static_cast<int>(std::min<qint64>(INT_MAX, static_cast<qint64>(firstShownRow()) * rowSize().height()));
}

bool UniformRowsView::isIndexHidden(const QModelIndex& /*index*/) const { return false; }

void UniformRowsView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
  const int rows = rowCount();
  if (rows == 0 || selectionModel() == nullptr) return;
  const QRect normal = rect.normalized();
  const int top = std::clamp(rowAtY(normal.top()), 0, rows - 1);
  const int bottom = std::clamp(rowAtY(normal.bottom()), 0, rows - 1);
  const QItemSelection selection(model()->index(top, 0, rootIndex()), model()->index(bottom, 0, rootIndex()));
  selectionModel()->select(selection, command);
}

QRegion UniformRowsView::visualRegionForSelection(const QItemSelection& selection) const {
  QRegion region;
  const int first = firstShownRow();
  const int last = first + rowsPerPage();
  for (const QItemSelectionRange& range : selection) {
    const int top = std::max(range.top(), first);
    const int bottom = std::min(range.bottom(), last);
    if (top > bottom) continue;
    region += visualRect(model()->index(top, 0, rootIndex())).united(visualRect(model()->index(bottom, 0, rootIndex())));
  }
  return region;
}

void UniformRowsView::updateGeometries() {
  const QSize size = rowSize();
  const int page = rowsPerPage();
  verticalScrollBar()->setRange(0, std::max(0, rowCount() - page));
  verticalScrollBar()->setPageStep(page);
  verticalScrollBar()->setSingleStep(1);
  horizontalScrollBar()->setRange(0, std::max(0, size.width() - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
  horizontalScrollBar()->setSingleStep(std::max(1, fontMetrics().averageCharWidth()));
  QAbstractItemView::updateGeometries();
}

void UniformRowsView::scrollContentsBy(int /*dx*/, int /*dy*/) { viewport()->update(); }

void UniformRowsView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const int rows = rowCount();
  if (rows == 0) return;
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const QModelIndex current = currentIndex();
  const int height = rowSize().height();
  const int first = std::max(0, rowAtY(event->rect().top()));
  const int last = std::min(rows - 1, rowAtY(event->rect().bottom()));
  for (int row = first; row <= last; ++row) {
    const QModelIndex index = model()->index(row, 0, rootIndex());
    QStyleOptionViewItem rowOption = option;
    rowOption.rect = visualRect(index);
    rowOption.rect.setHeight(height);
    if (selectionModel() != nullptr && selectionModel()->isSelected(index)) rowOption.state |= QStyle::State_Selected;
    if (index == current && hasFocus()) rowOption.state |= QStyle::State_HasFocus;
    if (!isEnabled()) rowOption.state &= ~QStyle::State_Enabled;
    itemDelegateForIndex(index)->paint(&painter, rowOption, index);
  }
}

void UniformRowsView::rowsInserted(const QModelIndex& parent, int start, int end) {
  QAbstractItemView::rowsInserted(parent, start, end);
  updateGeometries();
  viewport()->update();
}

void UniformRowsView::setModel(QAbstractItemModel* model) {
  QAbstractItemView::setModel(model);
  if (model == nullptr) return;
  // Rows that went change the scroll range, which is set once they are gone.
  connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { doItemsLayout(); });
}

}  // namespace tarvo
