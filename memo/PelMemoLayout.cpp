#include "memo/PelMemoLayout.h"

#include <algorithm>
#include <climits>

namespace {

int32_t Clamp32(int64_t V) { return static_cast<int32_t>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, V))); }

bool IsBlankChar(char C) { return C == ' ' || C == '\t' || C == '\0'; }

int64_t NextTab(int64_t X, int32_t TabStops, int32_t Avg) {
  if (TabStops > 0) {
    const int64_t step = static_cast<int64_t>(TabStops) * std::max(1, Avg);
    return (X / step + 1) * step;
  }
  if (TabStops < 0) {
    const int64_t step = -static_cast<int64_t>(TabStops);
    return (X / step + 1) * step;
  }
  return X;
}

}  // namespace

void TPelLayout::SetupFont(TTextMeasurer& M) {
  M.SelectFont(0, nullptr);
  const int32_t w2 = M.TextExtent("  ", 2);
  const int32_t w1 = M.TextExtent(" ", 1);
  if (w1 <= 0 || w2 <= 0) {
    SpaceWidth = 1;
    Overhang = 0;
    return;
  }
  Overhang = 2 * w1 - w2;
  SpaceWidth = std::max(1, w1 - Overhang);
}

int64_t TPelLayout::WrapWidth(const TPelMemoCore& Memo) const {
  int64_t w;
  if (!Memo.LinesWrap())
    w = 0x7FFFFFFFLL - Memo.RightMargin;
  else if (Memo.ColumnWrap > 0)
    w = static_cast<int64_t>(Memo.ColumnWrap) * SpaceWidth;
  else if (Memo.ColumnWrap < 0)
    w = -static_cast<int64_t>(Memo.ColumnWrap);
  else
    w = static_cast<int64_t>(Memo.ClientWidth) - Memo.LeftMargin - Memo.RightMargin;
  return std::max<int64_t>(1, w);
}

int32_t TPelLayout::FormatParagraph(TPelMemoCore& Memo, TTextMeasurer& M, int32_t Par, int32_t& FirstLine, int32_t& LastOld,
                                    int32_t& NewCount, bool Whole) {
  TParagraphsList& store = Memo.Paragraphs;
  TParagraph& p = *store.GetPar(Par);
  p.Flags |= pfFormatted | pfParsed;
  TLinesList ll;
  ll.Par = &p;
  std::vector<LineInfo> old(static_cast<size_t>(ll.Count()));
  for (int32_t k = 0; k < ll.Count(); ++k) old[static_cast<size_t>(k)] = *ll.GetLine(k);
  const int32_t oldCount = static_cast<int32_t>(old.size());

  const char* t = GetParChars(p);
  const int32_t len = GetParLength(p);
  const bool codes = store.StaticFormat;
  const int64_t W = WrapWidth(Memo);
  const int32_t avg = std::max(1, Memo.AvgCharWidth);
  const int32_t chunk = Memo.ExtentChunk;
  const int32_t tabs = Memo.TabStops;
  const bool recordWidestPar = !Memo.WordWrap || Memo.ColumnWrap != 0;
  const int32_t attrCount = GetAttrCount(p);

  // Redo from the line before the one asked for, so that words can move up to it.
  int32_t first = std::max(0, std::min(FirstLine, oldCount - 1));
  if (first > 0) --first;
  FirstLine = first;
  const LineInfo& from = old[static_cast<size_t>(first)];
  int32_t pos = std::min(from.Start, len);
  uint8_t style = from.Style;
  int32_t attr = std::max(0, std::min(from.AttrIndex, attrCount));
  while (attr < attrCount && p.Extra->Attributes[static_cast<size_t>(attr)].CountOrOffset <= pos) ++attr;
  if (first == 0) {
    pos = 0;
    attr = 0;
    while (attr < attrCount && p.Extra->Attributes[static_cast<size_t>(attr)].CountOrOffset <= 0) ++attr;
  }

  const TStyleRecord* const startStyle = GetParStartStyle(p);
  auto attrStyle = [&]() -> const TStyleRecord* {
    return attr > 0 ? &p.Extra->Attributes[static_cast<size_t>(attr - 1)] : startStyle;
  };
  // Characters and blanks alike in the font in force.
  TRunMeter meter(M, chunk);
  auto width = [&](int32_t From, int32_t Count) -> int64_t { return meter.Width(style, attrStyle(), t + From, Count); };
  auto stepAttrs = [&](int32_t o) {
    while (attr < attrCount && p.Extra->Attributes[static_cast<size_t>(attr)].CountOrOffset <= o) ++attr;
  };

  std::vector<LineInfo> fresh;
  int32_t oldK = first;  // old line being stepped past
  bool stoppedEarly = false;
  int32_t resumeOld = oldCount;

  // The line being built.
  int32_t lineStart = pos;
  uint8_t lineStyle = style;
  int32_t lineAttr = attr;
  int32_t justStart = pos;
  int64_t x = 0;

  auto countSpaces = [&](int32_t a, int32_t b) {
    int32_t n = 0;
    for (int32_t k = std::max(a, lineStart); k < b; ++k) n += t[k] == ' ';
    return n;
  };
  auto finishLine = [&](int32_t Stop, int64_t Width, int64_t FullWidth, int32_t Spaces, int32_t JustStart) {
    LineInfo l;
    l.Start = lineStart;
    l.Stop = Stop;
    l.Width = Clamp32(Width);
    l.FullWidth = Clamp32(FullWidth);
    l.Spaces = Spaces;
    l.JustStart = JustStart;
    l.Style = lineStyle;
    l.AttrIndex = lineAttr;
    fresh.push_back(l);
    if (Width > WidestWidth) {
      WidestWidth = Width;
      if (recordWidestPar) WidestPar = Par;
    }
    if (!Whole) {
      while (oldK < oldCount && old[static_cast<size_t>(oldK)].Stop < Stop) ++oldK;
      if (oldK < oldCount - 1 && old[static_cast<size_t>(oldK)].Stop == Stop) {
        stoppedEarly = true;
        resumeOld = oldK + 1;
      }
    }
  };
  auto beginLine = [&](int32_t Start, uint8_t Style, int32_t Attr) {
    lineStart = Start;
    lineStyle = Style;
    lineAttr = Attr;
    justStart = Start;
    x = 0;
  };

  // Breaks a word that does not fit by characters: each line takes what fits, and
  // always at least one character.
  auto breakWord = [&](int32_t WordStart, int32_t WordEnd) {
    int32_t o = WordStart;
    while (o < WordEnd && !stoppedEarly) {
      stepAttrs(o);
      const char c = t[o];
      if (codes && IsStyleCode(static_cast<unsigned char>(c))) {
        ToggleStyleByCode(style, static_cast<unsigned char>(c));
        ++o;
        continue;
      }
      const int64_t w = width(o, 1);
      if (x + w > W && o > lineStart) {
        finishLine(o, x, x, 0, o);
        beginLine(o, style, attr);
        if (stoppedEarly) break;
      }
      x += w;
      ++o;
    }
  };

  while (pos < len && !stoppedEarly) {
    // Blanks: tabs, spaces and (with static format) style codes.
    const int64_t xBeforeBlanks = x;
    const int32_t blanksStart = pos;
    while (pos < len) {
      const char c = t[pos];
      if (codes && IsStyleCode(static_cast<unsigned char>(c))) {
        ToggleStyleByCode(style, static_cast<unsigned char>(c));
      } else if (c == '\t') {
        x = NextTab(x, tabs, avg);
        justStart = pos + 1;
      } else if (c == ' ') {
        // In the font in force; a run of spaces in one font at once.
        stepAttrs(pos);
        if (pos + 1 >= len || t[pos + 1] != ' ') {
          x += width(pos, 1);
        } else {
          const int32_t nextAttr = attr < attrCount ? p.Extra->Attributes[static_cast<size_t>(attr)].CountOrOffset : INT32_MAX;
          int32_t e = pos + 1;
          while (e < len && e < nextAttr && t[e] == ' ') ++e;
          for (int32_t b = pos; b < e; b += std::max(1, chunk)) x += width(b, std::min(e - b, std::max(1, chunk)));
          pos = e - 1;
        }
      } else if (c != '\0') {
        break;
      }
      ++pos;
    }
    stepAttrs(pos);
    if (pos >= len) break;

    // A word: up to the next blank; codes and attribute boundaries switch fonts.
    const int32_t wordStart = pos;
    const uint8_t wordStyle = style;
    const int32_t wordAttr = attr;
    const int64_t xAtWord = x;
    int64_t wordW = 0;
    while (pos < len && !IsBlankChar(t[pos])) {
      stepAttrs(pos);
      if (codes && IsStyleCode(static_cast<unsigned char>(t[pos]))) {
        ToggleStyleByCode(style, static_cast<unsigned char>(t[pos]));
        ++pos;
        continue;
      }
      const int32_t nextAttr = attr < attrCount ? p.Extra->Attributes[static_cast<size_t>(attr)].CountOrOffset : INT32_MAX;
      int32_t e = pos + 1;
      while (e < len && e < nextAttr && !IsBlankChar(t[e]) && !(codes && IsStyleCode(static_cast<unsigned char>(t[e])))) ++e;
      // Chunk by chunk, summed in 64 bits: a long word may pass 2^31 pixels.
      for (int32_t c = pos; c < e; c += std::max(1, chunk)) wordW += width(c, std::min(e - c, std::max(1, chunk)));
      pos = e;
    }
    wordW = std::max<int64_t>(0, wordW - Overhang);
    x = xAtWord + wordW;
    if (x <= W) continue;

    if (wordStart > lineStart) {
      // The line ends before the word; the blanks before it stay on this line.
      finishLine(wordStart, xBeforeBlanks, xAtWord, countSpaces(justStart, blanksStart), justStart);
      if (stoppedEarly) break;
      beginLine(wordStart, wordStyle, wordAttr);
      x = wordW;
      if (wordW <= W) continue;
    }
    // The word alone is wider than the line: broken by characters.
    style = wordStyle;
    attr = wordAttr;
    x = 0;
    breakWord(wordStart, pos);
  }

  if (!stoppedEarly) {
    // The last line: the rest of the text, or the one line of an empty paragraph.
    if (lineStart < len || fresh.empty()) finishLine(len, x, x, countSpaces(justStart, len), justStart);
    resumeOld = oldCount;
  }
  LastOld = resumeOld - 1;

  // New lines replace the old ones from the first redone line to the last reached.
  std::vector<LineInfo> all(old.begin(), old.begin() + first);
  all.insert(all.end(), fresh.begin(), fresh.end());
  all.insert(all.end(), old.begin() + resumeOld, old.end());
  if (all.empty()) all.push_back(LineInfo());
  NewCount = static_cast<int32_t>(all.size());
  if (NewCount == 1 && !(p.Flags & pfExtended)) {
    SetFirstLineInfo(p, all[0]);
  } else {
    MakeExtended(p);
    p.Extra->FirstLineInfo = all[0];
    p.Extra->LineInfos.assign(all.begin() + 1, all.end());
  }
  const int32_t delta = NewCount - oldCount;
  store.TotalLines += delta;
  return delta;
}

void TPelLayout::RescanWidest(const TPelMemoCore& Memo) {
  WidestWidth = 0;
  WidestPar = -1;
  const TParagraphsList& store = Memo.Paragraphs;
  for (int32_t i = 0; i < store.GetCount(); ++i) {
    TParagraph& p = store.Par(i);
    if (!(p.Flags & pfFormatted)) continue;
    TLinesList ll;
    ll.Par = &p;
    for (int32_t k = 0; k < ll.Count(); ++k) {
      const int32_t w = ll.GetLine(k)->Width;
      if (w > WidestWidth) {
        WidestWidth = w;
        WidestPar = i;
      }
    }
  }
}

TScrollRange VertScrollRange(int32_t TotalLines, int32_t LineHeight, int32_t ClientHeight, bool AutoScrollBars) {
  TScrollRange r;
  const int64_t total = static_cast<int64_t>(std::max(0, TotalLines)) * std::max(1, LineHeight);
  r.Unit = ScrollUnit(total);
  int64_t max = std::max<int64_t>(total / r.Unit, ClientHeight - LineHeight - 1);
  if (!AutoScrollBars && ClientHeight > max) ++max;
  r.Max = Clamp32(max);
  r.Page = std::max(0, (ClientHeight - LineHeight) / r.Unit);
  return r;
}

TScrollRange HorzScrollRange(int64_t Widest, const TPelMemoCore& Memo, int32_t ClientWidth) {
  TScrollRange r;
  const int64_t margins = static_cast<int64_t>(Memo.LeftMargin) + Memo.RightMargin;
  r.Unit = ScrollUnit(Widest + margins);
  r.Page = Clamp32(std::max<int64_t>(0, (ClientWidth - margins) / r.Unit));
  int64_t max = std::max<int64_t>(0, (Widest + margins - ClientWidth) / r.Unit) + r.Page - 1;
  if (Memo.LinesWrap() && Memo.ColumnWrap == 0) max = r.Page - 1;
  if (!Memo.HasOption(pmoAutoScrollBars)) ++max;
  if (Memo.Alignment != TAlignment::taLeftJustify) max = r.Page;
  r.Max = Clamp32(max);
  return r;
}

int32_t TWheelAccumulator::Add(int32_t Factor, int32_t Delta) {
  Acc += static_cast<int64_t>(Factor) * Delta;
  int32_t lines = 0;
  while (Acc < -119) {
    ++lines;
    Acc += 120;
  }
  while (Acc >= 120) {
    --lines;
    Acc -= 120;
  }
  return lines;
}

int32_t ScrollInViewX(int32_t Offset, int32_t CaretX, int32_t ClientWidth, int32_t AvgCharWidth) {
  const int32_t step = 5 * std::max(1, AvgCharWidth);
  if (CaretX >= ClientWidth) return Offset + ((CaretX - ClientWidth) / step + 1) * step;
  if (CaretX < 0) return std::max(0, Offset + (CaretX / step - 1) * step);
  return Offset;
}

int32_t ScrollInViewY(int32_t Offset, int32_t CaretLine, int32_t CaretY, int32_t LineHeight, int32_t ClientHeight,
                      int32_t VisibleLines, bool NoFineScroll) {
  if (CaretY > ClientHeight - LineHeight) {
    if (NoFineScroll) return std::max(CaretLine - VisibleLines + 2, 0) * LineHeight;
    return std::max(0, CaretLine * LineHeight + LineHeight - ClientHeight);
  }
  if (CaretY < 0) return CaretLine * LineHeight;
  return Offset;
}

bool FormatSlice(TPelMemoCore& Memo, const std::function<uint32_t()>& Now, int32_t& Lines, uint32_t SliceMs) {
  TParagraphsList& s = Memo.Paragraphs;
  const int32_t count = s.GetCount();
  const int32_t last = std::min(s.PendingLastPar, count - 1);
  if (s.PendingFirstPar >= count || s.PendingFirstPar > last) {
    s.PendingFirstPar = count;
    s.PendingLastPar = -1;
    return false;
  }
  const uint32_t start = Now();
  const int32_t first = std::max(0, s.PendingFirstPar);
  int32_t i = first;
  int32_t line = s.Par(i).FirstLine;
  int32_t delta = 0;
  bool formatted = false;
  // Parsing may carry a changed style on and raise PendingLastPar as it goes.
  while (i <= std::max(last, std::min(s.PendingLastPar, count - 1)) && Now() - start < SliceMs) {
    s.Par(i).FirstLine = line;
    if (!(s.Par(i).Flags & pfFormatted)) {
      delta += Memo.FormatParagraph(i);
      formatted = true;
    }
    line += GetLineCount(s.Par(i));
    ++i;
  }
  s.PendingFirstPar = i;
  if (delta != 0) s.ShiftLineIndices(i, delta);
  if (formatted)
    for (TPelNavigator* n : Memo.Navigators)
      if (n->Located() && n->ParIndex >= first) n->LineIndex = -1;
  Lines += delta;
  if (i > std::min(s.PendingLastPar, count - 1)) {
    s.PendingFirstPar = count;
    s.PendingLastPar = -1;
    return false;
  }
  return true;
}
