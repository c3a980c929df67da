#include "ui/monitor/update_wait_window.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tarvo {

TformUpdateWait::TformUpdateWait(const QString& programTitle, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint), owner_(owner) {
  setObjectName("formUpdateWait");
  setWindowTitle(programTitle);
  setFixedSize(kClientWidth, kClientHeight);
  auto* layout = new QVBoxLayout(this);
  labelWait_ = new QLabel(this);
  labelWait_->setObjectName("labelWait");
  labelWait_->setAlignment(Qt::AlignCenter);
  labelWait_->setWordWrap(true);
  layout->addWidget(labelWait_, 1);
  progressDownload_ = new QProgressBar(this);
  progressDownload_->setObjectName("progressDownload");
  progressDownload_->setAccessibleName("Download");
  layout->addWidget(progressDownload_);
  buttonCancelDownload_ = new QPushButton("Cancel", this);
  buttonCancelDownload_->setObjectName("buttonCancelDownload");
  layout->addWidget(buttonCancelDownload_, 0, Qt::AlignHCenter);
  connect(buttonCancelDownload_, &QPushButton::clicked, this, &TformUpdateWait::cancelRequested);
  hideDownload();
  timerClose_ = new QTimer(this);
  timerClose_->setSingleShot(true);
  connect(timerClose_, &QTimer::timeout, this, &QWidget::hide);
}

void TformUpdateWait::showText(const QString& text, int milliseconds) {
  timerClose_->stop();
  labelWait_->setText(text);
  centreOverOwner();
  show();
  raise();
  if (milliseconds > 0) timerClose_->start(milliseconds);
  // The monitor goes on working on this thread: the window is drawn now.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TformUpdateWait::showDownload(const QString& address) {
  progressDownload_->setRange(0, 0);  // busy until the size is known
  progressDownload_->setFormat(address);
  progressDownload_->show();
  buttonCancelDownload_->show();
}

void TformUpdateWait::showProgress(qint64 received, qint64 total) {
  if (total <= 0) return;
  // Kept in kilobytes so sizes beyond what an int holds still fit the bar.
  progressDownload_->setRange(0, static_cast<int>(total / 1024) + 1);
  progressDownload_->setValue(static_cast<int>(received / 1024));
  progressDownload_->setFormat("%p%");
}

void TformUpdateWait::hideDownload() {
  progressDownload_->hide();
  buttonCancelDownload_->hide();
}

void TformUpdateWait::centreOverOwner() {
  if (owner_ == nullptr) return;
  const QRect over = owner_->window()->frameGeometry();
  move(over.center() - rect().center());
}

}  // namespace tarvo
