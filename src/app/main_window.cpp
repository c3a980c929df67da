#include "app/main_window.h"

#include <QApplication>

namespace tarvo {

TformMain::TformMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName("formMain");
  setWindowTitle(QApplication::applicationName());
  resize(1000, 700);
}

}  // namespace tarvo
