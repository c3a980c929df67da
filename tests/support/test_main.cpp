// The main of every test binary: Qt must never look for a display, so the offscreen platform
// is chosen before any Qt object exists.
#include <gtest/gtest.h>

#include <cstdlib>

#ifdef TARVO_TEST_GUI
#include <QApplication>
#else
#include <QCoreApplication>
#endif

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
#ifdef TARVO_TEST_GUI
  QApplication application(argc, argv);
#else
  QCoreApplication application(argc, argv);
#endif
  return RUN_ALL_TESTS();
}
