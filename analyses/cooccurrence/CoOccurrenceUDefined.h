#pragma once
// The weights dialog of the co-occurrence analysis: one weight per species and one
// per site, used by the "User-Defined" row and column constraints.
#include <QDialog>
#include <vector>

#include "platform/StringGrid.h"

class QAction;
class QPushButton;

class TCoOccurrenceUserDefined : public QDialog {
  Q_OBJECT
 public:
  explicit TCoOccurrenceUserDefined(QWidget* Parent = nullptr);
  ~TCoOccurrenceUserDefined() override;

  TStringGrid* SpeciesWeightsGrid = nullptr;
  TStringGrid* SitesWeightsGrid = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* DefaultsButton = nullptr;
  QAction* OpenWeights1 = nullptr;
  QAction* SaveWeights1 = nullptr;
  QAction* Help1 = nullptr;

  // Which grid is edited: 0 the species grid, 1 the sites grid. Set by the options
  // dialog before the dialog is shown.
  int EditSitesWeights = 0;

  // Default contents from the main grid.
  void SetDefaults();  // species grid
  void SetColumns();   // sites grid
  // Reads a weights file into G (the visible grid) and checks its row count.
  void OpenWeightsFile(TStringGrid& G);
  void OpenWeightsFromPath(TStringGrid& G, const QString& Path);
  void SaveWeightsFile(TStringGrid& G);
  // True when every weight of G (column 1 of rows 1..) is a number >= 0; otherwise
  // reports the first row that is not and returns false.
  static bool TestUserDefined(const TStringGrid& G);
  // Column 1 of rows 1.. as numbers (a text that is not a number counts as 0).
  static std::vector<double> WeightValues(const TStringGrid& G);

  TStringGrid& VisibleGrid() { return EditSitesWeights == 1 ? *SitesWeightsGrid : *SpeciesWeightsGrid; }
  void OKButtonClick();
  void DefaultsButtonClick();
  // What happens each time the dialog is shown.
  void FormShow();

 protected:
  void showEvent(QShowEvent* Event) override;

 private:
  bool FirstShow = true;
  QString LastFileName;
};

extern TCoOccurrenceUserDefined* CoOccurrenceUserDefined;
