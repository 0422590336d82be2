#include <QApplication>

#include "shell/PelmorMain.h"
#include "app/Startup.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pelmor"));
  QApplication::setApplicationDisplayName(QStringLiteral("Pelmor"));
  // The main window is hidden while an analysis runs; the program ends only when
  // the main window is closed.
  QApplication::setQuitOnLastWindowClosed(false);
  CreateWindows();
  Pelmor->show();
  const int rc = QApplication::exec();
  DestroyWindows();
  return rc;
}
