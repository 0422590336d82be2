#include "app/Startup.h"

#include <QWidget>
#include <vector>

#include "analyses/cooccurrence/CoOccurrenceOptions.h"
#include "analyses/cooccurrence/CoOccurrenceUDefined.h"
#include "analyses/cooccurrence/CoOccurrenceMain.h"
#include "analyses/diversity/AbundancelevelsOptions.h"
#include "analyses/diversity/SpeciesDiversityMain.h"
#include "analyses/diversity/SpeciesDiversityOptions.h"
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
  // TNicheOverlapUserDefined, TPelmorEditor ...
  Created.push_back(new TProgress());
  // TSizeOverlap, TSizeOverlapOpts ...
  Created.push_back(new TPelmorAbout());
  // TSizeOverLapUD1 ... TSizeOverLapUD6, TMacroecologyOpts, TNicheOverlap, TNicheOverlapOpts, TMacroEcology ...
  Created.push_back(new TCoOccurrenceUserDefined());
  // TMacroEcologyUD1 ... TRunsTestShell
  Created.push_back(new TChangeDirectory());
  Created.push_back(new TCoOccurrenceOpts());
  // TGuildStructureOpts ...
  Created.push_back(new TCoOccurrence());
  // TChiSquareOpts, TGuildStructure, TPelmorRedoMatrix ...
  Created.push_back(new TSpeciesDiversityOpts());
  Created.push_back(new TSpeciesDiversity());
  // TRunsTestOpts ...
  Created.push_back(new TAbundanceLevelsOpts());
}

void DestroyWindows() {
  for (auto it = Created.rbegin(); it != Created.rend(); ++it) delete *it;
  Created.clear();
}
