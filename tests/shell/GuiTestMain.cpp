// Entry point of the window tests: one offscreen application for every case, with
// the scripted prompt seam installed so that nothing ever waits on a person.
#include <gtest/gtest.h>

#include <QApplication>
#include <QString>

#include "app/Startup.h"

namespace {
QtMessageHandler QtDefault = nullptr;

// The offscreen platform warns on every window raised or resized that it cannot do so;
// nothing here needs it to, and the warnings would bury a failing case's own output.
void Messages(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
  if (Type == QtWarningMsg && Text.startsWith(QLatin1String("This plugin does not support "))) return;
  QtDefault(Type, Context, Text);
}
}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QtDefault = qInstallMessageHandler(Messages);
  QApplication app(argc, argv);
  SetUpApplication();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
