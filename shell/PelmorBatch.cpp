#include "shell/PelmorMain.h"

void TPelmor::ConnectLauncherMenus() {}
