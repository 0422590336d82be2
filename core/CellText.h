#pragma once
// The cells of a data file (or of the small weights files) split out of the file's
// bytes and held compactly: the cell texts back to back in one buffer (the file's own
// buffer, packed in place), the end of every cell in one array and the end of every
// row in another. A cell costs its bytes plus 4; a row 4 more. Cells missing from a
// short row, and empty cells at the end of a row, are not stored at all.
//
// Splitting rules: a byte 26 (Ctrl+Z) ends the text; a line ends at CR LF, LF or CR
// (see TextLines.h) and a last line without a line end is read like any other; a blank
// (and, when Commas is set, a comma) ends a cell. The first line sets the column
// count; later lines never change it (extra cells are dropped, missing ones empty).
// Cell bytes are kept as they stand (no trimming); a UTF-8 byte order mark at the
// start of a text that is valid UTF-8 is dropped.
// Plain C++, no Qt.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Largest number of cells (rows x columns) a table may have.
inline constexpr int64_t MaxTableCells = 10'000'000;

// True when Bytes is well-formed UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF).
bool IsValidUtf8(std::string_view Bytes);

class TCellText {
 public:
  enum TStatus { Ok, TooManyCells, TooLarge };

  // Splits Bytes, which the table takes over. On TooManyCells the count is stopped as
  // soon as it passes MaxCells, before any cell is stored; on TooLarge (a text of 4 GiB
  // or more) nothing is read. Either refusal leaves the table empty, its memory freed.
  TStatus Parse(std::string Bytes, bool Commas, int64_t MaxCells = MaxTableCells);

  int Cols() const { return NCols; }
  int Rows() const { return static_cast<int>(RowEnd.size()); }
  // The bytes of cell (C, R); empty outside the table and for cells a row lacks.
  std::string_view Cell(int C, int R) const;
  // Number of cells stored for row R (trailing empty cells are not stored).
  int StoredCells(int R) const;
  // True when the cell bytes are UTF-8 (the whole text was valid UTF-8); Latin-1 otherwise.
  bool Utf8() const { return IsUtf8; }
  // Bytes held (buffer and both arrays, by capacity).
  size_t MemoryBytes() const;
  // Empties the table and gives its memory back.
  void Clear();

 private:
  std::string Text;               // cell bytes back to back
  std::vector<uint32_t> CellEnd;  // end of each stored cell in Text
  std::vector<uint32_t> RowEnd;   // index in CellEnd past each row's last stored cell
  int NCols = 0;
  bool IsUtf8 = true;
};
