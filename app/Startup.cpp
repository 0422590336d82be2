#include "app/Startup.h"

#include <QApplication>
#include <QWidget>
#include <vector>

#include "analyses/cooccurrence/CoOccurrenceOptions.h"
#include "analyses/cooccurrence/CoOccurrenceUDefined.h"
#include "analyses/cooccurrence/CoOccurrenceMain.h"
#include "analyses/guild/GuildStructureMain.h"
#include "analyses/macroecology/MacroEcologyUDefined1.h"
#include "analyses/macroecology/MacroEcologyUDefined2.h"
#include "analyses/macroecology/MacroecologyMain.h"
#include "analyses/macroecology/MacroecologyOptions.h"
#include "analyses/guild/GuildStructureOptions.h"
#include "analyses/standardtests/AnovaMain.h"
#include "analyses/standardtests/AnovaOptions.h"
#include "analyses/standardtests/ChiSquareMain.h"
#include "analyses/standardtests/ChiSquareOptions.h"
#include "analyses/standardtests/RegressionMain.h"
#include "analyses/standardtests/RegressionOptions.h"
#include "analyses/standardtests/RunsTestMain.h"
#include "analyses/standardtests/RunsTestOptions.h"
#include "analyses/nicheoverlap/NicheOverlapMain.h"
#include "analyses/nicheoverlap/NicheOverlapOptions.h"
#include "analyses/nicheoverlap/NicheOverlapUDefined.h"
#include "analyses/diversity/AbundancelevelsOptions.h"
#include "analyses/diversity/SpeciesDiversityMain.h"
#include "analyses/diversity/SpeciesDiversityOptions.h"
#include "analyses/sizeoverlap/SizeOverlapMain.h"
#include "analyses/sizeoverlap/SizeOverlapOptions.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined1.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined2.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined3.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined4.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined5.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined6.h"
#include "shell/AboutPelmor.h"
#include "shell/ChangeDirectoryDialog.h"
#include "shell/PelmorAdvancedEditor.h"
#include "shell/PelmorMain.h"
#include "shell/PelmorRestructureMatrix.h"
#include "shell/ProgressSims.h"

namespace {
std::vector<QWidget*> Created;
}

void SetUpApplication() {
  QApplication::setApplicationName(QStringLiteral("Pelmor"));
  // The main window is hidden while an analysis runs; the program ends only when
  // the main window is closed.
  QApplication::setQuitOnLastWindowClosed(false);
}

void CreateWindows() {
  if (Pelmor) return;
  Created.push_back(new TPelmor());
  Created.push_back(new TNicheOverlapUserDefined());
  Created.push_back(new TPelmorEditor());
  Created.push_back(new TProgress());
  Created.push_back(new TSizeOverlap());
  Created.push_back(new TSizeOverlapOpts());
  Created.push_back(new TPelmorAbout());
  Created.push_back(new TSizeOverLapUD1());
  Created.push_back(new TSizeOverLapUD2());
  Created.push_back(new TSizeOverLapUD3());
  Created.push_back(new TSizeOverLapUD4());
  Created.push_back(new TSizeOverLapUD5());
  Created.push_back(new TSizeOverLapUD6());
  Created.push_back(new TMacroecologyOpts());
  Created.push_back(new TNicheOverlap());
  Created.push_back(new TNicheOverlapOpts());
  Created.push_back(new TMacroEcology());
  Created.push_back(new TCoOccurrenceUserDefined());
  Created.push_back(new TMacroEcologyUD1());
  Created.push_back(new TMacroEcologyUD2());
  Created.push_back(new TRegressionOpts());
  Created.push_back(new TRegressionShell());
  Created.push_back(new TAnovaShell());
  Created.push_back(new TChiSquareShell());
  Created.push_back(new TAnovaOpts());
  Created.push_back(new TRunsTestShell());
  Created.push_back(new TChangeDirectory());
  Created.push_back(new TCoOccurrenceOpts());
  Created.push_back(new TGuildStructureOpts());
  Created.push_back(new TCoOccurrence());
  Created.push_back(new TChiSquareOpts());
  Created.push_back(new TGuildStructure());
  Created.push_back(new TPelmorRedoMatrix());
  Created.push_back(new TSpeciesDiversityOpts());
  Created.push_back(new TSpeciesDiversity());
  Created.push_back(new TRunsTestOpts());
  Created.push_back(new TAbundanceLevelsOpts());
}

void DestroyWindows() {
  for (auto it = Created.rbegin(); it != Created.rend(); ++it) delete *it;
  Created.clear();
}
