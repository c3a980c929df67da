#pragma once

#include <QDialog>
#include <QLabel>
#include <array>

class QGridLayout;
class QHBoxLayout;
class QToolButton;

namespace tarvo {

// A caption that picks its option like the picture button beside it, so a click on the words
// is as good as a click on the image.
class TClickLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// Asks which of the four typed kinds (task, notes, idea, finance) a topic should become. The
// chosen option's caption is bold; OK gives its type code, Cancel or Escape gives -1.
class TformTopicSelect : public QDialog {
  Q_OBJECT

 public:
  explicit TformTopicSelect(int currentType, QWidget* parent = nullptr);

  // The type code OK confirmed, or -1 (cancelled, or OK with nothing chosen).
  [[nodiscard]] int chosenType() const { return chosenType_; }

  // Runs the dialog modally and returns its chosen type.
  static int Choose(int currentType, QWidget* parent);

 private:
  struct Option {
    TClickLabel* label;
    int type;
  };

  Option addOption(QGridLayout* grid, const QString& name, const QString& caption, int type);
  QHBoxLayout* buttonRow();
  void markChosen(int type);
  void buttonOKClick();

  std::array<Option, 4> options_{};
  int chosenType_ = -1;
};

}  // namespace tarvo
