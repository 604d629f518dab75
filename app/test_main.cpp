// Runs the simulator's widget tests with a Qt application on the offscreen platform, under a
// UTF-8 locale as a user's desktop would set, so the number format guard is put to the test.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "app/startup.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  setenv("LC_ALL", "C.UTF-8", 1);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  app::useClassicNumberFormat();
  return RUN_ALL_TESTS();
}
