#pragma once
// The Analyze-menu launchers. The shell knows no analysis: each analysis registers,
// when its windows are created, what its launcher needs (its options dialog, how to
// read the dialog's general settings, and its results window's Run) under the name of
// its menu item. An item with nothing registered under its name does nothing.
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

struct TLauncher {
  // The options dialog, shown modally by the launcher (asked for at each launch, so
  // that an analysis may register before all of its windows exist).
  std::function<QWidget*()> OptionsDialog;
  // The dialog's "Number of iterations:" and "Random number seed:" texts and its
  // "&Save simulated matrices" box, read when the dialog was accepted.
  std::function<QString()> IterationsText;
  std::function<QString()> SeedText;
  std::function<bool()> SaveMatrices;
  // The results window's Run.
  std::function<void()> Run;

  // Deviations of single analyses from the common launcher.
  // False: the batch summary grid is not emptied at the start, so rows of earlier
  // launches stay (species diversity).
  bool ClearBatchGridAtStart = true;
  // False: the "&Save simulated matrices" box is not copied into the run state.
  bool CopySaveMatrices = true;
  // Called before the dialog is shown, with the main window still visible; false ends
  // the launch there (size overlap's source-pool size, chi-square's expected matrix).
  std::function<bool()> BeforeDialog;
  // Called in the batch loop after each file was read and before it is run; false
  // ends the batch without running that file (its own message shown by it).
  std::function<bool()> AfterBatchFileRead;
  // Replaces the whole common launcher (an analysis whose launch departs from it in
  // its order); it may call AcceptLaunchOptions and RunBatchLoop below.
  std::function<void()> CustomLaunch;
};

// Menu-item names: "CoOccurrence", "Macroecology", "NicheOverlap", "SizeOverlap",
// "SpeciesDiversity", "Anova", "ChiSquare", "Regression", "RunsTest", "GuildStructure".
void RegisterLauncher(const QString& Name, TLauncher Launcher);
void UnregisterLauncher(const QString& Name);
// The launcher registered under Name, or nullptr.
const TLauncher* FindLauncher(const QString& Name);

// The steps of the common launcher, for analyses whose launch departs from it.
// Copies the dialog's settings into the run state when the dialog was accepted
// (sets RunEnabled); returns RunEnabled.
bool AcceptLaunchOptions(const TLauncher& L);
// The batch loop: one file of the batch list after the other while RunEnabled and
// not AbortRequested.
void RunBatchLoop(const TLauncher& L);
// The common launcher.
void RunCommonLauncher(const TLauncher& L);
