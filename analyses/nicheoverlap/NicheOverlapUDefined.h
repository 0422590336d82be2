#pragma once
// The resource-state weights dialog of the niche overlap analysis: one weight per
// resource state (main grid column), row r of the grid for column r.
#include <QDialog>

#include "platform/StringGrid.h"

class QAction;
class QPushButton;

class TNicheOverlapUserDefined : public QDialog {
  Q_OBJECT
 public:
  explicit TNicheOverlapUserDefined(QWidget* Parent = nullptr);
  ~TNicheOverlapUserDefined() override;

  TStringGrid* SitesWeightsGrid = nullptr;
  TStringGrid* SpeciesWeightGrid = nullptr;  // on the form, takes no part
  QPushButton* OKButton = nullptr;
  QPushButton* ResetDefaultsButton = nullptr;
  QAction* Open1 = nullptr;  // "&Open weights"
  QAction* Save1 = nullptr;  // "&Save weights"
  QAction* Help1 = nullptr;

  // Default weights from the main grid: "Sites" / "Weights", then each column title
  // with "1.0".
  void SetColumns();
  // "&OK": closes when every weight is a number >= 0 (0 removes the state in a run);
  // otherwise the message of the first row that is not, and the dialog stays open.
  void OKButtonClick();
  void ResetDefaultsButtonClick() { SetColumns(); }
  void Open1Click();
  // Reads a weights file into the grid; a file without one row per main grid column
  // is refused and the defaults come back. Either way the header row and the title
  // column are fixed afterwards.
  void OpenWeightsFromPath(const QString& Path);
  void Save1Click();
  // What happens each time the dialog is shown.
  void FormShow();

 protected:
  void showEvent(QShowEvent* Event) override;

 private:
  void FixTitles();
  bool FirstShow = true;
  QString LastFileName;
};

extern TNicheOverlapUserDefined* NicheOverlapUserDefined;
