// Fuzz target of the data-file reader: file bytes in, a cell table or a refusal out.
// What must always hold:
// - the compact reader gives the cells, shape and encoding of the plain reference reader;
// - a refusal leaves no partial table; an accepted table has the first line's column
//   count and at most the cell limit, and a limit below its size refuses it; the
//   table takes at most about 9 times the file's size;
// - the grid table built from it is rectangular and holds the same texts;
// - writing an accepted table and reading it back gives the same shape and cells.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzReference.h"
#include "shell/DataFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string bytes(reinterpret_cast<const char*>(Data), Size);
  const TReference ref = ReferenceRead(bytes, true);
  const TReadResult read = ParseMatrixBytes(bytes);
  FUZZ_CHECK(read.State == TReadResult::Ok || read.State == TReadResult::BadCounts, "only count refusals on small input");
  FUZZ_CHECK(read.Rows == static_cast<int>(ref.Rows.size()), "row count");
  FUZZ_CHECK(read.Cols == ref.Cols, "column count of the first line");
  FUZZ_CHECK(read.Rows == read.Cells.Rows() && read.Cols == read.Cells.Cols(), "result and table agree");
  FUZZ_CHECK(read.Cells.Utf8() == ref.Utf8 || read.Rows == 0, "encoding");
  FUZZ_CHECK((read.State == TReadResult::Ok) == (read.Rows >= 2 && read.Cols >= 2), "count rule");
  // The table holds the text and 4 bytes per stored cell and per row: never more than
  // about 9 times the file (each stored cell but a row's last takes a separator, each
  // row but the last a line end).
  FUZZ_CHECK(read.Cells.MemoryBytes() <= 9 * Size + 64, "memory near the file's size");
  for (int r = 0; r < read.Rows; ++r) {
    FUZZ_CHECK(read.Cells.StoredCells(r) <= read.Cols, "no row longer than the first");
    for (int c = 0; c < read.Cols; ++c)
      FUZZ_CHECK(CellString(read.Cells, c, r) == ref.Rows[static_cast<size_t>(r)][c], "cell text");
  }

  // The cell limit: a limit below the table's size refuses it and keeps nothing.
  if (Size > 0) {
    const int64_t limit = Data[0] % 64;
    TCellText limited;
    const TCellText::TStatus status = limited.Parse(bytes, true, limit);
    const int64_t cells = static_cast<int64_t>(read.Rows) * read.Cols;
    FUZZ_CHECK((status == TCellText::Ok) == (cells <= limit), "limit decides");
    if (status != TCellText::Ok) FUZZ_CHECK(limited.Rows() == 0 && limited.Cols() == 0 && limited.Cell(0, 0).empty(), "refusal keeps nothing");
  }

  if (read.State != TReadResult::Ok) return 0;
  const TCellTable grid = GridTable(read.Cells);
  FUZZ_CHECK(static_cast<int>(grid.size()) == read.Rows, "grid rows");
  for (int r = 0; r < read.Rows; ++r) {
    FUZZ_CHECK(static_cast<int>(grid[static_cast<size_t>(r)].size()) == read.Cols, "grid row length");
    for (int c = 0; c < read.Cols; ++c)
      FUZZ_CHECK(grid[static_cast<size_t>(r)][static_cast<size_t>(c)] == ref.Rows[static_cast<size_t>(r)][c], "grid cell");
  }

  // Written and read back: the same shape and cells (a blank or comma in a cell would
  // be written as "_"; none can come out of the reader).
  const QByteArray written = MatrixFileBytes(grid, read.Cols, read.Rows);
  const TReadResult back = ParseMatrixBytes(written.toStdString());
  FUZZ_CHECK(back.State == TReadResult::Ok, "written table reads back");
  FUZZ_CHECK(back.Rows == read.Rows && back.Cols == read.Cols, "same shape after writing");
  for (int r = 0; r < read.Rows; ++r)
    for (int c = 0; c < read.Cols; ++c)
      FUZZ_CHECK(CellString(back.Cells, c, r) == CellForFile(grid[static_cast<size_t>(r)][static_cast<size_t>(c)]),
                 "same cells after writing");
  return 0;
}
