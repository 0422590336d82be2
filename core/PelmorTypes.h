#pragma once
// Shared matrix types of the analyses. Indexed [column][row] = [site][species];
// index 0 holds the margins: [0][r] row totals, [c][0] column totals, [0][0] grand total.
#include <cstdint>
#include <vector>

using Matrix = std::vector<std::vector<int32_t>>;
using Real_Matrix = std::vector<std::vector<double>>;

// A Matrix of Cols x Rows entries, all zero.
inline Matrix MakeMatrix(int Cols, int Rows) {
  return Matrix(static_cast<size_t>(Cols < 0 ? 0 : Cols),
                std::vector<int32_t>(static_cast<size_t>(Rows < 0 ? 0 : Rows), 0));
}
inline Real_Matrix MakeRealMatrix(int Cols, int Rows) {
  return Real_Matrix(static_cast<size_t>(Cols < 0 ? 0 : Cols),
                     std::vector<double>(static_cast<size_t>(Rows < 0 ? 0 : Rows), 0.0));
}
