#pragma once

#include <QAbstractTableModel>

#include <climits>
#include <cstddef>

namespace tarvo {

// Qt's views count rows and columns in int: a count beyond that shows its first INT_MAX.
inline int ViewCount(std::size_t count) {
  return count > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(count);
}

struct DisplayFormat;
class TableRows;

// The rows of a table file for the list: one row per line and one column per heading, or,
// rotated, one row per heading and one column per line after the caption column. Cells are
// made into text only when the view asks for them.
class TableRowsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Header role giving the sort mark's image: 1 ascending, 0 descending.
  static constexpr int SortMarkRole = Qt::UserRole + 1;

  TableRowsModel(const TableRows& rows, const DisplayFormat& format, QObject* parent = nullptr)
      : QAbstractTableModel(parent), rows_(rows), format_(format) {}

  // Which layout to show, and which column carries the sort mark (-1 none).
  void reset(bool rotated);
  void setSortMark(int column, bool ascending);
  void sorted();
  // Shows only the rows at these positions (ascending), or all again with nothing.
  void setFilter(std::optional<std::vector<std::uint32_t>> positions);
  [[nodiscard]] bool filtered() const { return filter_.has_value(); }
  // The position (in the rows' order) a view row shows, and the view row nearest a position.
  [[nodiscard]] std::size_t positionOf(int row) const;
  [[nodiscard]] int rowOf(std::size_t position) const;

  int rowCount(const QModelIndex& parent) const override;
  int columnCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const TableRows& rows_;
  const DisplayFormat& format_;
  bool rotated_ = false;
  int markColumn_ = -1;
  std::optional<std::vector<std::uint32_t>> filter_;
  bool markAscending_ = true;
};

}  // namespace tarvo
