#pragma once

// The viewer's status line: how many lines the file has so far, a bar that grows while a large
// file is still being indexed, and what the last find or filter found.

#include <QWidget>
#include <cstdint>

class QLabel;
class QProgressBar;

namespace tarvo {

class ViewerStatusLine : public QWidget {
  Q_OBJECT

 public:
  explicit ViewerStatusLine(QWidget* parent = nullptr);

  // `indexed` of `total` bytes read so far; the bar hides when all are.
  void showLines(std::size_t lines, std::uint64_t indexed, std::uint64_t total);
  void showSearch(const QString& text);

 private:
  QLabel* labelLines_;
  QProgressBar* progressIndex_;
  QLabel* labelSearch_;
};

}  // namespace tarvo
