#include "core/CellText.h"

#include <cstring>
#include <limits>

#include "core/TextLines.h"

bool IsValidUtf8(std::string_view Bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(Bytes.data());
  const size_t n = Bytes.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
      len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3;
      if (b == 0xE0) lo = 0xA0;        // no overlong forms
      else if (b == 0xED) hi = 0x9F;   // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4;
      if (b == 0xF0) lo = 0x90;        // no overlong forms
      else if (b == 0xF4) hi = 0x8F;   // nothing above U+10FFFF
    } else {
      return false;
    }
    if (n - i < len) return false;
    if (p[i + 1] < lo || p[i + 1] > hi) return false;
    for (size_t k = 2; k < len; ++k)
      if (p[i + k] < 0x80 || p[i + k] > 0xBF) return false;
    i += len;
  }
  return true;
}

namespace {
inline bool IsSeparator(char Ch, bool Commas) { return Ch == ' ' || (Commas && Ch == ','); }
}  // namespace

TCellText::TStatus TCellText::Parse(std::string Bytes, bool Commas, int64_t MaxCells) {
  Clear();
  if (Bytes.size() >= std::numeric_limits<uint32_t>::max()) return TooLarge;

  // Ctrl+Z marks the end of a text file.
  size_t end = Bytes.size();
  if (const void* eof = std::memchr(Bytes.data(), 26, end)) end = static_cast<size_t>(static_cast<const char*>(eof) - Bytes.data());
  // A byte order mark is dropped only when the text is UTF-8; whether it is, is
  // judged only once the table is known to be accepted (a mark's bytes are no
  // separators, so the shape does not depend on it).
  const bool mark = end >= 3 && Bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
  std::string_view text(Bytes.data(), end);

  // First pass: the shape only, nothing stored, so that a table over the limit is
  // refused before it takes any memory. The count stops as soon as it passes.
  int64_t cols = -1, rows = 0, stored = 0;
  bool tooMany = false;
  ForEachLine(text, [&](std::string_view line) {
    if (tooMany) return;
    int64_t cells = 1;
    for (char ch : line) {
      if (IsSeparator(ch, Commas)) {
        ++cells;
        if (cols < 0 && cells > MaxCells) {
          tooMany = true;
          return;
        }
        if (cols >= 0 && cells >= cols) break;  // the rest of the line is dropped
      }
    }
    if (cols < 0) cols = cells;
    ++rows;
    stored += cells < cols ? cells : cols;
    if (rows * cols > MaxCells) tooMany = true;
  });
  if (tooMany) return TooManyCells;
  if (rows == 0) return Ok;
  const bool utf8 = IsValidUtf8(text);
  if (utf8 && mark) text.remove_prefix(3);

  // Second pass: every cell's bytes moved down over the separators and line ends
  // (the write position never passes the read position).
  CellEnd.reserve(static_cast<size_t>(stored));
  RowEnd.reserve(static_cast<size_t>(rows));
  NCols = static_cast<int>(cols);
  char* const data = Bytes.data();
  size_t write = 0;
  ForEachLine(text, [&](std::string_view line) {
    const size_t rowFirst = CellEnd.size();
    size_t start = 0;
    int64_t cells = 0;
    for (size_t i = 0; i <= line.size() && cells < cols; ++i) {
      if (i == line.size() || IsSeparator(line[i], Commas)) {
        const size_t len = i - start;
        if (len > 0) std::memmove(data + write, line.data() + start, len);
        write += len;
        CellEnd.push_back(static_cast<uint32_t>(write));
        ++cells;
        start = i + 1;
      }
    }
    // Empty cells at the end of a row need no room.
    while (CellEnd.size() > rowFirst) {
      const size_t last = CellEnd.size() - 1;
      const uint32_t prev = last > 0 ? CellEnd[last - 1] : 0;
      if (CellEnd[last] != prev) break;
      CellEnd.pop_back();
    }
    RowEnd.push_back(static_cast<uint32_t>(CellEnd.size()));
  });
  if (RowEnd.empty()) NCols = 0;  // the text was only a byte order mark
  Bytes.resize(write);
  Text = std::move(Bytes);
  IsUtf8 = utf8;
  return Ok;
}

std::string_view TCellText::Cell(int C, int R) const {
  if (R < 0 || R >= Rows() || C < 0 || C >= NCols) return {};
  const size_t first = R > 0 ? RowEnd[static_cast<size_t>(R) - 1] : 0;
  const size_t i = first + static_cast<size_t>(C);
  if (i >= RowEnd[static_cast<size_t>(R)]) return {};
  const size_t start = i > 0 ? CellEnd[i - 1] : 0;
  return std::string_view(Text.data() + start, CellEnd[i] - start);
}

int TCellText::StoredCells(int R) const {
  if (R < 0 || R >= Rows()) return 0;
  const size_t first = R > 0 ? RowEnd[static_cast<size_t>(R) - 1] : 0;
  return static_cast<int>(RowEnd[static_cast<size_t>(R)] - first);
}

size_t TCellText::MemoryBytes() const {
  return Text.capacity() + CellEnd.capacity() * sizeof(uint32_t) + RowEnd.capacity() * sizeof(uint32_t);
}

void TCellText::Clear() {
  std::string().swap(Text);
  std::vector<uint32_t>().swap(CellEnd);
  std::vector<uint32_t>().swap(RowEnd);
  NCols = 0;
  IsUtf8 = true;
}
