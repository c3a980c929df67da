#include "ui/viewer/uniform_rows_view.h"

#include <gtest/gtest.h>

#include <QAbstractListModel>
#include <QApplication>
#include <QScrollBar>
#include <QTest>

namespace tarvo {
namespace {

// Rows made up as they are asked for, as many as a gigabyte log has lines, each 20 pixels.
class CountingModel : public QAbstractListModel {
 public:
  explicit CountingModel(int rows) : rows_(rows) {}
  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role == Qt::SizeHintRole) return QSize(3000, 20);
    if (role == Qt::DisplayRole) return QStringLiteral("line %1").arg(index.row());
    return {};
  }
  void removeLast(int count) {
    beginRemoveRows({}, rows_ - count, rows_ - 1);
    rows_ -= count;
    endRemoveRows();
  }
  void append(int count) {
    beginInsertRows({}, rows_, rows_ + count - 1);
    rows_ += count;
    endInsertRows();
  }

 private:
  int rows_;
};

// Ten million rows: the scroll range counts rows, the last row can be reached by the scroll bar
// and the keyboard and is found under the pointer, a drag selects the rows it crosses, and the
// range follows rows that come and go. Row 0's place stays representable however far away.
TEST(UniformRowsView, TenMillionRowsScrollSelectAndFollowTheModel) {
  CountingModel model(10'000'000);
  UniformRowsView view;
  view.setModel(&model);
  view.resize(400, 20 * 10 + 2 * view.frameWidth() + view.horizontalScrollBar()->sizeHint().height());
  view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  view.show();
  QApplication::processEvents();

  const int perPage = view.viewport()->height() / 20;
  ASSERT_GE(perPage, 1);
  EXPECT_EQ(view.verticalScrollBar()->maximum(), 10'000'000 - perPage);
  EXPECT_EQ(view.horizontalScrollBar()->maximum(), 3000 - view.viewport()->width());

  view.scrollToBottom();
  EXPECT_EQ(view.indexAt(QPoint(5, (perPage - 1) * 20 + 5)).row(), 9'999'999);
  const QPoint belowLast(5, perPage * 20 + 1);
  if (view.viewport()->rect().contains(belowLast)) {
    EXPECT_FALSE(view.indexAt(belowLast).isValid()) << "nothing below the last row";
  }
  EXPECT_LT(view.visualRect(model.index(0)).bottom(), 0) << "row 0 lies above, far away but representable";

  view.scrollTo(model.index(5'000'000), QAbstractItemView::PositionAtTop);
  EXPECT_EQ(view.indexAt(QPoint(5, 5)).row(), 5'000'000);
  EXPECT_EQ(view.visualRect(model.index(5'000'001)).top(), 20);

  view.setSelectionMode(QAbstractItemView::ExtendedSelection);
  QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(view.viewport(), QPoint(5, 45));
  QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(5, 45));
  const QModelIndexList selected = view.selectionModel()->selectedRows();
  ASSERT_EQ(selected.size(), 3);
  EXPECT_EQ(selected.front().row() + selected.back().row(), 2 * 5'000'001) << "rows 5,000,000 to 5,000,002";

  // Shift with the keys from an anchor that scrolls out of sight keeps every row between.
  view.setCurrentIndex(model.index(1'000));
  for (int page = 0; page < 5; ++page) QTest::keyClick(&view, Qt::Key_PageDown, Qt::ShiftModifier);
  const QModelIndexList spanned = view.selectionModel()->selectedRows();
  EXPECT_EQ(spanned.size(), 5 * perPage + 1) << "rows 1,000 to 1,000 + five pages";
  EXPECT_TRUE(view.selectionModel()->isRowSelected(1'000, {}));

  view.setCurrentIndex(model.index(0));
  QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(view.currentIndex().row(), 9'999'999);
  QTest::keyClick(&view, Qt::Key_PageUp);
  EXPECT_EQ(view.currentIndex().row(), 9'999'999 - perPage);
  QTest::keyClick(&view, Qt::Key_Right);
  QTest::keyClick(&view, Qt::Key_Right);
  EXPECT_EQ(view.horizontalScrollBar()->value(), 2 * view.horizontalScrollBar()->singleStep()) << "across: a long line scrolls";
  EXPECT_EQ(view.currentIndex().row(), 9'999'999 - perPage);

  model.removeLast(9'999'990);
  EXPECT_EQ(view.verticalScrollBar()->maximum(), std::max(0, 10 - perPage)) << "the range shrinks with the rows";
  model.append(90);
  EXPECT_EQ(view.verticalScrollBar()->maximum(), 100 - perPage);
}

}  // namespace
}  // namespace tarvo
