#pragma once
// The frame of every analysis's results window (TNicheOverlap, TRegressionShell ...)
// and the one road of a run, from the checks to the display of the results.
//
// An analysis derives from TAnalysisResults, adds its tabs before the "Summary" tab
// (AddSheet), and supplies its own steps by overriding the virtual methods below; Run
// calls them in the order every analysis shares:
//   Prepare; [start time]; Init (then the frame's guard on the iteration count and the
//   data size); [observed]; progress window; [observed]; stop flag cleared;
//   [start time]; [observed]; for each block (one unless the analysis runs its
//   iterations in blocks): BeginBlock, then for i = 1..Iterations: pending messages,
//   stop test, Simulate(i), stop test, SaveSimulated(i) when "&Save simulated
//   matrices" is checked, Measure(i), StepProgress(i); EndBlock; stop test; Summarize;
//   Display; BuildSummary; stop time; result page; batch row; batch save (the
//   analysis's own files, then the summary files) or the results window shown.
//   After [observed], after each Measure and after Summarize, CheckFigures: a figure
//   that is not a finite number ends the run with its message, as a failure.
// Where the start time and the observed statistics come is set by Order.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "analyses/common/FigureCheck.h"
#include "analyses/common/RunHooks.h"
#include "analyses/common/SummaryText.h"

class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TAnalysisOpts;
class TStringGrid;

struct TRunOrder {
  enum TStartTime { StartBeforeInit, StartAfterStopFlagCleared };
  enum TObserved { ObservedAfterInit, ObservedAfterProgress, ObservedAfterStopFlagCleared };
  TStartTime StartTime = StartAfterStopFlagCleared;
  TObserved Observed = ObservedAfterStopFlagCleared;
  // Pending messages are processed once after the progress window is shown (species
  // diversity does not).
  bool ProcessMessagesBeforeLoop = true;
};

// The three texts a run adds to the batch summary grid.
struct TBatchRow {
  QString SES, LowerTail, UpperTail;
};

class TAnalysisResults : public QDialog {
  Q_OBJECT
 public:
  // Caption: "Pelmor -- " + AnalysisName + " Results" (a caption given whole when
  // WholeCaption is set).
  explicit TAnalysisResults(const QString& AnalysisName, bool WholeCaption = false, QWidget* Parent = nullptr);

  QTabWidget* PageControl1 = nullptr;
  QWidget* SummarySheet = nullptr;  // "Summary"
  QPlainTextEdit* Memo1 = nullptr;  // the summary text (editable)
  QPushButton* SaveSummaryButton = nullptr;  // "&Save summary to file"
  QPushButton* HelpButton = nullptr;
  QPushButton* CloseButton = nullptr;
  QPlainTextEdit* TimeMemo = nullptr;  // line 0 "Stop time = ", line 1 "Start time = "

  // A new tab placed before the "Summary" tab.
  QWidget* AddSheet(const QString& Caption);
  // Shows or hides a tab (only a change is passed on to the tab widget).
  void SetSheetVisible(QWidget* Sheet, bool Visible);
  // Line 0 or 1 of the time pane.
  void SetTimeLine(int Line, const QString& Text);
  QString TimeLine(int Line) const;

  // The lines of the summary pane.
  QStringList SummaryLines() const;
  // "&Save summary to file": save dialog "Select a file name." with "summary.txt";
  // the summary lines are written with CR LF. False (after "Error writing file.")
  // when the file could not be written; false without a message when cancelled.
  bool SaveSummaryButtonClick();
  void HelpButtonClick();

  // The road of a run. Called by the launcher with the main window hidden.
  void Run();

  // Figures of the run in force, for the analysis's own steps.
  int32_t Iterations = 0;    // the run's iteration count (ReadIterations)
  int32_t SeedEntered = 0;   // the dialog's seed
  uint32_t SeedUsed = 0;     // the seed in force (SeedFromDialog)
  bool SaveSimulations = false;  // "&Save simulated matrices" as read when the run began
  // True once the last run came through to its results (tests and callers).
  bool Completed = false;

 protected:
  // Every text pane of the window passes Tab on to the next control, so that each
  // tab, pane and button is reached from the keyboard.
  void showEvent(QShowEvent* Event) override;

  // --- what each analysis supplies ---
  // Its options dialog.
  virtual TAnalysisOpts* OptionsDialog() const = 0;
  // The model name shown by the progress window.
  virtual QString ModelName() const = 0;
  virtual TRunOrder Order() const { return {}; }
  // Work before anything else (co-occurrence's weight-grid check); false ends the
  // run at once (the step has shown its message and set the stop flag as it should).
  virtual bool Prepare() { return true; }
  // The analysis's checks of the data and the options with their messages, its
  // limits on Iterations, the reading of its options and the seeding rule
  // (ReadIterations, SeedFromDialog). False: the run ends before the progress window.
  virtual bool Init() = 0;
  // Shown after a refused Init (and after a refusal by the frame's guard), and the
  // stop flag set; an empty text adds nothing and leaves the flag to Init.
  virtual QString InitFailedMessage() const { return QStringLiteral("Initialization failed."); }
  // The least data rows and columns (below the titles) the statistics need; the frame
  // refuses a smaller matrix with a message after Init, before anything is computed.
  virtual int MinDataRows() const { return 1; }
  virtual int MinDataCols() const { return 1; }
  // The observed statistics. False: a failure (its message shown); the run ends.
  virtual bool Observed() = 0;
  // Builds the I-th randomized data set (I from 1). False: a failure (its message
  // shown); the run ends. Setting the stop flag inside has the same effect.
  virtual bool Simulate(int32_t I) = 0;
  // Writes the I-th data set through the shell's save services.
  virtual void SaveSimulated(int32_t /*I*/) {}
  // The statistics of the I-th data set, stored as its simulated values.
  virtual void Measure(int32_t I) = 0;
  // Hands every statistic of the run to the check (TFigureCheck::Statistic), whose
  // stage says which figures it looks at: the observed ones, those of the data set
  // Check.Iteration() just measured, or the summaries.
  virtual void CheckFigures(TFigureCheck& Check) const = 0;
  // The iterations may run in blocks of Iterations each (species diversity's curves:
  // one block per level); BeginBlock comes before a block's first iteration, EndBlock
  // after its last (B from 0). False from either ends the run as a failed Simulate does.
  virtual int32_t Blocks() const { return 1; }
  virtual bool BeginBlock(int32_t /*B*/) { return true; }
  virtual bool EndBlock(int32_t /*B*/) { return true; }
  // Moves the progress window on after iteration I: one step per iteration.
  virtual void StepProgress(int32_t I);
  // After the loop: means, variances, tail counts, effect sizes, histograms
  // (SummarizeSimulation per statistic).
  virtual void Summarize() = 0;
  // Writes the figures into the analysis's tabs.
  virtual void Display() {}
  // The summary lines: Header, option lines, Separator, StatBlock ..., InputMatrix.
  virtual void BuildSummary(TSummaryText& Summary) = 0;
  // The page shown first after a run (the first tab unless overridden).
  virtual QWidget* ResultPage() const;
  // The batch row's texts of the analysis's main statistic.
  virtual TBatchRow BatchRow() const = 0;
  // Releases the run's working storage (after a completed, failed or aborted run).
  virtual void ReleaseStorage() {}
  // In batch mode: the analysis's own batch files, written before the summary files;
  // false (after its message) fails the batch save.
  virtual bool SaveBatchFiles() { return true; }

  // --- services for the analysis's steps ---
  // Iterations := the count the launcher copied from the dialog (the dialog's own,
  // by the integer text rule, when the run was not launched).
  void ReadIterations();
  // SeedEntered := the dialog's seed; the generator is seeded by the rule of every
  // run; SeedUsed := the seed in force.
  void SeedFromDialog();
  // Hooks for the computing routines: pending messages, the stop flag, messages,
  // the progress caption and bar.
  TRunHooks& Hooks();
  // The "Input matrix" tab: Grid becomes a read-only copy of MainGrid, titles
  // included and fixed (one table copy of shared texts, not a cell-by-cell fill).
  static void ShowInputMatrix(TStringGrid& Grid);

 private:
  bool GuardRunSize();
  void EndWithoutResults();
  // CheckFigures at one stage; false (its message shown, the stop flag set) when a
  // figure is not finite.
  bool FiguresFinite(TFigureStage Stage, int32_t Iteration = 0);
  bool ObservedFinite() { return Observed() && FiguresFinite(TFigureStage::Observed); }
};

// Hooks that reach the program's windows: the platform's message processing (cheap
// when called often), the main window's AbortRequested, message boxes (each a
// refusal that ends the run, shown after the progress window was closed), the
// progress window's caption and bar.
class TWindowRunHooks : public TRunHooks {
 public:
  void ProcessMessages() override;
  bool StopRequested() const override;
  void RequestStop() override;
  void Message(const std::string& Text) override;
  void SetCaption(const std::string& Text) override;
  void StepProgress(int32_t Count) override;
  void SetProgressRange(int32_t Maximum, int32_t Position) override;
};
