// The one routine through which every change of the text passes.
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "memo/ParagraphsList.h"
#include "memo/PelMemoSupport.h"
#include "memo/PelNavigator.h"

namespace {

bool IsBlank(char C) { return C == ' ' || C == '\t'; }

// Cuts inserted text into pieces at each CR (a CR LF pair is one break; a lone LF
// is an ordinary character).
std::vector<std::string_view> SplitPieces(std::string_view T) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (size_t i = 0; i < T.size(); ++i) {
    if (T[i] == '\r') {
      pieces.push_back(T.substr(start, i - start));
      if (i + 1 < T.size() && T[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  pieces.push_back(T.substr(start));
  return pieces;
}

void TrimBlanks(std::string_view& S) {
  while (!S.empty() && IsBlank(S.back())) S.remove_suffix(1);
}

}  // namespace

void TParagraphsList::MoveOutOfBreak(TPelNavigator& StartNav, TPelNavigator& EndNav) {
  const bool empty = StartNav.Pos == EndNav.Pos;
  if (StartNav.GetParOffset() > GetParLength(*StartNav.GetPar())) StartNav.SetPos(StartNav.Pos - 1);
  if (EndNav.GetParOffset() > GetParLength(*EndNav.GetPar())) {
    // An empty range stays empty: an insertion at the paragraph end.
    if (empty)
      EndNav.Assign(StartNav);
    else
      EndNav.SetPos(EndNav.Pos + 1);
  }
}

void TParagraphsList::ExtendStartOverBlanks(const char* NewText, TPelNavigator& StartNav) const {
  if (NewText == nullptr) return;
  const std::string_view t(NewText);
  const size_t cr = t.find('\r');
  if (cr == std::string_view::npos) return;
  for (size_t i = 0; i < cr; ++i)
    if (!IsBlank(t[i])) return;
  const int32_t off = StartNav.GetParOffset();
  const std::string_view par = GetParView(*StartNav.GetPar());
  int32_t k = IntMin(off, static_cast<int32_t>(par.size()));
  while (k > 0 && IsBlank(par[static_cast<size_t>(k - 1)])) --k;
  if (k < off) StartNav.SetPos(StartNav.Pos - (off - k));
}

void TParagraphsList::ReplaceText(const char* NewText, TPelNavigator& StartNav, bool& AttrsRemoved, int32_t& ParDelta,
                                  int32_t& CharDelta, bool KeepStyle, bool Discard, TPelNavigator& EndNav) {
  AttrsRemoved = false;
  ParDelta = 0;
  CharDelta = 0;
  // The store is never split inside a break.
  MoveOutOfBreak(StartNav, EndNav);
  if (Discard) ExtendStartOverBlanks(NewText, StartNav);

  const int32_t sp = StartNav.GetParIndex();
  const int32_t so = StartNav.GetParOffset();
  const int32_t ep = EndNav.GetParIndex();
  const int32_t eo = EndNav.GetParOffset();
  const int32_t startPos = StartNav.Pos;
  const int32_t endPos = EndNav.Pos;

  const std::string_view text = NewText ? std::string_view(NewText) : std::string_view();
  std::vector<std::string_view> pieces = SplitPieces(text);
  const int32_t k = static_cast<int32_t>(pieces.size()) - 1;  // breaks inserted

  uint8_t scratch = 0;
  if (StaticFormat) scratch = AdvanceStyle(0, text.data(), static_cast<int32_t>(text.size()));

  if (Discard) {
    for (int32_t j = 0; j < k; ++j) TrimBlanks(pieces[static_cast<size_t>(j)]);
    if (eo >= GetParLength(Par(ep))) TrimBlanks(pieces.back());
  }

  // The replaced range: its codes and attribute records.
  for (int32_t p = sp; p <= ep; ++p) {
    const TParagraph& q = Par(p);
    const int32_t a = p == sp ? so : 0;
    const int32_t b = p == ep ? eo : GetParLength(q);
    if (StaticFormat && b > a) scratch = AdvanceStyle(scratch, GetParChars(q) + a, b - a);
    for (int32_t r = 0; r < GetAttrCount(q); ++r) {
      const int32_t off = q.Extra->Attributes[static_cast<size_t>(r)].CountOrOffset;
      if ((p > sp || off >= a) && (p < ep || off < b) && (p != sp || p != ep || a < b)) AttrsRemoved = true;
    }
  }
  std::string lastPiece(pieces.back());
  if (KeepStyle && scratch != 0) {
    static const unsigned char order[] = {21, 1, 2, 3, 4};
    for (unsigned char c : order)
      if (scratch & StyleBitOfCode(c)) lastPiece.push_back(static_cast<char>(c));
  }
  pieces.back() = lastPiece;

  // Sizes first: nothing changes when the text would grow too long.
  int64_t inserted = 2LL * k;
  for (const auto& s : pieces) inserted += static_cast<int64_t>(s.size());
  const int64_t removed = static_cast<int64_t>(endPos) - startPos;
  const int64_t newTotal = static_cast<int64_t>(TotalChars) - removed + inserted;
  const int64_t epLen = GetParLength(Par(ep));
  const int64_t firstLen = so + static_cast<int64_t>(pieces[0].size()) + (k == 0 ? epLen - eo : 0);
  const int64_t lastLen = static_cast<int64_t>(pieces.back().size()) + epLen - eo;
  if (newTotal > MaxTextChars || firstLen > MaxTextChars || lastLen > MaxTextChars) throw EPelMemoError(TextTooLongError);

  EditInProgress = true;
  MarkChanged(sp, StartNav.GetParLineIndex(), ep);

  TParagraph& S = Par(sp);
  const uint8_t spStyle = GetParStaticStyle(S);
  // The style in effect at the start, for the paragraphs that the edit creates.
  TStyleRecord* newStartStyle = GetParStartStyle(S);
  bool styleIsCopy = false;
  if (GetAttrCount(S) > 0) {
    const auto& attrs = S.Extra->Attributes;
    for (size_t r = attrs.size(); r-- > 0;) {
      if (attrs[r].CountOrOffset < so) {
        newStartStyle = CopyStyle(&attrs[r]);
        styleIsCopy = true;
        break;
      }
    }
  }

  // Text and attribute records after the end move into the last paragraph.
  const TParagraph& E = Par(ep);
  const std::string suffix(GetParChars(E) + eo, static_cast<size_t>(epLen - eo));
  std::vector<TStyleRecord> moved;
  if (GetAttrCount(E) > 0)
    for (const auto& r : E.Extra->Attributes)
      if (r.CountOrOffset >= eo && !(ep == sp && r.CountOrOffset < so)) moved.push_back(r);

  const std::string prefix(GetParChars(S), static_cast<size_t>(so));
  std::string first = prefix;
  first.append(pieces[0]);
  const int32_t firstInserted = static_cast<int32_t>(first.size());
  if (k == 0) first.append(suffix);
  StoreParText(S, first);
  S.Flags &= static_cast<uint8_t>(~pfFormatted);
  if (GetAttrCount(S) > 0) {
    auto& attrs = S.Extra->Attributes;
    size_t keep = 0;
    while (keep < attrs.size() && attrs[keep].CountOrOffset < so) ++keep;
    attrs.resize(keep);
    if (k == 0)
      for (auto r : moved) {
        r.CountOrOffset += firstInserted - eo;
        attrs.push_back(r);
      }
  }
  if (k == 0 && !moved.empty() && GetAttrCount(S) == 0) {
    MakeExtended(S);
    for (auto r : moved) {
      r.CountOrOffset += firstInserted - eo;
      S.Extra->Attributes.push_back(r);
    }
  }

  // Paragraphs wholly replaced.
  int32_t removedLines = 0;
  for (int32_t p = sp + 1; p <= ep; ++p) {
    removedLines += GetLineCount(Par(p));
    FreeParagraph(Par(p));
  }

  // New paragraphs for the further pieces.
  std::vector<TParagraph> fresh;
  fresh.reserve(static_cast<size_t>(k));
  uint8_t st = StaticFormat ? AdvanceStyle(spStyle, first.data(), firstInserted) : 0;
  int32_t pos = S.StartPos + static_cast<int32_t>(first.size()) + 2;
  int32_t line = S.FirstLine + GetLineCount(S);
  for (int32_t j = 1; j <= k; ++j) {
    std::string body(pieces[static_cast<size_t>(j)]);
    const int32_t insertedHere = static_cast<int32_t>(body.size());
    if (j == k) body.append(suffix);
    TParagraph q = NewParagraph();
    q.StartPos = pos;
    q.FirstLine = line;
    StoreParText(q, body);
    if (st != 0) SetParStaticStyle(q, st);
    SetParStartStyle(q, newStartStyle, false);
    if (j == k && !moved.empty()) {
      MakeExtended(q);
      for (auto r : moved) {
        r.CountOrOffset += insertedHere - eo;
        q.Extra->Attributes.push_back(r);
      }
    }
    if (StaticFormat) st = AdvanceStyle(st, body.data(), insertedHere);
    pos += static_cast<int32_t>(body.size()) + 2;
    ++line;
    fresh.push_back(q);
  }
  if (styleIsCopy) ReleaseStyle(newStartStyle);

  // Records into place.
  const int32_t oldCount = Count;
  const int32_t newCount = oldCount - (ep - sp) + k;
  const int32_t tail = oldCount - ep - 1;
  if (newCount > oldCount) {
    SetCount(newCount);
    MoveItems(ep + 1, sp + 1 + k, tail);
  } else {
    MoveItems(ep + 1, sp + 1 + k, tail);
    SetCount(newCount);
  }
  for (int32_t j = 0; j < k; ++j) std::memcpy(ItemAt(sp + 1 + j), &fresh[static_cast<size_t>(j)], sizeof(TParagraph));

  ParDelta = k - (ep - sp);
  CharDelta = static_cast<int32_t>(inserted - removed);
  const int32_t lineDelta = k - removedLines;
  ShiftStartPosAndLines(sp + k + 1, CharDelta, lineDelta);
  TotalChars = static_cast<int32_t>(newTotal);
  TotalLines += lineDelta;
  ChangeLineDelta += lineDelta;
  ChangeLastPar += ParDelta;
  // The pending range moves with the paragraphs it names; what it held of the
  // replaced ones is the changed range's now.
  if (PendingFirstPar > ep)
    PendingFirstPar += ParDelta;
  else if (PendingFirstPar > sp)
    PendingFirstPar = sp + 1;
  if (PendingLastPar > ep)
    PendingLastPar += ParDelta;
  else if (PendingLastPar > sp + k)
    PendingLastPar = sp + k;
  if (LastParsedPar > ep) LastParsedPar += ParDelta;

  // The in-text style a paragraph starts with is derived from all the text before
  // it. An edit that adds or removes codes changes it for the paragraphs after the
  // edit: it is derived again, as a load would, until a paragraph already starts
  // with the style carried into it. Line styles follow by the same toggles; a
  // changed font lays the paragraph out again.
  if (StaticFormat)
    for (int32_t j = sp + k; j + 1 < Count; ++j) {
      const TParagraph& q = Par(j);
      TParagraph& next = Par(j + 1);
      const uint8_t carried = AdvanceStyle(GetParStaticStyle(q), GetParChars(q), GetParLength(q));
      const uint8_t toggled = carried ^ GetParStaticStyle(next);
      if (toggled == 0) break;
      MakeExtended(next);
      next.Extra->FirstLineInfo.Style ^= toggled;
      for (LineInfo& l : next.Extra->LineInfos) l.Style ^= toggled;
      if (toggled & StyleFontMask) next.Flags &= static_cast<uint8_t>(~pfFormatted);
      if (j + 1 > ChangeLastPar) ChangeLastPar = j + 1;
    }

  if (ParDelta != 0 && Count + Count / 16 + 8 < Capacity) SetCapacity(Count + Count / 32 + 4);

  // The end navigator goes after the inserted text; the start stays.
  if (k > 0) {
    EndNav.SetLocation(sp + k, static_cast<int32_t>(pieces.back().size()), 0, 0);
  } else {
    EndNav.SetLocation(sp, firstInserted, -1, -1);
  }
  StartNav.LineIndex = -1;
}
