#pragma once
// Reading and writing data matrix files: one line per grid row, cells separated by
// blanks (or commas on input), titles in the first row and first column.
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "core/CellText.h"
#include "platform/GridCells.h"

class TStringGridModel;

using TCellTable = std::vector<std::vector<QString>>;  // [row][column]

struct TReadResult {
  enum Status { Ok, Missing, Unreadable, TooLarge, BadCounts };
  Status State = Ok;
  TCellText Cells;  // compact; empty unless State is Ok (or BadCounts)
  int Cols = 0;
  int Rows = 0;
  QString Message;          // the message for the user when State != Ok
};

// Largest file and number of cells a data file may have.
inline constexpr qint64 MaxDataFileBytes = 256LL * 1024 * 1024;
inline constexpr qint64 MaxDataFileCells = MaxTableCells;

// Decodes file bytes: UTF-8 where the whole text is valid UTF-8, Latin-1 otherwise.
QString DecodeText(const QByteArray& Bytes);

// The text of one cell of a table, decoded as the table's bytes are (UTF-8 or Latin-1).
QString CellString(const TCellText& Cells, int C, int R);
// The cells as the grid holds them, [row][column], every row Cols() long. Equal short
// texts (the 0s and 1s of a presence matrix) share one string.
TCellTable GridTable(const TCellText& Cells);
// The same held compactly, as the grid keeps them: each distinct short text once.
TGridCells GridCells(const TCellText& Cells);

// Splits file bytes into a table of cells: a blank (and, when Commas is set, a comma)
// ends a cell, a line end ends a row. The first line sets the column count; later
// lines never change it (extra cells are dropped, missing ones left empty).
// Rows and Cols of the result are set; State is Ok or TooLarge (more than
// MaxDataFileCells cells: refused as soon as the count passes, nothing kept).
TReadResult ParseCellBytes(std::string Bytes, bool Commas);
// The same on a text (encoded as UTF-8 first).
TReadResult ParseCellTable(const QString& Text, bool Commas);
// Parses the bytes of a data file; fewer than 2 rows or 2 columns is BadCounts.
TReadResult ParseMatrixBytes(std::string Bytes);
TReadResult ParseMatrixText(const QString& Text);
// Reads and parses a data file; the grid is never touched here. The size limit is
// checked before a byte is read; after a refusal the memory is given back.
TReadResult ReadMatrixFile(const QString& Path);
// Reads and splits any of the program's small grid files (weights) the same way.
TReadResult ReadCellFile(const QString& Path, bool Commas);

// Reads a whole file's bytes. State is Ok, Missing (no such file, or not a regular
// file), Unreadable or TooLarge (above MaxDataFileBytes, refused before reading).
TReadResult ReadFileBytes(const QString& Path, std::string& Bytes);

// Reads a whole text file (any of the program's small text files) into Text.
// State is Ok, Missing, Unreadable or TooLarge, with the message for the user.
TReadResult ReadTextFile(const QString& Path, QString& Text);

// The text of one cell as written: blanks, commas and line breaks inside a cell
// become "_", so that the file reads back with the same shape.
QString CellForFile(const QString& Cell);
// The whole file text of a table (rows joined by CR LF, the last one included).
QByteArray MatrixFileBytes(const TCellTable& Cells, int Cols, int Rows);
// The same for cells given one by one (Cell(C, R) for C < Cols, R < Rows).
QByteArray MatrixFileBytes(const std::function<const QString&(int C, int R)>& Cell, int Cols, int Rows);
// The whole file text of a grid's cells.
QByteArray MatrixFileBytes(const TStringGridModel& Grid);
// Writes the bytes to a temporary file beside Path and renames it over Path only
// when it was written whole. False (and the old file intact) on any failure.
bool WriteFileSafely(const QString& Path, const QByteArray& Bytes);
