#include "analyses/common/MatrixView.h"

#include <algorithm>

#include "shell/PelmorMain.h"

int TCellTableModel::rowCount(const QModelIndex& Parent) const { return Parent.isValid() ? 0 : std::max(Rows - 1, 0); }
int TCellTableModel::columnCount(const QModelIndex& Parent) const {
  return Parent.isValid() ? 0 : std::max(Cols - 1, 0);
}

QVariant TCellTableModel::data(const QModelIndex& Index, int Role) const {
  if (!Index.isValid() || (Role != Qt::DisplayRole && Role != Qt::ToolTipRole)) return {};
  return Cell(Index.column() + 1, Index.row() + 1);
}

QVariant TCellTableModel::headerData(int Section, Qt::Orientation Orientation, int Role) const {
  if (Role != Qt::DisplayRole && Role != Qt::ToolTipRole && Role != Qt::AccessibleTextRole) return {};
  return Orientation == Qt::Horizontal ? Cell(Section + 1, 0) : Cell(0, Section + 1);
}

TMatrixView::TMatrixView(TCellTableModel* Model, QWidget* Parent) : TGridView(Parent), CellModel(Model) {
  setModel(Model);
  SetReadOnly(true);
}

QString TMatrixView::CornerTitle() const { return CellModel ? CellModel->Cell(0, 0) : QString(); }

TMatrixModel::TMatrixModel(QObject* Parent) : TCellTableModel(Parent) {}

void TMatrixModel::TakeTitles(bool Titles) {
  RowTitles.clear();
  ColTitles.clear();
  if (!Titles || !Pelmor) return;
  const TStringGrid& g = *Pelmor->MainGrid;
  for (int r = 0; r < g.RowCount(); ++r) RowTitles << g.Cells(0, r);
  for (int c = 0; c < g.ColCount(); ++c) ColTitles << g.Cells(c, 0);
}

void TMatrixModel::SetMatrix(Matrix M, bool Titles) {
  beginResetModel();
  Ints = std::move(M);
  Reals.clear();
  IsReal = false;
  Cols = static_cast<int>(Ints.size());
  Rows = Cols > 0 ? static_cast<int>(Ints[0].size()) : 0;
  TakeTitles(Titles);
  endResetModel();
}

void TMatrixModel::SetRealMatrix(Real_Matrix M, std::function<QString(double)> Format, bool Titles) {
  beginResetModel();
  Reals = std::move(M);
  Ints.clear();
  IsReal = true;
  Formatter = std::move(Format);
  Cols = static_cast<int>(Reals.size());
  Rows = Cols > 0 ? static_cast<int>(Reals[0].size()) : 0;
  TakeTitles(Titles);
  endResetModel();
}

QString TMatrixModel::Cell(int C, int R) const {
  if (C < 0 || R < 0 || C >= Cols || R >= Rows) return {};
  if (C == 0 && !RowTitles.isEmpty()) return R < RowTitles.size() ? RowTitles[R] : QString();
  if (R == 0 && !ColTitles.isEmpty()) return C < ColTitles.size() ? ColTitles[C] : QString();
  const size_t c = static_cast<size_t>(C), r = static_cast<size_t>(R);
  if (IsReal) {
    const double v = r < Reals[c].size() ? Reals[c][r] : 0.0;
    return Formatter ? Formatter(v) : QString::number(v);
  }
  return QString::number(r < Ints[c].size() ? Ints[c][r] : 0);
}
