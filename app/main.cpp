#include <QApplication>

#include "shell/PelmorMain.h"
#include "app/Startup.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  SetUpApplication();
  CreateWindows();
  Pelmor->show();
  const int rc = QApplication::exec();
  DestroyWindows();
  return rc;
}
