#pragma once
// Helpers of the analyses that work on string grids, the main window's data grid
// (MainGrid) and the progress window: data checks with their messages, margins over
// the grid's extent, copies between grids and arrays, and the progress set-up.
// Messages go through the platform's message box; results through the run state.
#include <QString>
#include <cstdint>
#include <span>

#include "core/PelmorMatrix.h"
#include "core/PelmorTypes.h"

class TStringGrid;

// Margins of a real matrix over MainGrid's data extent (ColCount - 1 sites,
// RowCount - 1 species).
void MarginTotalsReal(Real_Matrix& M);

// Checks the row totals M[0][r] of rows 1..MainGrid.RowCount - 1: the first total <= 0
// (or missing from M) shows "Non Zero Row = " + r + " ; aborting simulation." and sets
// NumOccupiedSpecies := -1 and ErrorRow := r. Otherwise NumOccupiedSpecies := the
// number of rows and ErrorRow := 0.
void CheckRowTotals(const Real_Matrix& M);

// NumOccupiedSpecies := the number of rows r in 1..MainGrid.RowCount - 1 with T[r] > 0
// (rows beyond T count as empty).
void CountOccupiedRows(std::span<const int32_t> T);

// True when every data cell of G (rows and columns from 1) holds an integer >= 1.
// A value below 1 shows "Non-positive integer @ Row " + r + " Col " + c; a cell that is
// not an integer fails without a message.
bool CheckPositiveIntegers(const TStringGrid& G);
// True when every data cell of G holds a real > 0 (written with "."). A value <= 0
// shows "Non-positive real @ Row " + r + " Col " + c; a cell that is not a number shows
// "Not a number @ Row " + r + " Col " + c.
bool CheckPositiveReals(const TStringGrid& G);

// The species-diversity size limits on MainGrid: at most 2400 data rows and 100 data
// columns, each refusal with its message.
bool CheckDiversityLimits();

// Resets and shows the progress window for a run of Iterations steps of the named model.
void ShowProgress(const QString& Model);

// G (1, i + 1) := V[i] as decimal text for every i; G grows to hold them.
void IntsToGridColumn(std::span<const int32_t> V, TStringGrid& G);
// Both grids get MainGrid's row count (and at least 3 columns); column 0 := MainGrid's
// column 0, column 1 := its column A, column 2 := its column B. False (with a message,
// the grids untouched) when A or B is not a column of MainGrid.
bool CopyColumnsToGrids(TStringGrid& G1, TStringGrid& G2, int A, int B);
// G (0, r) := MainGrid (0, r) for every row; G grows to MainGrid's row count.
void CopyRowTitlesToGrid(TStringGrid& G);
