#include "memo/PelNavigator.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "memo/PelMemoCore.h"
#include "memo/PelMemoSupport.h"

namespace {
// Guess of an index by proportion, scaled so that the product stays within 32 bits.
int32_t ProportionalGuess(int32_t Value, int32_t Count, int32_t Total) {
  if (Total <= 0) return 0;
  int32_t v = Value, c = Count;
  if (v >= 32768 || c >= 32768) {
    const int32_t sv = v / 32768 + 1, sc = c / 32768 + 1;
    v /= sv;
    c /= sc;
    return static_cast<int32_t>(static_cast<int64_t>(v) * c / Total * sv * sc);
  }
  return v * c / Total;
}
}  // namespace

TPelNavigator::TPelNavigator(TPelMemoCore* M) : Memo(M) {
  if (Memo) {
    Store = &Memo->Paragraphs;
    Memo->Navigators.push_back(this);
  }
}

TPelNavigator::TPelNavigator(TParagraphsList& S) : Store(&S) {}

TPelNavigator::~TPelNavigator() {
  if (Memo && Store) {
    auto& list = Memo->Navigators;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  if (OnDestroy) OnDestroy(this);
}

void TPelNavigator::Detach() {
  // The text goes with the memo: a detached navigator may only be destroyed.
  Memo = nullptr;
  Store = nullptr;
  ParIndex = -1;
}

void TPelNavigator::Invalidate() {
  ParIndex = -1;
  ParOffset = -1;
  AttrIndex = -1;
  LineIndex = -1;
  AtLineEnd = false;
  if (LinesList) LinesList->Par = nullptr;
}

void TPelNavigator::Assign(const TPelNavigator& O) {
  Pos = O.Pos;
  ParIndex = O.ParIndex;
  ParOffset = O.ParOffset;
  AttrIndex = O.AttrIndex;
  LineIndex = O.LineIndex;
  AtLineEnd = O.AtLineEnd;
}

void TPelNavigator::Locate() {
  AttrIndex = -1;
  LineIndex = -1;
  ParIndex = Store->FindPar(Pos);
  if (ParIndex < 0) {
    ParOffset = -1;
    return;
  }
  ParOffset = Pos - Store->Par(ParIndex).StartPos;
}

int32_t TPelNavigator::GetParIndex() {
  if (ParIndex < 0 || ParIndex >= Store->GetCount()) Locate();
  return ParIndex;
}

TParagraph* TPelNavigator::GetPar() {
  const int32_t i = GetParIndex();
  return i < 0 ? nullptr : &Store->Par(i);
}

int32_t TPelNavigator::GetParOffset() {
  GetParIndex();
  return ParOffset;
}

void TPelNavigator::SetParIndex(int32_t I) {
  const TParagraph* p = Store->GetPar(I);
  ParIndex = I;
  Pos = p->StartPos;
  ParOffset = 0;
  AttrIndex = 0;
  LineIndex = 0;
  AtLineEnd = false;
}

void TPelNavigator::SetLocation(int32_t I, int32_t Offset, int32_t Attr, int32_t Line) {
  ParIndex = I;
  ParOffset = Offset;
  AttrIndex = Attr;
  LineIndex = Line;
  AtLineEnd = false;
  Pos = Store->Par(I).StartPos + Offset;
}

void TPelNavigator::SetPos(int32_t P) {
  AtLineEnd = false;
  if (Located() && ParIndex < Store->GetCount()) {
    const TParagraph& par = Store->Par(ParIndex);
    const int32_t len = GetParLength(par);
    if (P >= Pos && P <= par.StartPos + len + 1) {
      ParOffset = P - par.StartPos;
      if (AttrIndex >= 0)
        while (AttrIndex < GetAttrCount(par) && par.Extra->Attributes[static_cast<size_t>(AttrIndex)].CountOrOffset < ParOffset)
          ++AttrIndex;
      if (LineIndex >= 0) {
        const int32_t lines = GetLineCount(par);
        TLinesList& ll = GetLinesList();
        while (LineIndex < lines - 1 && ll.GetLine(LineIndex)->Stop <= ParOffset) ++LineIndex;
      }
      Pos = P;
      return;
    }
    AttrIndex = -1;
    LineIndex = -1;
    if (P >= par.StartPos && P <= par.StartPos + len + 1) {
      ParOffset = P - par.StartPos;
      Pos = P;
      return;
    }
  }
  ParIndex = -1;
  ParOffset = -1;
  AttrIndex = -1;
  LineIndex = -1;
  Pos = P;
}

void TPelNavigator::SetParOffset(int32_t N) {
  TParagraph* p = GetPar();
  ParOffset = std::min(N, GetParLength(*p));
  Pos = p->StartPos + ParOffset;
  if (AttrIndex >= 0) {
    AttrIndex = 0;
    while (AttrIndex < GetAttrCount(*p) && p->Extra->Attributes[static_cast<size_t>(AttrIndex)].CountOrOffset < ParOffset)
      ++AttrIndex;
  }
  AtLineEnd = false;
  if (LineIndex >= 0 && (p->Flags & pfExtended)) {
    // An offset equal to a wrapped line's start stays at the end of the line before.
    LineIndex = 0;
    for (const LineInfo& l : p->Extra->LineInfos)
      if (l.Start < ParOffset) ++LineIndex;
    const auto& lines = p->Extra->LineInfos;
    AtLineEnd = static_cast<size_t>(LineIndex) + 1 < lines.size() && lines[static_cast<size_t>(LineIndex) + 1].Start == ParOffset;
  }
}

char TPelNavigator::GetChar() {
  const TParagraph* p = GetPar();
  const int32_t len = GetParLength(*p);
  if (ParOffset < len) return GetParChars(*p)[ParOffset];
  return ParOffset == len ? '\r' : '\n';
}

std::string TPelNavigator::ReadText(int32_t Count) {
  GetParIndex();
  const int32_t start = Pos;
  return Store->GetTextRange(start, start + Count);
}

TLinesList& TPelNavigator::GetLinesList() {
  if (!LinesList) LinesList = std::make_unique<TLinesList>();
  LinesList->Par = GetPar();
  return *LinesList;
}

int32_t TPelNavigator::GetParLineIndex() {
  TParagraph* p = GetPar();
  if (LineIndex < 0) {
    const int32_t lines = GetLineCount(*p);
    TLinesList& ll = GetLinesList();
    int32_t k = 0;
    while (k < lines - 1 && ll.GetLine(k)->Stop <= ParOffset) ++k;
    // Placed on the line that ends here: that line, where the next one begins.
    if (AtLineEnd && k > 0 && ll.GetLine(k - 1)->Stop == ParOffset) --k;
    LineIndex = k;
  }
  return LineIndex;
}

int32_t TPelNavigator::GetLineIndex() {
  const int32_t l = GetParLineIndex();
  return Store->Par(ParIndex).FirstLine + l;
}

void TPelNavigator::SetLineIndex(int32_t Line) {
  const int32_t count = Store->GetCount();
  const bool wrap = Memo ? Memo->LinesWrap() : true;
  if (!wrap) {
    SetParIndex(std::max(0, std::min(Line, count - 1)));
    return;
  }
  const int32_t total = Store->TotalLines;
  Line = std::max(0, std::min(Line, total - 1));
  int32_t i = std::max(0, std::min(ProportionalGuess(Line, count, total), count - 1));
  while (i > 0 && Line < Store->Par(i).FirstLine) --i;
  while (i < count - 1 && Line >= Store->Par(i).FirstLine + GetLineCount(Store->Par(i))) ++i;
  ParIndex = i;
  const TParagraph& p = Store->Par(i);
  LineIndex = std::max(0, std::min(Line - p.FirstLine, GetLineCount(p) - 1));
  const LineInfo* l = GetLinesList().GetLine(LineIndex);
  ParOffset = l->Start;
  AttrIndex = l->AttrIndex;
  AtLineEnd = false;
  Pos = p.StartPos + ParOffset;
}

int32_t TPelNavigator::GetLineOffset() {
  const int32_t li = GetParLineIndex();
  return ParOffset - GetLinesList().GetLine(li)->Start;
}

void TPelNavigator::SetLineOffset(int32_t N) {
  const int32_t li = GetParLineIndex();
  const LineInfo l = *GetLinesList().GetLine(li);
  ParOffset = l.Start + std::max(0, std::min(l.Stop - l.Start, N));
  Pos = Store->Par(ParIndex).StartPos + ParOffset;
  AttrIndex = -1;
  // At a wrapped line's end the navigator stays on this line.
  AtLineEnd = ParOffset == l.Stop && li < GetLineCount(Store->Par(ParIndex)) - 1;
}

std::string TPelNavigator::GetLineText() {
  const int32_t li = GetParLineIndex();
  const LineInfo l = *GetLinesList().GetLine(li);
  const TParagraph& p = Store->Par(ParIndex);
  return std::string(GetParChars(p) + l.Start, static_cast<size_t>(std::max(0, l.Stop - l.Start)));
}

int32_t TPelNavigator::GetAttrIndex() {
  const TParagraph* p = GetPar();
  if (AttrIndex < 0) {
    AttrIndex = 0;
    while (AttrIndex < GetAttrCount(*p) && p->Extra->Attributes[static_cast<size_t>(AttrIndex)].CountOrOffset < ParOffset)
      ++AttrIndex;
  }
  return AttrIndex;
}

void TPelNavigator::SkipAttributesAtPos() {
  const int32_t a = GetAttrIndex();
  const TParagraph& p = Store->Par(ParIndex);
  AttrIndex = a;
  while (AttrIndex < GetAttrCount(p) && p.Extra->Attributes[static_cast<size_t>(AttrIndex)].CountOrOffset == ParOffset)
    ++AttrIndex;
}

const TStyleRecord* TPelNavigator::GetAttrStyle() {
  const int32_t a = GetAttrIndex();
  const TParagraph& p = Store->Par(ParIndex);
  if (a > 0) return &p.Extra->Attributes[static_cast<size_t>(a - 1)];
  return GetParStartStyle(p);
}

void TPelNavigator::GetStyle(TStyleRecord& Style) { Style = *GetAttrStyle(); }

uint8_t TPelNavigator::GetStaticStyle() {
  if (!Store->StaticFormat) return 0;
  const int32_t li = GetParLineIndex();
  const LineInfo l = *GetLinesList().GetLine(li);
  const TParagraph& p = Store->Par(ParIndex);
  const int32_t upto = std::min(ParOffset, GetParLength(p));
  return AdvanceStyle(l.Style, GetParChars(p) + l.Start, std::max(0, upto - l.Start));
}

bool TPelNavigator::FindPrevAttribute(int32_t Limit) {
  int32_t i = GetParIndex();
  int32_t a = GetAttrIndex();  // records before a lie before the navigator
  for (;;) {
    const TParagraph& p = Store->Par(i);
    if (a > 0) {
      const int32_t off = p.Extra->Attributes[static_cast<size_t>(a - 1)].CountOrOffset;
      if (p.StartPos + off < Limit) return false;
      SetLocation(i, off, a - 1, -1);
      return true;
    }
    if (p.StartPos <= Limit || i == 0) return false;
    --i;
    a = GetAttrCount(Store->Par(i));
  }
}

bool TPelNavigator::FindNextAttribute(int32_t Limit) {
  int32_t i = GetParIndex();
  int32_t a = GetAttrIndex();
  const int32_t count = Store->GetCount();
  for (;;) {
    const TParagraph& p = Store->Par(i);
    if (a < GetAttrCount(p)) {
      const int32_t off = p.Extra->Attributes[static_cast<size_t>(a)].CountOrOffset;
      if (p.StartPos + off > Limit) return false;
      SetLocation(i, off, a, -1);
      return true;
    }
    if (i >= count - 1 || p.StartPos + GetParLength(p) >= Limit) return false;
    ++i;
    a = 0;
  }
}

void TPelNavigator::InsertAttribute(const TStyleRecord& Record) {
  const int32_t a = GetAttrIndex();
  TParagraph& p = Store->Par(ParIndex);
  MakeExtended(p);
  TStyleRecord r = Record;
  r.CountOrOffset = ParOffset;
  p.Extra->Attributes.insert(p.Extra->Attributes.begin() + a, r);
  AttrIndex = a + 1;
}

void TPelNavigator::DeleteAttribute() {
  const int32_t a = GetAttrIndex();
  TParagraph& p = Store->Par(ParIndex);
  if (a >= GetAttrCount(p) || p.Extra->Attributes[static_cast<size_t>(a)].CountOrOffset != ParOffset)
    throw EPelMemoError(InternalError);
  p.Extra->Attributes.erase(p.Extra->Attributes.begin() + a);
  LineIndex = -1;
}

// ---- words --------------------------------------------------------------------------

bool TPelNavigator::IsSeparator(char Ch) const {
  if (Memo) return Memo->IsSeparator(Ch);
  return Ch == '\t' || Ch == '\n' || Ch == '\r' || Ch == ' ' || std::strchr("$%&,./:;<=>", Ch) != nullptr;
}

static char CharAtPos(const TParagraphsList& S, int32_t P) {
  const int32_t i = S.FindPar(P);
  const TParagraph& p = S.Par(i);
  const int32_t off = P - p.StartPos;
  const int32_t len = GetParLength(p);
  if (off < len) return GetParChars(p)[off];
  return off == len ? '\r' : '\n';
}

void TPelNavigator::PrevWord() {
  int32_t p = Pos;
  if (p <= 0) return;
  --p;
  while (p > 0 && IsSeparator(CharAtPos(*Store, p))) --p;
  while (p > 0 && !IsSeparator(CharAtPos(*Store, p - 1))) --p;
  SetPos(p);
}

void TPelNavigator::NextWord() {
  const int32_t total = Store->TotalChars;
  int32_t p = Pos;
  if (CharAtPos(*Store, p) == '\r') {
    SetPos(std::min(p + 2, total));
    return;
  }
  const int32_t start = p;
  while (p < total && !IsSeparator(CharAtPos(*Store, p))) ++p;
  if (p == start && CharAtPos(*Store, p) == '\r') p = std::min(p + 2, total);
  while (p < total && IsSeparator(CharAtPos(*Store, p))) ++p;
  SetPos(p);
}

void TPelNavigator::WordEnd() {
  const TParagraph& par = *GetPar();
  const int32_t len = GetParLength(par);
  int32_t o = std::min(ParOffset, len);
  while (o < len && !IsSeparator(GetParChars(par)[o])) ++o;
  SetPos(par.StartPos + o);
}

void TPelNavigator::WordStart() {
  const TParagraph& par = *GetPar();
  const int32_t len = GetParLength(par);
  int32_t o = std::min(ParOffset, len);
  const char* t = GetParChars(par);
  // Back while the character here is a separator (the paragraph end is one),
  // then back to the first character of the word.
  while (o > 0 && (o == len || IsSeparator(t[o]))) --o;
  while (o > 0 && !IsSeparator(t[o - 1])) --o;
  const int32_t start = par.StartPos;
  SetPos(start + o);
}

// ---- columns ----------------------------------------------------------------------

static int32_t NextColumn(int32_t Col, char Ch, int32_t TabStops, bool StaticFormat) {
  if (StaticFormat && IsStyleCode(static_cast<unsigned char>(Ch))) return Col;
  if (Ch == '\t' && TabStops > 0) return (Col / TabStops + 1) * TabStops;
  return Col + 1;
}

int32_t TPelNavigator::OffsetToColumn(const TParagraph& P, int32_t Offset, int32_t TabStops, bool StaticFormat) {
  const char* t = GetParChars(P);
  const int32_t n = std::min(Offset, GetParLength(P));
  int32_t col = 0;
  for (int32_t i = 0; i < n; ++i) col = NextColumn(col, t[i], TabStops, StaticFormat);
  return col;
}

int32_t TPelNavigator::ColumnToOffset(const TParagraph& P, int32_t Column, int32_t TabStops, bool StaticFormat) {
  const char* t = GetParChars(P);
  const int32_t len = GetParLength(P);
  int32_t col = 0, o = 0;
  while (o < len) {
    const int32_t next = NextColumn(col, t[o], TabStops, StaticFormat);
    if (next > Column) break;
    col = next;
    ++o;
  }
  return o;
}

int32_t TPelNavigator::ColumnToOffsetWithRest(const TParagraph& P, int32_t Column, int32_t TabStops, bool StaticFormat) {
  const int32_t o = ColumnToOffset(P, Column, TabStops, StaticFormat);
  return Column - OffsetToColumn(P, o, TabStops, StaticFormat);
}

void TPelNavigator::InvalidateNavigatorsInRange(const std::vector<TPelNavigator*>& List, int32_t FromPos, int32_t ToPar) {
  for (TPelNavigator* n : List)
    if (n->Located() && n->Pos > FromPos && n->ParIndex <= ToPar) {
      n->AttrIndex = -1;
      n->LineIndex = -1;
    }
}

// ---- pixels -------------------------------------------------------------------------

int32_t TPelNavigator::TabStopsValue() const { return Memo ? Memo->TabStops : 8; }

int32_t TPelNavigator::MeasureLine(const LineInfo& L, int32_t Upto, std::vector<int32_t>* Edges) {
  // x before each offset from the line start up to Upto (Edges gets one entry per
  // offset, Upto included), measured with the fonts in effect.
  const TParagraph& p = Store->Par(ParIndex);
  const char* t = GetParChars(p);
  const bool codes = Store->StaticFormat;
  TTextMeasurer* m = Memo && Memo->Host ? Memo->Host->Measurer() : nullptr;
  const int32_t avg = Memo ? std::max(1, Memo->AvgCharWidth) : 1;
  const int32_t chunk = Memo ? Memo->ExtentChunk : 256;
  const int32_t tabs = TabStopsValue();
  const int32_t attrCount = GetAttrCount(p);
  uint8_t style = L.Style;
  int32_t attr = std::max(0, std::min(L.AttrIndex, attrCount));
  while (attr < attrCount && p.Extra->Attributes[static_cast<size_t>(attr)].CountOrOffset <= L.Start) ++attr;
  auto currentAttr = [&]() -> const TStyleRecord* {
    return attr > 0 ? &p.Extra->Attributes[static_cast<size_t>(attr - 1)] : GetParStartStyle(p);
  };
  // Characters and blanks in the font in force (without a measurer, an average width each).
  std::optional<TRunMeter> meter;
  if (m) meter.emplace(*m, chunk);
  auto width = [&](int32_t From, int32_t Count) {
    return meter ? meter->Width(style, currentAttr(), t + From, Count) : Count * avg;
  };
  // Justification of lines that are not the paragraph's last.
  TLineSpread spread = Memo ? Memo->LineSpread(p, L) : TLineSpread();
  int32_t x = 0;
  int32_t o = L.Start;
  Upto = std::min(Upto, L.Stop);
  if (Edges) Edges->clear();
  while (o < Upto) {
    while (attr < attrCount && p.Extra->Attributes[static_cast<size_t>(attr)].CountOrOffset <= o) ++attr;
    const char c = t[o];
    if (codes && IsStyleCode(static_cast<unsigned char>(c))) {
      if (Edges) Edges->push_back(x);
      ToggleStyleByCode(style, static_cast<unsigned char>(c));
      ++o;
      continue;
    }
    if (c == '\t') {
      if (Edges) Edges->push_back(x);
      if (tabs > 0) {
        const int32_t step = tabs * avg;
        x = (x / step + 1) * step;
      } else if (tabs < 0) {
        x = (x / -tabs + 1) * -tabs;
      }
      ++o;
      continue;
    }
    // A run of ordinary characters up to the next code, tab or attribute boundary.
    int32_t e = o + 1;
    const int32_t nextAttr = attr < attrCount ? p.Extra->Attributes[static_cast<size_t>(attr)].CountOrOffset : INT32_MAX;
    while (e < Upto && e < nextAttr && t[e] != '\t' && !(codes && IsStyleCode(static_cast<unsigned char>(t[e])))) ++e;
    const int32_t x0 = x;
    if (Edges) {
      // Cumulative advances: the measurer's widths add up, so one pass suffices.
      int32_t before = 0;
      for (int32_t k = o; k < e; ++k) {
        Edges->push_back(x0 + before);
        before += width(k, 1);
      }
      x = x0 + before;
    } else {
      x = x0 + width(o, e - o);
    }
    if (spread.Justify) {
      for (int32_t k = o; k < e; ++k)
        if (const int32_t extra = spread.Extra(t[k], k)) {
          x += extra;
          if (Edges)
            for (size_t q = static_cast<size_t>(k + 1 - L.Start); q < Edges->size(); ++q) (*Edges)[q] += extra;
        }
    }
    o = e;
  }
  if (Edges) Edges->push_back(x);
  return x;
}

int32_t TPelNavigator::LineShift(const LineInfo& L, bool) {
  return Memo ? Memo->LineSpread(Store->Par(ParIndex), L).Start : 0;
}

int32_t TPelNavigator::GetXOnLine() {
  const int32_t li = GetParLineIndex();
  const LineInfo l = *GetLinesList().GetLine(li);
  const int32_t x = MeasureLine(l, ParOffset, nullptr);
  return x + LineShift(l, false) - (Memo ? Memo->HorzOffset : 0);
}

void TPelNavigator::SetXOnLine(int32_t X) {
  const int32_t li = GetParLineIndex();
  const LineInfo l = *GetLinesList().GetLine(li);
  std::vector<int32_t> edges;
  MeasureLine(l, l.Stop, &edges);
  const int32_t target = X - LineShift(l, false) + (Memo ? Memo->HorzOffset : 0);
  // Past a character while the x before it plus half its width is at or left of the target.
  int32_t passed = 0;
  const int32_t n = static_cast<int32_t>(edges.size()) - 1;
  while (passed < n) {
    const int32_t before = edges[static_cast<size_t>(passed)];
    const int32_t w = edges[static_cast<size_t>(passed + 1)] - before;
    if (before + w / 2 <= target && !(w == 0 && before > target))
      ++passed;
    else
      break;
  }
  LineIndex = li;
  SetLineOffset(passed);
  LineIndex = li;
}

void TPelNavigator::GetPoint(int32_t& X, int32_t& Y) {
  X = GetXOnLine();
  const int32_t lh = Memo ? Memo->LineHeight : 1;
  Y = GetLineIndex() * lh - (Memo ? Memo->VertOffset - Memo->TopOffset : 0);
}

void TPelNavigator::SetFromPoint(int32_t X, int32_t Y) {
  const int32_t lh = Memo ? std::max(1, Memo->LineHeight) : 1;
  int32_t line = ((Memo ? Memo->VertOffset : 0) + Y) / lh;
  if (line < Store->TotalLines) {
    line = std::max(0, line);
    SetLineIndex(line);
    SetXOnLine(X);
  } else {
    SetPos(Store->TotalChars);
  }
}
