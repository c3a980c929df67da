#pragma once

// The summary panel: over a sky, one picture per dashboard list with its caption ("Overdue: 3"),
// laid out on an 800 × 600 area centred in the panel. A picture lights up under the pointer;
// a click or double click on a picture or its caption asks for that list; a click on the sky
// hides the panel. The pictures are drawn here, in code.

#include <QLabel>
#include <QWidget>
#include <array>

#include "workspace/dashboard.h"

namespace tarvo {

class TSummaryPicture;

class TSummaryPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TSummaryPanel(QWidget* parent = nullptr);

  void setCaption(Category category, const QString& caption);
  [[nodiscard]] QLabel* captionLabel(Category category) const;
  [[nodiscard]] QWidget* picture(Category category) const;

  // The picture of a list, 168 × 168, lit (under the pointer) or not.
  static QPixmap Picture(Category category, bool lit);

 signals:
  void categoryChosen(Category category);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void layOut();

  std::array<QLabel*, kCategoryCount> pictures_{};
  std::array<QLabel*, kCategoryCount> captions_{};
  QLabel* hint_ = nullptr;
  int lit_ = -1;
};

}  // namespace tarvo
