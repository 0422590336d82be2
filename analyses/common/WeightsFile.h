#pragma once
// The weights grids of the analyses' weights dialogs (co-occurrence species and site
// weights, niche overlap resource-state weights): their default contents, the check
// of the weights on "&OK", the weights as numbers, and the weights file.
//
// A weights file holds one grid row per line, its cells separated by blanks, every
// line ended by CR LF (a blank inside a cell is written as "_"). On reading, CR LF, LF
// or CR end a line, a last line without a line end is read, the first line sets the
// number of cells (later cells are ignored), and the blank that ends each line of a
// saved grid adds no column.
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "shell/DataFiles.h"

class QWidget;
class TStringGrid;

// A header row (Header, "Weights"), then one row per name (Name(r), "1.0") for
// r = 1..Rows-1; two columns, the header row fixed.
void FillDefaultWeights(TStringGrid& G, int Rows, const QString& Header, const std::function<QString(int)>& Name);

// True when every weight (column 1 of rows 1..) is a number >= 0; otherwise shows
// "Weights must be > 0 \r\nerror row: " + the first row that is not, and returns false.
bool TestWeights(const TStringGrid& G);

// Column 1 of rows 1.. as numbers (a text that is not a number counts as 0).
std::vector<double> WeightValues(const TStringGrid& G);

// The cells of a weights file as a grid holds them.
struct TWeightsTable {
  TCellTable Cells;  // [row][column], every row Cols long
  int Cols = 0;
  int Rows = 0;
};

// Reads a weights file. Shows the reading error ("Error opening file." ...) and
// returns nothing when the file cannot be read.
std::optional<TWeightsTable> ReadWeightsFile(const QString& Path);

// Puts a table read from a weights file into G (at least two columns, the header row
// fixed).
void SetWeightsTable(TStringGrid& G, TWeightsTable Table);

// The open dialog "Select an ASCII file to open."; the chosen path, or nothing when
// cancelled.
std::optional<QString> ChooseWeightsFile(QWidget* Parent);

// How a weights file ends its cells: joined by one blank (co-occurrence), or each cell
// followed by one blank (niche overlap).
enum class TWeightsCells { Joined, EachFollowedByBlank };

// The bytes of a weights file of G: rows from 0, cells from column 0, CR LF after
// every line.
QByteArray WeightsFileBytes(const TStringGrid& G, TWeightsCells Cells);

// "&Save weights": the save dialog "Select a file name." with "weights.txt", then the
// grid written in the weights file format ("Error writing file." when that fails, and
// the old file kept). False when cancelled or not written.
bool SaveWeightsFile(QWidget* Parent, const TStringGrid& G, TWeightsCells Cells = TWeightsCells::Joined);
