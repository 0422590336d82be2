// Fuzz target of the weights-file reader: bytes in, a table of cells split at blanks
// only (a comma belongs to the cell), and every weight cell read by the number reader.
// What must always hold: the cells of the plain reference reader; a number the reader
// accepts is finite, is what the C library reads from the same text, and reads the same
// with blanks around it.
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/PelmorText.h"
#include "fuzz/FuzzReference.h"
#include "shell/DataFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  std::setlocale(LC_NUMERIC, "C");
  const std::string bytes(reinterpret_cast<const char*>(Data), Size);
  const TReference ref = ReferenceRead(bytes, false);
  const TReadResult read = ParseCellBytes(bytes, false);
  FUZZ_CHECK(read.State == TReadResult::Ok, "small input is never refused");
  FUZZ_CHECK(read.Rows == static_cast<int>(ref.Rows.size()) && read.Cols == ref.Cols, "shape");
  for (int r = 0; r < read.Rows; ++r) {
    for (int c = 0; c < read.Cols; ++c)
      FUZZ_CHECK(CellString(read.Cells, c, r) == ref.Rows[static_cast<size_t>(r)][c], "cell text");
    if (read.Cols < 2) continue;
    const std::string weight = CellString(read.Cells, 1, r).toStdString();
    double value = -12345.0;
    if (!TextToFloat(weight, value)) {
      FUZZ_CHECK(value == -12345.0, "a refused text leaves the value alone");
      continue;
    }
    FUZZ_CHECK(std::isfinite(value), "finite");
    char* end = nullptr;
    const double c = std::strtod(weight.c_str(), &end);
    while (end && (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n')) ++end;
    FUZZ_CHECK(end && *end == '\0', "the C library reads the whole text too");
    FUZZ_CHECK(c == value, "the same value as the C library");
    double padded = 0;
    FUZZ_CHECK(TextToFloat("  " + weight + " ", padded) && padded == value, "blanks around it change nothing");
  }
  return 0;
}
