#pragma once

// The one-line editor of a page's title.

#include <QDialog>

class QLineEdit;

namespace tarvo {

class TformTitle : public QDialog {
  Q_OBJECT

 public:
  explicit TformTitle(const QString& title, QWidget* parent = nullptr);
  // The typed title, trimmed; empty means "keep the old one".
  [[nodiscard]] QString title() const;

 private:
  QLineEdit* editTitle_;
};

}  // namespace tarvo
