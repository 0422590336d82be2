#include "shell/PelmorMain.h"

void TPelmor::ConnectServiceMenus() {}
