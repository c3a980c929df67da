#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;

namespace tarvo {

// Chooses one of a file's versions: the file itself and its numbered backup copies.
class TFormSelectVersion : public QDialog {
  Q_OBJECT

 public:
  explicit TFormSelectVersion(const std::vector<std::string>& paths, QWidget* parent = nullptr);

  [[nodiscard]] int selectedIndex() const { return selectedIndex_; }
  [[nodiscard]] bool cancelled() const { return cancelled_; }

 private:
  void buttonOpenClick();
  void buttonCancelClick();

  QTreeWidget* listFiles_;
  QPushButton* buttonOpen_;
  int selectedIndex_ = 0;
  bool cancelled_ = false;
};

}  // namespace tarvo
