#pragma once
// The one line splitter of every reader of the program's text files: a line ends
// at CR LF, at LF alone or at CR alone (only an LF right after a CR is skipped), and
// a last line without a line end is a line like any other.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Calls F(line) for every line of Text, in order. Returns the number of lines.
template <class CharT, class F>
size_t ForEachLine(std::basic_string_view<CharT> Text, F&& Fn) {
  size_t lines = 0;
  size_t start = 0;
  const size_t n = Text.size();
  size_t i = 0;
  while (i < n) {
    const CharT ch = Text[i];
    if (ch == CharT('\r') || ch == CharT('\n')) {
      Fn(Text.substr(start, i - start));
      ++lines;
      if (ch == CharT('\r') && i + 1 < n && Text[i + 1] == CharT('\n')) ++i;
      ++i;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < n) {
    Fn(Text.substr(start));
    ++lines;
  }
  return lines;
}

inline std::vector<std::string> SplitLines(std::string_view Text) {
  std::vector<std::string> out;
  ForEachLine(Text, [&](std::string_view line) { out.emplace_back(line); });
  return out;
}
