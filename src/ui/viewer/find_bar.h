#pragma once

// The viewer's find and filter bar: a box for what to find, "Regular expression" and
// "Match case", in a table the column to look in, Next and Previous, and a filter box that
// shows only the lines that match.

#include <QWidget>
#include <optional>

#include "viewer/text_search.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvo {

class FindBar : public QWidget {
  Q_OBJECT

 public:
  explicit FindBar(QWidget* parent = nullptr);

  // The table's column headings, or none for the text layout (the column choice hides).
  void setColumns(const QStringList& headings);
  // Shows the bar with the find box focused.
  void openForFind();
  void showResult(const QString& text);

  [[nodiscard]] TextQuery findQuery() const;
  // The filter's query, or nothing when its box is empty.
  [[nodiscard]] std::optional<TextQuery> filterQuery() const;

 signals:
  void findChanged();
  void findNext();
  void findPrevious();
  void filterChanged();

 private:
  [[nodiscard]] TextQuery queryFor(const QString& text) const;

  QLineEdit* editFind_;
  QCheckBox* checkRegularExpression_;
  QCheckBox* checkMatchCase_;
  QComboBox* comboColumn_;
  QPushButton* buttonPrevious_;
  QPushButton* buttonNext_;
  QLineEdit* editFilter_;
  QLabel* labelFound_;
};

}  // namespace tarvo
