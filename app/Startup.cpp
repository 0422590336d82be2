#include "app/Startup.h"

#include <QWidget>
#include <vector>

#include "analyses/cooccurrence/CoOccurrenceOptions.h"
#include "analyses/cooccurrence/CoOccurrenceUDefined.h"
#include "analyses/cooccurrence/CoOccurrenceMain.h"
#include "analyses/nicheoverlap/NicheOverlapMain.h"
#include "analyses/nicheoverlap/NicheOverlapOptions.h"
#include "analyses/nicheoverlap/NicheOverlapUDefined.h"
#include "shell/AboutPelmor.h"
#include "shell/ChangeDirectoryDialog.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"

namespace {
std::vector<QWidget*> Created;
}

void CreateWindows() {
  if (Pelmor) return;
  Created.push_back(new TPelmor());
  Created.push_back(new TNicheOverlapUserDefined());
  // TPelmorEditor
  Created.push_back(new TProgress());
  // TSizeOverlap, TSizeOverlapOpts ...
  Created.push_back(new TPelmorAbout());
  // TSizeOverLapUD1 ... TSizeOverLapUD6, TMacroecologyOpts
  Created.push_back(new TNicheOverlap());
  Created.push_back(new TNicheOverlapOpts());
  // TMacroEcology
  Created.push_back(new TCoOccurrenceUserDefined());
  // TMacroEcologyUD1 ... TRunsTestShell
  Created.push_back(new TChangeDirectory());
  Created.push_back(new TCoOccurrenceOpts());
  // TGuildStructureOpts ...
  Created.push_back(new TCoOccurrence());
}

void DestroyWindows() {
  for (auto it = Created.rbegin(); it != Created.rend(); ++it) delete *it;
  Created.clear();
}
