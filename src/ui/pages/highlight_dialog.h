#pragma once

// The highlighter's palette: 64 swatches, a choice between the text colour and the background,
// and a preview of the selected text (or a sample sentence) in the chosen colours.

#include <QDialog>

#include "ui/pages/highlight_colours.h"

class QFrame;
class QRadioButton;
class QTextEdit;

namespace tarvo {

class TformHilite : public QDialog {
  Q_OBJECT

 public:
  enum class Mode { Text, Background };
  TformHilite(const QString& selectedText, const QColor& background, Mode mode, QWidget* parent = nullptr);

  // What OK returns: the colours chosen (kNoColour for one not chosen).
  [[nodiscard]] int chosenText() const { return chosenText_; }
  [[nodiscard]] int chosenBack() const { return chosenBack_; }
  // As a click on swatch `index` (0 to 63) does.
  void swatchClick(int index);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QList<QFrame*> swatches_;
  QRadioButton* radioText_;
  QRadioButton* radioBack_;
  QTextEdit* preview_;
  int chosenText_ = kNoColour;
  int chosenBack_ = kNoColour;
};

}  // namespace tarvo
