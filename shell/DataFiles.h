#pragma once
// Reading and writing data matrix files: one line per grid row, cells separated by
// blanks (or commas on input), titles in the first row and first column.
#include <QString>
#include <vector>

using TCellTable = std::vector<std::vector<QString>>;  // [row][column]

struct TReadResult {
  enum Status { Ok, Missing, Unreadable, TooLarge, BadCounts };
  Status State = Ok;
  TCellTable Cells;  // rectangular: every row has Cols cells
  int Cols = 0;
  int Rows = 0;
  QString Message;          // the message for the user when State != Ok
};

// Largest file and number of cells a data file may have.
inline constexpr qint64 MaxDataFileBytes = 256LL * 1024 * 1024;
inline constexpr qint64 MaxDataFileCells = 10'000'000;

// Decodes file bytes: UTF-8 where the whole text is valid UTF-8, Latin-1 otherwise.
QString DecodeText(const QByteArray& Bytes);

// Splits text into a table of cells: a blank (and, when Commas is set, a comma)
// ends a cell, a line end ends a row. The first line sets the column count; later
// lines never change it (extra cells are dropped, missing ones left empty).
// Rows and Cols of the result are set; State is Ok or TooLarge.
TReadResult ParseCellTable(const QString& Text, bool Commas);
// Parses the text of a data file. The column count is set by the first line;
// later lines never change it (extra cells are dropped, missing ones left empty).
TReadResult ParseMatrixText(const QString& Text);
// Reads and parses a data file; the grid is never touched here.
TReadResult ReadMatrixFile(const QString& Path);

// Reads a whole text file (any of the program's small text files) into Text.
// State is Ok, Missing, Unreadable or TooLarge, with the message for the user.
TReadResult ReadTextFile(const QString& Path, QString& Text);

// The text of one cell as written: blanks, commas and line breaks inside a cell
// become "_", so that the file reads back with the same shape.
QString CellForFile(const QString& Cell);
// The whole file text of a table (rows joined by CR LF, the last one included).
QByteArray MatrixFileBytes(const TCellTable& Cells, int Cols, int Rows);
// Writes the bytes to a temporary file beside Path and renames it over Path only
// when it was written whole. False (and the old file intact) on any failure.
bool WriteFileSafely(const QString& Path, const QByteArray& Bytes);
