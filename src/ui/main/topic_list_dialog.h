#pragma once

// "Topic Selection": one dashboard list as a table of topics (their due state, status and
// caption); the chosen row's position is the result.

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace tarvo {

struct TopicRecord;

class TformSelection : public QDialog {
  Q_OBJECT

 public:
  TformSelection(const QString& title, const std::vector<const TopicRecord*>& topics, QWidget* parent = nullptr);

  // -1 when cancelled, else the 1-based position of the chosen topic in the list.
  [[nodiscard]] int chosen() const { return chosen_; }

 private:
  void choose(int row);

  QTableWidget* grid_ = nullptr;
  QPushButton* buttonSelect_ = nullptr;
  int chosen_ = -1;
};

}  // namespace tarvo
