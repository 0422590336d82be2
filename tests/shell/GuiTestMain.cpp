// Entry point of the window tests: one offscreen application for every case, with
// the scripted prompt seam installed so that nothing ever waits on a person.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/Startup.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  SetUpApplication();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
