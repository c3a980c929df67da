#include <QApplication>

#include "app/main_window.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Tarvo-1");
  tarvo::TformMain window;
  window.show();
  return QApplication::exec();
}
