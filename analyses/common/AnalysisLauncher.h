#pragma once
// Registers an analysis built on the framework with the main window's Analyze menu.
// Each analysis calls it once its windows exist, for example at the end of the
// results window's constructor:
//   RegisterLauncher(QStringLiteral("NicheOverlap"),
//                    AnalysisLauncher([] { return NicheOverlapOpts; }, [] { return NicheOverlap; }));
// The windows are asked for at each launch, so the order of creation does not matter.
// Deviations (species diversity, size overlap, chi-square) are set on the returned
// TLauncher before registering it (see shell/PelmorLaunchers.h).
#include <functional>

#include "shell/PelmorLaunchers.h"

class TAnalysisOpts;
class TAnalysisResults;

TLauncher AnalysisLauncher(std::function<TAnalysisOpts*()> Options, std::function<TAnalysisResults*()> Results);
