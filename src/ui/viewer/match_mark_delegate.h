#pragma once

// Draws rows as usual and marks every match of the current find in them, so the eye finds
// each hit in the rows on screen. Only painted rows are matched: the cost follows the screen,
// not the file.

#include <QStyledItemDelegate>
#include <optional>

#include "viewer/text_search.h"

namespace tarvo {

class MatchMarkDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  // What to mark, or nothing; in a table only `column` is marked when it is not -1.
  void setMatcher(std::optional<TextMatcher> matcher) { matcher_ = std::move(matcher); }
  [[nodiscard]] bool marking() const { return matcher_.has_value(); }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  std::optional<TextMatcher> matcher_;
};

}  // namespace tarvo
