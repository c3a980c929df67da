#pragma once

#include <QAbstractListModel>
#include <QSize>
#include <cstdint>
#include <optional>
#include <vector>

namespace tarvo {

class TextDocument;

// The lines of a file for the text box: one row per line, made into text only when the view
// asks for it. The rows follow the document as its index grows; with a filter only the lines
// it names are rows.
class TextLinesModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit TextLinesModel(const TextDocument& document, QObject* parent = nullptr)
      : QAbstractListModel(parent), document_(document) {}

  // The document was emptied or loaded anew: all rows again, no filter.
  void reset();
  // Lines were added to the document; the first `kept` lines stayed as they were (the last one
  // may have been read again because it went on).
  void linesAdded(std::size_t kept);
  // Shows only these lines (in file order), or all again with nothing.
  void setFilter(std::optional<std::vector<std::uint32_t>> lines);
  [[nodiscard]] bool filtered() const { return filter_.has_value(); }
  [[nodiscard]] std::vector<std::uint32_t> filterLines() const { return filter_.value_or(std::vector<std::uint32_t>()); }
  // The file grew: the filter's lines from `kept` on are replaced by those of `lines`.
  void extendFilter(std::size_t kept, std::vector<std::uint32_t> lines);
  // The line a row shows, and the row that shows a line (the nearest row at or after it).
  [[nodiscard]] std::size_t lineOf(int row) const;
  [[nodiscard]] int rowOf(std::size_t line) const;

  // The size of every row (the view measures one row only, for speed): as wide as the longest
  // line, so a long line can be scrolled to, never cut.
  void setRowSize(QSize size);
  [[nodiscard]] QSize rowSize() const { return rowSize_; }

  int rowCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const TextDocument& document_;
  std::size_t lines_ = 0;  // the document's lines the model has announced
  std::optional<std::vector<std::uint32_t>> filter_;
  QSize rowSize_;
};

}  // namespace tarvo
