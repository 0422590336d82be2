#include "shell/PelmorGridHelpers.h"

#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <optional>
#include <string>

#include "core/PelmorText.h"
#include "core/RunState.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"

namespace {
const TStringGrid* MainGridOrNull() { return Pelmor ? Pelmor->MainGrid : nullptr; }

int DataRows() {
  const TStringGrid* g = MainGridOrNull();
  return g ? g->RowCount() - 1 : 0;
}
int DataCols() {
  const TStringGrid* g = MainGridOrNull();
  return g ? g->ColCount() - 1 : 0;
}

// A whole cell read as a 32-bit integer (see StrictIntText).
std::optional<int32_t> StrictInt(const QString& Cell) { return StrictIntText(Cell.toStdString()); }

QString At(int R, int C) {
  return QStringLiteral(" @ Row ") + QString::number(R) + QStringLiteral(" Col ") + QString::number(C);
}
}  // namespace

void MarginTotalsReal(Real_Matrix& M) { MarginTotalsRealSized(M, DataCols(), DataRows()); }

void CheckRowTotals(const Real_Matrix& M) {
  auto& st = PelmorState();
  st.NumOccupiedSpecies = 0;
  const int rows = DataRows();
  for (int r = 1; r <= rows; ++r) {
    const bool present = !M.empty() && static_cast<size_t>(r) < M[0].size();
    if (!present || M[0][static_cast<size_t>(r)] <= 0) {
      ShowMessage(QStringLiteral("Non Zero Row = ") + QString::number(r) + QStringLiteral(" ; aborting simulation."));
      st.NumOccupiedSpecies = -1;
      st.ErrorRow = r;
      return;
    }
    ++st.NumOccupiedSpecies;
  }
  st.ErrorRow = 0;
}

void CountOccupiedRows(std::span<const int32_t> T) {
  PelmorState().NumOccupiedSpecies = CountPositive(T, 1, DataRows());
}

bool CheckPositiveIntegers(const TStringGrid& G) {
  for (int r = 1; r < G.RowCount(); ++r) {
    for (int c = 1; c < G.ColCount(); ++c) {
      const std::optional<int32_t> v = StrictInt(G.Cells(c, r));
      if (!v) return false;
      if (*v < 1) {
        ShowMessage(QStringLiteral("Non-positive integer") + At(r, c));
        return false;
      }
    }
  }
  return true;
}

bool CheckPositiveReals(const TStringGrid& G) {
  for (int r = 1; r < G.RowCount(); ++r) {
    for (int c = 1; c < G.ColCount(); ++c) {
      double v = 0;
      if (!TextToFloat(G.Cells(c, r).toStdString(), v)) {
        ShowMessage(QStringLiteral("Not a number") + At(r, c));
        return false;
      }
      if (v <= 0) {
        ShowMessage(QStringLiteral("Non-positive real") + At(r, c));
        return false;
      }
    }
  }
  return true;
}

bool CheckDiversityLimits() {
  if (DataRows() > 2400) {
    ShowMessage(QStringLiteral("Species Diversity Row Count Maximum = 2400"));
    return false;
  }
  if (DataCols() > 100) {
    ShowMessage(QStringLiteral("Species Diversity Column Count Maximum = 100"));
    return false;
  }
  return true;
}

void ShowProgress(const QString& Model) {
  if (!Progress) return;
  const int32_t iterations = PelmorState().Iterations;
  Progress->ProgressBar1->setValue(0);
  Progress->IterationsLabel->setText(QString::number(iterations));
  Progress->MatrixLabel->setText(QString::number(DataRows()) + QStringLiteral(" rows; ") +
                                 QString::number(DataCols()) + QStringLiteral(" columns; "));
  Progress->ModelLabel->setText(Model);
  Progress->show();
  Progress->ProgressBar1->setMaximum(std::max(iterations, 1));
  Progress->ProgressBar1->setValue(0);
  Progress->Step = 1;
}

void IntsToGridColumn(std::span<const int32_t> V, TStringGrid& G) {
  const int rows = static_cast<int>(V.size()) + 1;
  if (G.RowCount() < rows || G.ColCount() < 2) G.SetSize(std::max(G.ColCount(), 2), std::max(G.RowCount(), rows));
  for (size_t i = 0; i < V.size(); ++i) G.SetCells(1, static_cast<int>(i) + 1, QString::number(V[i]));
}

bool CopyColumnsToGrids(TStringGrid& G1, TStringGrid& G2, int A, int B) {
  const TStringGrid* main = MainGridOrNull();
  if (!main) return false;
  for (int col : {A, B}) {
    if (col < 0 || col >= main->ColCount()) {
      ShowMessage(QStringLiteral("Column ") + QString::number(col) + QStringLiteral(" is not in the data matrix."));
      return false;
    }
  }
  for (TStringGrid* g : {&G1, &G2}) {
    g->SetSize(std::max(g->ColCount(), 3), main->RowCount());
    for (int r = 0; r < main->RowCount(); ++r) {
      g->SetCells(0, r, main->Cells(0, r));
      g->SetCells(1, r, main->Cells(A, r));
      g->SetCells(2, r, main->Cells(B, r));
    }
  }
  return true;
}

void CopyRowTitlesToGrid(TStringGrid& G) {
  const TStringGrid* main = MainGridOrNull();
  if (!main) return;
  if (G.RowCount() < main->RowCount()) G.SetRowCount(main->RowCount());
  for (int r = 0; r < main->RowCount(); ++r) G.SetCells(0, r, main->Cells(0, r));
}
