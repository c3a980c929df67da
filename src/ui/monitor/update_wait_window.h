#pragma once

// The small window the software monitor shows while it works: the program's title as its
// caption, one centred, word-wrapped text, and during a download its progress with a button
// to cancel it. It stays on top, centred over the window that owns it; a text may close the
// window by itself after a while.

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tarvo {

class TformUpdateWait : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 389;
  static constexpr int kClientHeight = 194;

  TformUpdateWait(const QString& programTitle, QWidget* owner);

  // Shows the text; `milliseconds` > 0 closes the window after that long.
  void showText(const QString& text, int milliseconds);
  void showDownload(const QString& address);
  void showProgress(qint64 received, qint64 total);
  void hideDownload();

 signals:
  void cancelRequested();

 private:
  void centreOverOwner();

  QWidget* owner_;
  QLabel* labelWait_;
  QProgressBar* progressDownload_;
  QPushButton* buttonCancelDownload_;
  QTimer* timerClose_;
};

}  // namespace tarvo
