#pragma once
// The resize dialog of the Edit menu ("Resize &matrix"), also shown read-only as File >
// "Abou&t file", and the grid operations behind the Edit menu: resizing and transposing.
#include <QDialog>
#include <QString>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;
class TStringGrid;

class TPelmorRedoMatrix : public QDialog {
  Q_OBJECT
 public:
  explicit TPelmorRedoMatrix(QWidget* Parent = nullptr);
  ~TPelmorRedoMatrix() override;

  QLabel* RowsLabel = nullptr;
  QLabel* ColsLabel = nullptr;
  QLabel* FileLabel = nullptr;
  QLineEdit* RowsEdit = nullptr;
  QLineEdit* ColsEdit = nullptr;
  QLineEdit* FileEdit = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* CancelButton = nullptr;

  // Data counts when the dialog was prepared, and the counts asked for.
  int32_t OldRows = 0, OldCols = 0, NewRows = 0, NewCols = 0;
  // True when the dialog was ended with "&OK".
  bool Accepted = false;

  // Prepares the dialog for resizing Grid, whose data file is Name.
  void Init(const TStringGrid& Grid, const QString& Name);
  // Prepares the dialog as a read-only information box about Grid and its file.
  void InitAboutFile(const TStringGrid& Grid, const QString& Name);
  // "&OK": stores the counts that are 1 or more (with a message for the first one
  // that is not) and ends the dialog.
  void OKButtonClick();
  void CancelButtonClick();

 protected:
  // Every opening starts in the row box with its count selected, so that what the
  // user types replaces it, wherever the focus was when the dialog last closed.
  void showEvent(QShowEvent* Event) override;
};

extern TPelmorRedoMatrix* PelmorRedoMatrix;

// Gives Grid NewRows data rows and NewCols data columns (titles not counted); its old
// data counts are OldRows and OldCols. Added rows are titled "species" and added
// columns "site", each followed by a fresh random fraction with 7 decimals (rows
// first), and their cells are "0". False, with its message, when the new size is
// refused (nothing changes); true otherwise, also when nothing had to change.
bool RestructureGrid(TStringGrid& Grid, int32_t OldCols, int32_t OldRows, int32_t NewRows, int32_t NewCols);

// Transposes Grid, titles included: the new cell (c, r) holds the old cell (r, c).
// Fixed rows and columns are kept. Only the cells' indices into the grid's texts move,
// so a transpose costs one pass over the cells whatever their texts.
void TransformMatrix(TStringGrid& Grid);
