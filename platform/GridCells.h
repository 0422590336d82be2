#pragma once
#include <QString>
#include <QtGlobal>
#include <vector>

// The cells of a grid held compactly: each distinct text once in Texts (Texts[0] is
// the empty text), each cell the index of its text, row by row (Ids[R * Cols + C]).
struct TGridCells {
  std::vector<QString> Texts{QString()};
  std::vector<quint32> Ids;
  int Cols = 0;
  int Rows = 0;
};
