#pragma once
// "Pelmor -- User-defined histogram": the histogram pool's editor. One row per species
// of the source pool with its size and colonization weight; the pool may hold more
// species than the data ("&Change "), and the histogram is read from and written to
// a small grid file.
#include <QDialog>
#include <QString>

class QAction;
class QLabel;
class QPushButton;
class TStringGrid;

class TSizeOverLapUD3 : public QDialog {
  Q_OBJECT
 public:
  explicit TSizeOverLapUD3(QWidget* Parent = nullptr);
  ~TSizeOverLapUD3() override;

  TStringGrid* SpeciesHistogramGrid = nullptr;  // "Species", "Size", "Colonization Weight"
  QLabel* SpeciesPoolLabel = nullptr;
  QPushButton* ChangeButton = nullptr;  // "&Change "
  QPushButton* OKButton = nullptr;
  QPushButton* ResetDefaultsButton = nullptr;
  QAction* Open1 = nullptr;  // "&Open histogram"
  QAction* Save1 = nullptr;  // "&Save histogram"
  QAction* Help1 = nullptr;

  bool FirstShow = true;
  QString LastFileName;

  // One row per data row: species name, the analysed column's text, weight "1.0" when
  // that size is above 0 and "0.0" otherwise; the source-pool size is the number of
  // data rows.
  void SetDefaults();
  // The editor's source-pool size (its label) in force again, the grid sized to it;
  // existing cells are kept, new rows are empty.
  void SetNew();
  // "&Change ": the pool size dialog, then the grid sized to the size chosen.
  void Button1Click();
  void Open1Click();
  // Reads a histogram file into the grid (CR LF, LF or CR end a line; a blank ends a
  // cell; cells beyond the grid's three columns are ignored). A file with fewer rows
  // than the main grid is refused and the defaults come back.
  void OpenHistogramFromPath(const QString& Path);
  // "&Save histogram": the grid written as a histogram file, each cell followed by one
  // blank (a blank inside a cell written as "_"), CR LF after every row.
  bool Save1Click();
  bool SaveHistogramToPath(const QString& Path);
  // At each showing: the defaults at the first showing and for another data file,
  // otherwise the pool size in force again.
  void FormShow();

 protected:
  void showEvent(QShowEvent* Event) override;

 private:
  void SetPoolSize(int Size);
};

extern TSizeOverLapUD3* SizeOverLapUD3;
