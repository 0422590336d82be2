#include "shell/Startup.h"

#include <QWidget>
#include <vector>

#include "shell/PelmorMain.h"

namespace {
std::vector<QWidget*> Created;
}

void CreateWindows() {
  if (Pelmor) return;
  Created.push_back(new TPelmor());
}

void DestroyWindows() {
  for (auto it = Created.rbegin(); it != Created.rend(); ++it) delete *it;
  Created.clear();
}
