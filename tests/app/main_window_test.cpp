#include "app/main_window.h"

#include <QApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(MainWindow, OpensWithTheProgramTitleAndCloses) {
  QApplication::setApplicationName("Tarvo-1");
  TformMain window;
  window.show();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), "Tarvo-1");
  EXPECT_TRUE(window.close());
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace tarvo
