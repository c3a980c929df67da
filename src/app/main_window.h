#pragma once

#include <QMainWindow>

namespace tarvo {

// The program's main window. Owns the whole workspace for the run.
class TformMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit TformMain(QWidget* parent = nullptr);
};

}  // namespace tarvo
