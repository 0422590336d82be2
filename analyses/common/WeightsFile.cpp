#include "analyses/common/WeightsFile.h"

#include <algorithm>

#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"

void FillDefaultWeights(TStringGrid& G, int Rows, const QString& Header, const std::function<QString(int)>& Name) {
  TCellTable cells(static_cast<size_t>(std::max(Rows, 1)), std::vector<QString>(2));
  for (int r = 1; r < Rows; ++r) {
    cells[static_cast<size_t>(r)][0] = Name(r);
    cells[static_cast<size_t>(r)][1] = QStringLiteral("1.0");
  }
  cells[0][0] = Header;
  cells[0][1] = QStringLiteral("Weights");
  G.SetTable(std::move(cells), 2);
  G.SetFixedCols(0);
  G.SetFixedRows(1);
}

namespace {
// A weight as a number ("." as the decimal mark); false when the text is not one.
bool WeightNumber(const QString& Text, double& Value) { return TextToFloat(Text.toStdString(), Value); }
}  // namespace

bool TestWeights(const TStringGrid& G) {
  for (int r = 1; r < G.RowCount(); ++r) {
    double value = 0;
    if (!WeightNumber(G.Cells(1, r), value) || value < 0) {
      ShowMessage(QStringLiteral("Weights must be > 0 \r\nerror row: ") + QString::number(r));
      return false;
    }
  }
  return true;
}

std::vector<double> WeightValues(const TStringGrid& G) {
  std::vector<double> out;
  for (int r = 1; r < G.RowCount(); ++r) {
    double value = 0;
    if (!WeightNumber(G.Cells(1, r), value)) value = 0;
    out.push_back(value);
  }
  return out;
}

std::optional<TWeightsTable> ReadWeightsFile(const QString& Path) {
  // A blank ends a cell; the first line sets the number of columns, so a longer
  // later line never writes past the grid.
  const TReadResult read = ReadCellFile(Path, false);
  if (read.State != TReadResult::Ok) {
    ShowMessage(read.Message);
    return std::nullopt;
  }
  TWeightsTable table{GridTable(read.Cells), read.Cols, read.Rows};
  // Every cell of a saved grid is followed by a blank: the empty cell after the last
  // blank of the first line is no column of the grid.
  if (table.Cols > 1 && !table.Cells.empty() && table.Cells[0].back().isEmpty()) {
    --table.Cols;
    for (auto& row : table.Cells) row.resize(static_cast<size_t>(table.Cols));
  }
  return table;
}

void SetWeightsTable(TStringGrid& G, TWeightsTable Table) {
  const int cols = std::max(Table.Cols, 2);
  for (auto& row : Table.Cells) row.resize(static_cast<size_t>(cols));
  G.SetTable(std::move(Table.Cells), cols);
  G.SetFixedCols(0);
  G.SetFixedRows(1);
}

std::optional<QString> ChooseWeightsFile(QWidget* Parent) {
  return Prompts().OpenFileName(Parent, QStringLiteral("Select an ASCII file to open."), QString(), {});
}

QByteArray WeightsFileBytes(const TStringGrid& G, TWeightsCells Cells) {
  if (Cells == TWeightsCells::Joined) return MatrixFileBytes(*G.Model());
  QByteArray out;
  for (int r = 0; r < G.RowCount(); ++r) {
    for (int c = 0; c < G.ColCount(); ++c) {
      out += CellForFile(G.Cells(c, r)).toUtf8();
      out += ' ';
    }
    out += "\r\n";
  }
  return out;
}

bool SaveWeightsFile(QWidget* Parent, const TStringGrid& G, TWeightsCells Cells) {
  const auto chosen =
      Prompts().SaveFileName(Parent, QStringLiteral("Select a file name."), QString(), QStringLiteral("weights.txt"));
  if (!chosen) return false;
  if (!WriteFileSafely(*chosen, WeightsFileBytes(G, Cells))) {
    ShowMessage(QStringLiteral("Error writing file."));
    return false;
  }
  return true;
}
