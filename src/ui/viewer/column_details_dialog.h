#pragma once

#include <QDialog>
#include <array>
#include <string>

class QLineEdit;
class QRadioButton;

namespace tarvo {

// Edits one column's heading, sort type and display ("File Display - Column Details").
class TFileDisplayColumnForm : public QDialog {
  Q_OBJECT

 public:
  TFileDisplayColumnForm(const std::string& heading, const std::string& type,
                         const std::string& display, QWidget* parent = nullptr);

  // After OK: the edited values (a group without a checked button keeps its word); after
  // Cancel: the values given.
  [[nodiscard]] std::string heading() const { return heading_; }
  [[nodiscard]] std::string type() const { return type_; }
  [[nodiscard]] std::string display() const { return display_; }

  static constexpr std::array<const char*, 6> kTypeWords = {"text",  "number", "date1",
                                                             "date2", "date3",  "date4"};

 private:
  void buttonOkClick();

  std::string heading_;
  std::string type_;
  std::string display_;
  QLineEdit* editHeadingText_;
  std::array<QRadioButton*, 6> typeButtons_{};
  QRadioButton* radioVisible_;
  QRadioButton* radioHidden_;
};

}  // namespace tarvo
