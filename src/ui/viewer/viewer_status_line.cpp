#include "ui/viewer/viewer_status_line.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>

namespace tarvo {

ViewerStatusLine::ViewerStatusLine(QWidget* parent) : QWidget(parent) {
  setObjectName("statusViewer");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  labelLines_ = new QLabel(this);
  labelLines_->setObjectName("labelLines");
  progressIndex_ = new QProgressBar(this);
  progressIndex_->setObjectName("progressIndex");
  progressIndex_->setRange(0, 1000);
  progressIndex_->setMaximumWidth(200);
  progressIndex_->setTextVisible(false);
  progressIndex_->hide();
  labelSearch_ = new QLabel(this);
  labelSearch_->setObjectName("labelSearch");
  layout->addWidget(labelLines_);
  layout->addWidget(progressIndex_);
  layout->addStretch();
  layout->addWidget(labelSearch_);
}

void ViewerStatusLine::showLines(std::size_t lines, std::uint64_t indexed, std::uint64_t total) {
  const QString count = QLocale().toString(static_cast<qulonglong>(lines));
  labelLines_->setText(lines == 1 ? count + " line" : count + " lines");
  const bool reading = indexed < total;
  progressIndex_->setVisible(reading);
  if (reading) progressIndex_->setValue(static_cast<int>(1000.0 * static_cast<double>(indexed) / static_cast<double>(total)));
}

void ViewerStatusLine::showSearch(const QString& text) { labelSearch_->setText(text); }

}  // namespace tarvo
