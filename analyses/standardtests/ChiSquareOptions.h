#pragma once
// The options dialog of the chi-square test: the simulation scheme, the expected
// matrix (computed from the data's margins, editable, loadable from and savable to a
// file) and the common General tab. The dialog also keeps the margins of the data
// for the run.
#include <QString>
#include <cstdint>
#include <vector>

#include "analyses/common/AnalysisOptions.h"
#include "analyses/standardtests/ChiSquareEngine.h"

class QAction;
class QGroupBox;
class QMenuBar;
class TRadioGroup;
class TStringGrid;

class TChiSquareOpts : public TAnalysisOpts {
  Q_OBJECT
 public:
  explicit TChiSquareOpts(QWidget* Parent = nullptr);
  ~TChiSquareOpts() override;

  QMenuBar* MainMenu = nullptr;
  QAction* Open1 = nullptr;                     // "&Open"
  QAction* SaveAs1 = nullptr;                   // "Save &As"
  QAction* CalculateExpectedMatrix1 = nullptr;  // "Calculate &expected matrix"
  QWidget* PreferencesSheet = nullptr;          // "Preferences"
  TRadioGroup* RandomizationGroup = nullptr;    // "Si&mulation options"
  QGroupBox* ExpectedBox = nullptr;             // "Expected matrix"
  TStringGrid* ExpectedGrid = nullptr;          // editable, no fixed rows or columns

  // The margins of the data from the last CalculateExpectedMatrix.
  TContingencyMargins Margins;
  // Set at creation: the first showing computes the expected matrix.
  bool Recompute = true;

  // Sizes ExpectedGrid like MainGrid, writes MainGrid's titles into its row 0 and
  // column 0, and fills every data cell with row total * column total / grand total
  // (7 decimals). A data cell that is not an integer ("Not an integer @ Row r Col c")
  // or is negative ("Invalid value @ Row r Col c") is refused with its message; a grand
  // total of 0 is refused without one. A refusal leaves the data cells empty and the
  // totals 0, so no earlier matrix can serve a run; it returns false.
  bool CalculateExpectedMatrix();
  void FormCreate() { Recompute = true; }
  // At each showing: recomputes when the sizes differ from MainGrid's or the recompute
  // flag is set (the flag is then cleared); otherwise the grid stays as left.
  void FormShow();
  void CalculateExpectedMatrix1Click() { CalculateExpectedMatrix(); }

  // File > "&Open": the open dialog "Select an ASCII file to open.", then the file read
  // into ExpectedGrid from cell (0, 0) ("Error opening file." when it cannot be read).
  // The grid keeps its size; cells beyond it are ignored. False when nothing was read.
  bool Open1Click();
  // Reads an expected-matrix file into ExpectedGrid (as "&Open" does after the dialog).
  bool LoadExpectedFile(const QString& Path);
  // File > "Save &As": the save dialog "Select a file name." with "expected.txt", then
  // SaveGridToFile. False when cancelled or not written.
  bool SaveAs1Click();
  // Every row of Grid, its cells joined by one blank, CR LF after each row
  // ("Error writing file." when the file could not be written).
  bool SaveGridToFile(const TStringGrid& Grid, const QString& Name);

  // The General tab's defaults, the expected matrix recomputed, "randomize matrix",
  // the focus on "&Run".
  void ResetDefaults() override;
  void ResetDefaultsButtonClick() { ResetDefaults(); }

 protected:
  void showEvent(QShowEvent* Event) override;

 private:
  void EmptyExpected();
};

extern TChiSquareOpts* ChiSquareOpts;
