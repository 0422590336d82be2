#pragma once
// A read-only table view of a working matrix ([column][row], margins at index 0) for
// a results tab such as "Simulation": the cells are turned into text only when the
// view paints them, so a large matrix is shown without building a grid of texts.
// Row 0 and column 0 show the main grid's titles instead of the margins, as a grid
// copy with its titles rewritten would.
#include <QAbstractTableModel>
#include <QStringList>
#include <functional>

#include "core/PelmorTypes.h"
#include "platform/StringGrid.h"

// A read-only table whose cell texts are made on demand by Cell (grid coordinates:
// column, row), for views over data too large to copy into texts. Row 0 and column 0
// are titles: a view sees them as its headers (which stay in view when the cells
// scroll) and the cells from (1, 1) on as its rows and columns.
class TCellTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;

  int ColCount() const { return Cols; }
  int RowCount() const { return Rows; }
  virtual QString Cell(int C, int R) const = 0;

  int rowCount(const QModelIndex& Parent = {}) const override;
  int columnCount(const QModelIndex& Parent = {}) const override;
  QVariant data(const QModelIndex& Index, int Role) const override;
  QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;

 protected:
  int Cols = 0, Rows = 0;
};

// The read-only view of a results tab over a TCellTableModel: titles as headers,
// the corner title in the corner, Tab moving on to the next control.
class TMatrixView : public TGridView {
  Q_OBJECT
 public:
  TMatrixView(TCellTableModel* Model, QWidget* Parent = nullptr);

 protected:
  QString CornerTitle() const override;

 private:
  TCellTableModel* CellModel;
};

class TMatrixModel : public TCellTableModel {
  Q_OBJECT
 public:
  explicit TMatrixModel(QObject* Parent = nullptr);

  // Shows M (its cells as decimal integers); Titles: take row 0 and column 0 from
  // MainGrid (otherwise the margins are shown there).
  void SetMatrix(Matrix M, bool Titles = true);
  // Shows M, each cell written by Format.
  void SetRealMatrix(Real_Matrix M, std::function<QString(double)> Format, bool Titles = true);

  QString Cell(int C, int R) const override;

 private:
  void TakeTitles(bool Titles);
  Matrix Ints;
  Real_Matrix Reals;
  bool IsReal = false;
  std::function<QString(double)> Formatter;
  QStringList RowTitles, ColTitles;  // empty: margins shown
};
