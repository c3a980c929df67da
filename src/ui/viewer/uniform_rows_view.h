#pragma once

// A list of rows that are all the size of the first, as a log's lines are: where each row lies
// is worked out, never stored. A general list view keeps a position per row and lays all of
// them out again as rows come, which for a log of ten million lines costs half a second and
// forty megabytes at every growth; this view costs the same for ten rows as for ten million.
//
// The vertical scroll bar counts rows, so that any number of them fits its range; the
// horizontal one counts pixels.

#include <QAbstractItemView>

namespace tarvo {

class UniformRowsView : public QAbstractItemView {
  Q_OBJECT

 public:
  explicit UniformRowsView(QWidget* parent = nullptr);

  QModelIndex indexAt(const QPoint& point) const override;
  QRect visualRect(const QModelIndex& index) const override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  void doItemsLayout() override;
  void reset() override;
  void setModel(QAbstractItemModel* model) override;

 protected:
  QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
  int horizontalOffset() const override;
  int verticalOffset() const override;
  bool isIndexHidden(const QModelIndex& index) const override;
  void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
  QRegion visualRegionForSelection(const QItemSelection& selection) const override;
  void updateGeometries() override;
  void scrollContentsBy(int dx, int dy) override;
  void paintEvent(QPaintEvent* event) override;
  void rowsInserted(const QModelIndex& parent, int start, int end) override;

 private:
  [[nodiscard]] int rowCount() const;
  // The size every row takes: the first row's, at least one pixel high.
  [[nodiscard]] QSize rowSize() const;
  [[nodiscard]] int firstShownRow() const;
  // How many whole rows the viewport holds (at least one).
  [[nodiscard]] int rowsPerPage() const;
  [[nodiscard]] int rowAtY(int y) const;
};

}  // namespace tarvo
