#pragma once
// The main window: the data matrix in MainGrid, the menus, and the run state that
// the shell and every analysis share.
#include <QMainWindow>
#include <QString>

#include "core/RunState.h"
#include "platform/StringGrid.h"
#include "shell/DataFiles.h"

class QAction;
class QGroupBox;
class QMenu;
class QPlainTextEdit;

class TPelmor : public QMainWindow, public TRunState {
  Q_OBJECT
 public:
  explicit TPelmor(QWidget* Parent = nullptr);
  ~TPelmor() override;

  // Published parts of the window.
  TStringGrid* MainGrid = nullptr;
  QGroupBox* BatchGroupBox = nullptr;
  QPlainTextEdit* Memo1 = nullptr;  // the batch file list
  QGroupBox* BatchSummaryBox = nullptr;
  TStringGrid* BatchGrid = nullptr;

  // Run state kept as text.
  QString FileName;
  QString HomeDir;
  // The folder of the program's executable: where the help page is looked for when
  // the start directory has none.
  QString ProgramDir;
  QString WorkDir;
  QString SourcePoolSize;

  // Menu items.
  QMenu* File1 = nullptr;
  QAction* New1 = nullptr;
  QAction* Open1 = nullptr;
  QAction* Close1 = nullptr;
  QAction* Save1 = nullptr;
  QAction* Save2 = nullptr;  // Save As
  QAction* AboutFile1 = nullptr;
  QAction* Batch1 = nullptr;
  QAction* ChangeDirectory1 = nullptr;
  QAction* Exit1 = nullptr;
  QMenu* Edit1 = nullptr;
  QAction* LockRowTitles1 = nullptr;
  QAction* LockColumnTitles1 = nullptr;
  QAction* ResizeMatrix1 = nullptr;
  QAction* TransposeMatrix1 = nullptr;
  QAction* EditMatrixAsText1 = nullptr;
  QMenu* Analyze1 = nullptr;
  QAction* CoOccurrence1 = nullptr;
  QAction* Macroecology1 = nullptr;
  QAction* NicheOverlap1 = nullptr;
  QAction* SizeOverlap1 = nullptr;
  QAction* SpeciesDiversity1 = nullptr;
  QMenu* StandardTests1 = nullptr;
  QAction* Anova1 = nullptr;
  QAction* ChiSquare1 = nullptr;
  QAction* Regression1 = nullptr;
  QAction* RunsTest1 = nullptr;
  QAction* GuildStructure1 = nullptr;
  QAction* Biogeography1 = nullptr;
  QMenu* Help1 = nullptr;
  QAction* HelpTopics1 = nullptr;
  QAction* About1 = nullptr;

  // File commands.
  void New1Click();
  void Open1Click();
  void Close1Click();
  // Both return true when the matrix was written (false when cancelled or failed).
  bool Save1Click();
  bool Save2Click();
  // True when the matrix was changed since it was last opened, saved or created.
  bool GridModified() const;
  // The present matrix counts as saved.
  void MarkGridSaved();
  // Before a changed matrix is replaced or dropped: "Save changes to " + FileName +
  // "?" with Yes (save; Save As for an untitled matrix), No and Cancel. True when the
  // caller may go on: nothing was changed, the matrix was saved, or the user said No.
  bool QuerySaveChanges();
  // Reads the file named by FileName for the batch loop; sets RunEnabled.
  void OpenBatchFile();
  // Writes any string grid to a data file; false (after "Error writing file.") on failure.
  bool SaveGridToFile(const TStringGrid& Grid, const QString& Name);
  void LockRowColumn();
  void SetDefaultMatrix();

  // Shows the main window again after an analysis (selects ErrorRow, closes a
  // progress display left open by a batch).
  void FormShow();
  // The "Close Pelmor?" question (the save question for a changed matrix); true
  // when the user agreed.
  bool FormCloseQuery();

  // --- Services: help, simulated data sets (shell/PelmorServices.cpp) ---
  void ConnectServiceMenus();
  // Opens the help page "MainFrame.htm" (FindHelpPage) with the desktop's program, or
  // in the program's own help window when the desktop cannot open it; "Could not
  // execute MainFrame.htm" when the page is found nowhere.
  void RunHelp();
  // The help page of the start directory, else the one beside the executable; empty
  // when neither exists. Called with the start directory current.
  QString FindHelpPage() const;
  // Help > "&About": the About box, modally.
  void About1Click();
  // Simulated data sets of iteration I, written to "Sim" + I + ".txt" in the current
  // directory ("Sim" + I + "_" + J + ".txt" when J is not 0). Each returns true when the
  // file was written. On failure it shows its message once and sets AbortRequested, so
  // that the run stops; while AbortRequested is already set it writes nothing and
  // returns false quietly. Titles and the matrix extent come from MainGrid.
  bool SaveSimulation(int32_t I, int32_t J, const TStringGrid& Grid);
  // Matrix [column][row] with data from index 1 (integers; reals in the general format).
  bool SaveSimulation_2(int32_t I, int32_t J, const std::vector<std::vector<int32_t>>& M);
  bool SaveSimulation_3(int32_t I, int32_t J, const std::vector<std::vector<double>>& M);
  // Matrix indexed from 0: M[c - 1][k - 1] is written for grid cell (c, k).
  bool SaveSimulation_4(int32_t I, int32_t J, const std::vector<std::vector<int32_t>>& M);
  // "species size", then "species" + k + " " + F(X[k - 1]) for k = 1..N.
  bool SaveNumberLineToFile(int32_t I, int32_t N, const std::vector<double>& X);
  // "species " + Name1 + " " + Name2, then one line per species k = 1..N.
  bool SaveTwoColumnsToFile(int32_t I, int32_t N, const std::vector<double>& X, const std::vector<double>& Y,
                            const QString& Name1, const QString& Name2);
  bool SaveTwoColumnsToFile_Real_Integer(int32_t I, int32_t N, const std::vector<double>& X,
                                         const std::vector<int32_t>& Y, const QString& Name1,
                                         const QString& Name2);
  bool SaveTwoColumnsToFile_Labels(int32_t I, int32_t N, const std::vector<QString>& Labels,
                                   const std::vector<double>& Y, const QString& Name1, const QString& Name2);
  bool SaveTwoColumnsToFile_Labels(int32_t I, int32_t N, const std::vector<std::string>& Labels,
                                   const std::vector<double>& Y, const QString& Name1, const QString& Name2);
  // --- end of services ---

  // --- Matrix editing (shell/PelmorRestructureMatrix.cpp) ---
  void ConnectEditMenus();
  // Edit > "Resize &matrix": the resize dialog, then the grid resized as asked.
  void RestructMatrixClick();
  // File > "Abou&t file": the resize dialog as a read-only box about the data.
  void About2Click();
  // Edit > "lock &Row titles" / "lock &Column titles": the title column / row fixed
  // or free, the item checked accordingly.
  void LockRowTitlesClick();
  void LockColumnTitlesClick();
  // Edit > "&Edit matrix as text": the matrix goes through a temporary data file
  // ("PELMOR_TEMP-" + a unique part + ".$$$" in the system's temporary folder,
  // removed when the editor closes) into the editor window; when its changes are
  // accepted the grid is rebuilt from its text.
  void Advanced1Click();
  // Rebuilds MainGrid from the editor's text lines: one row per line, the column count
  // from the blanks of the first line. False (with its message, the grid unchanged)
  // when the text would make more cells than a data file may have.
  bool FileToGrid();
  // --- end of matrix editing ---

  // --- Launchers and batch mode (shell/PelmorBatch.cpp, shell/PelmorLaunchers.cpp) ---
  void ConnectLauncherMenus();
  // File > "&Batch ... on/off": switches batch mode on or off.
  void Batch1Click();
  void BatchOn();
  void BatchOff();
  // Fills the batch list with the "*.txt" files of the current directory (regular
  // files only, sorted by name).
  void SetUpBatch();
  // File > "Change &Directory" (batch mode only).
  void ChangeDirectory1Click();
  // The batch summary grid: back to its header row; the header texts; one row more.
  void ClearBatchGrid();
  void BuildBatchSummaryFirstRow();
  void BuildBatchSummaryFile(const QString& Name, const QString& SES, const QString& LowerTail,
                             const QString& UpperTail);
  // Writes "Summary" + the data file's name (the summary lines) and "BatchSummary.txt"
  // into the current directory; false (after its message) when either was not written.
  bool SaveBatchSummary(const QStringList& SummaryLines);
  // Starts the analysis registered under Name (see shell/PelmorLaunchers.h); false
  // when no analysis is registered under it (the menu item stays inert).
  bool LaunchAnalysis(const QString& Name);
  // --- end of launchers and batch mode ---

 protected:
  void showEvent(QShowEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;

 private:
  void CreateMenus();
  void FormCreate();
  void SetFileCommandsEnabled(bool On);
  void ReplaceGrid(TCellTable Cells, int Cols);
  void ReplaceGrid(TGridCells Cells);
  // The default matrix under the untitled name, without a question.
  void NewMatrix();
  quint64 SavedEdits = 0;
};

extern TPelmor* Pelmor;
