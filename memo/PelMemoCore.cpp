#include "memo/PelMemoCore.h"

#include <algorithm>
#include <cstring>

#include "memo/PelStream.h"

namespace {
const char* const VersionText = "PelMemo 1.0";
const char* const DefaultSeparators = "\t\n\r $%&,./:;<=>";
}  // namespace

TPelMemoCore::TPelMemoCore() {
  SelStartNav = std::make_unique<TPelNavigator>(this);
  SelEndNav = std::make_unique<TPelNavigator>(this);
  PasteAnchorNav = std::make_unique<TPelNavigator>(this);
  CaretNav = SelStartNav.get();
  SetSeparators(DefaultSeparators);
  ClearText();
}

TPelMemoCore::~TPelMemoCore() {
  // Destroyed by a message it is handling: the dispatch must not touch it again.
  if (MessageNesting > 0) AddDestroyedMemo(this);
  SetHighlighter(nullptr);
  // Navigators that others hold forget this memo; our own go with it.
  for (TPelNavigator* n : Navigators)
    if (!OwnNavigator(n)) n->Detach();
  Navigators.erase(std::remove_if(Navigators.begin(), Navigators.end(), [&](TPelNavigator* n) { return !OwnNavigator(n); }),
                   Navigators.end());
}

// ---- selection ----------------------------------------------------------------------

void TPelMemoCore::SetSelStart(int32_t P) {
  CaretApart = false;
  BlockActive = false;
  SelLength = 0;
  VirtualColumn = 0;
  RememberedX = NoCaretX;
  P = std::max(0, std::min(P, GetTextLength()));
  SelStartNav->SetPos(P);
  SelEndNav->Assign(*SelStartNav);
  CaretNav = SelStartNav.get();
  UndoGroupBreak = true;
  if (Host && UpdateCount < 1) Host->UpdateCaret();
}

void TPelMemoCore::KeepCaretLine(const TPelNavigator& At) {
  TPelNavigator& c = CaretPosNav();
  if (c.Pos != At.Pos) return;
  c.Assign(At);
  if (SelLength == 0 && !CaretApart) (CaretNav == SelStartNav.get() ? SelEndNav : SelStartNav)->Assign(At);
  if (Host && UpdateCount < 1) Host->UpdateCaret();
}

void TPelMemoCore::PutSelection(int32_t Anchor, int32_t Other) {
  if (Other >= Anchor) {
    SelStartNav->SetPos(Anchor);
    SelEndNav->SetPos(Other);
    CaretNav = SelStartNav.get();
  } else {
    SelEndNav->SetPos(Anchor);
    SelStartNav->SetPos(Other);
    CaretNav = SelEndNav.get();
  }
}

void TPelMemoCore::SetSelLength(int32_t N) {
  BlockActive = false;
  CaretApart = false;
  if (N == SelLength) return;
  UndoGroupBreak = true;
  const int32_t anchor = SelLength < 0 ? SelEndNav->Pos : SelStartNav->Pos;
  const int64_t other = std::max<int64_t>(0, std::min<int64_t>(static_cast<int64_t>(anchor) + N, GetTextLength()));
  N = static_cast<int32_t>(other - anchor);
  // Both ends start from the anchor so that forward moves stay cheap.
  TPelNavigator* a = SelLength < 0 ? SelEndNav.get() : SelStartNav.get();
  TPelNavigator* b = a == SelStartNav.get() ? SelEndNav.get() : SelStartNav.get();
  b->Assign(*a);
  PutSelection(anchor, static_cast<int32_t>(other));
  SelLength = N;
  if (Host && UpdateCount < 1) Host->SelectionChanged();
}

void TPelMemoCore::SelectAll() {
  SetSelStart(GetTextLength());
  SetSelLength(-GetTextLength());
}

std::string TPelMemoCore::GetSelText() {
  if (SelLength == 0) return {};
  if (BlockActive) return GetBlockText();
  return GetTextRange(SelStartNav->Pos, SelEndNav->Pos);
}

void TPelMemoCore::SelectionOutOfBreak() {
  if (SelLength == 0 || BlockActive) return;
  Paragraphs.MoveOutOfBreak(*SelStartNav, *SelEndNav);
  const int32_t n = SelEndNav->Pos - SelStartNav->Pos;
  SelLength = SelLength < 0 ? -n : n;
}

void TPelMemoCore::SetSelText(std::string_view S) {
  std::string s;
  if (VirtualColumn > 0 && HasOption(pmoPutExtraSpaces) && !(BlockActive && SelLength != 0))
    s.assign(static_cast<size_t>(VirtualColumn), ' ');
  s.append(S);
  SetSelTextBuf(s.c_str());
}

void TPelMemoCore::SetTextBuf(const char* Text) {
  SelectAll();
  SetSelTextBuf(Text);
}

void TPelMemoCore::Clear() { SetTextBuf(""); }

void TPelMemoCore::ClearSelection() { SetSelText(""); }

char TPelMemoCore::GetCharAt(int32_t Offset) const {
  const int32_t i = Paragraphs.FindPar(Offset);
  const TParagraph& p = Paragraphs.Par(i);
  const int32_t off = Offset - p.StartPos, len = GetParLength(p);
  if (off < len) return GetParChars(p)[off];
  return off == len ? '\r' : '\n';
}

// ---- the edit path ------------------------------------------------------------------

void TPelMemoCore::SetSelTextBuf(const char* Text) {
  if (OnBeforeChange) OnBeforeChange(*this, Text);
  const bool noText = Text == nullptr || *Text == '\0';
  if (SelLength == 0) BlockActive = false;  // an empty block has no rows to replace
  if (SelLength == 0 && noText) return;

  if (BlockActive) {
    // A column block: each row is deleted as an edit of its own.
    BlockActive = false;
    const int32_t lo = std::min(BlockStartColumn, BlockStopColumn), hi = std::max(BlockStartColumn, BlockStopColumn);
    const int32_t p1 = SelStartNav->GetParIndex(), p2 = SelEndNav->GetParIndex();
    BeginUpdate();
    for (int32_t p = p1; p <= p2; ++p) {
      const TParagraph& par = Paragraphs.Par(p);
      const int32_t a = TPelNavigator::ColumnToOffset(par, lo, TabStops, GetStaticFormat());
      const int32_t b = TPelNavigator::ColumnToOffset(par, hi, TabStops, GetStaticFormat());
      SetSelStart(par.StartPos + a);
      SetSelLength(b - a);
      SetSelTextBuf(nullptr);
    }
    EndUpdate();
    if (noText) return;
  }

  VirtualColumn = 0;
  RememberedX = NoCaretX;
  Modified = true;
  const bool discard = HasOption(pmoDiscardTrailingSpaces) && !InUndo;
  // Never inside a break; with discarding, the blanks that the store would take
  // are part of the range from the start, so that the undo record holds them.
  Paragraphs.MoveOutOfBreak(*SelStartNav, *SelEndNav);
  if (discard) Paragraphs.ExtendStartOverBlanks(Text, *SelStartNav);
  const int32_t oldStart = SelStartNav->Pos;
  const int32_t oldEnd = SelEndNav->Pos;
  const int32_t oldEndPar = SelEndNav->GetParIndex();
  const int32_t oldEndOffset = SelEndNav->GetParOffset();

  // Refuse an over-long text before anything is recorded or changed.
  {
    int64_t grow = 5;
    for (const char* c = Text; c && *c; ++c) grow += *c == '\r' ? 2 : 1;
    if (static_cast<int64_t>(GetTextLength()) - (oldEnd - oldStart) + grow > MaxTextChars) throw EPelMemoError(TextTooLongError);
  }

  int32_t openRecord = -1;
  if (UndoMaxLevel > 0) RecordUndo(oldStart, openRecord);

  bool attrsRemoved = false;
  int32_t parDelta = 0, charDelta = 0;
  Paragraphs.ReplaceText(Text, *SelStartNav, attrsRemoved, parDelta, charDelta, KeepCodes, discard, *SelEndNav);
  if (Host) Host->ParagraphsReplaced(SelStartNav->GetParIndex(), oldEndPar, parDelta);

  if (openRecord >= 0) UndoList[static_cast<size_t>(openRecord)].Stop = SelEndNav->Pos;

  AdjustNavigators(oldStart, oldEnd, oldEndPar, oldEndOffset, charDelta, parDelta);
  if (OnParse) OnParse(*this, SelStartNav->Pos, SelEndNav->Pos);
  ReparseAfterEdit(SelStartNav->GetParIndex());
  const int32_t changeStart = SelStartNav->Pos;

  VirtualColumn = 0;
  SelLength = 0;
  BlockActive = false;
  CaretApart = false;
  SelStartNav->Assign(*SelEndNav);
  CaretNav = SelStartNav.get();
  CancelCodePairsAfterEdit(changeStart, SelEndNav->Pos);
  if (UpdateCount == 0) {
    UpdateAfterEdit();
    if (Host) Host->ScrollInView();
  }
}

void TPelMemoCore::RecordUndo(int32_t OldStart, int32_t& OpenRecord) {
  const int32_t oldEnd = SelEndNav->Pos;
  if (!InUndo)
    while (static_cast<int32_t>(UndoList.size()) > UndoIndex) DeleteUndoRecordTracked(UndoCount() - 1, OpenRecord);
  const bool extend = OldStart == oldEnd && UndoIndex != 0 && !InUndo && !UndoGroupBreak &&
                      OldStart == UndoList[static_cast<size_t>(UndoIndex - 1)].Stop &&
                      OldStart != UndoList[static_cast<size_t>(UndoIndex - 1)].Start;
  UndoGroupBreak = false;
  if (extend) {
    OpenRecord = UndoIndex - 1;
  } else {
    TUndoRecord rec;
    rec.Start = OldStart;
    rec.Stop = OldStart;
    rec.Text = GetTextRange(OldStart, oldEnd);
    if (UndoIndex < UndoCount()) {
      UndoBytes -= UndoList[static_cast<size_t>(UndoIndex)].Size();
      UndoList[static_cast<size_t>(UndoIndex)] = std::move(rec);
    } else {
      while (UndoIndex > UndoMaxLevel) DeleteUndoRecordTracked(0, OpenRecord);
      UndoList.push_back(std::move(rec));
    }
    UndoBytes += UndoList[static_cast<size_t>(UndoIndex)].Size();
    OpenRecord = UndoIndex;
    ++UndoIndex;
  }
  TrimUndoSpace(OpenRecord);
}

void TPelMemoCore::TrimUndoSpace(int32_t& OpenRecord) {
  while (UndoBytes > UndoMaxSpace) {
    if (UndoCount() > UndoIndex)
      DeleteUndoRecordTracked(UndoCount() - 1, OpenRecord);
    else if (UndoIndex > 0)
      DeleteUndoRecordTracked(0, OpenRecord);
    else
      break;
  }
}

void TPelMemoCore::DeleteUndoRecordTracked(int32_t I, int32_t& OpenRecord) {
  if (I == OpenRecord)
    OpenRecord = -1;
  else if (I < OpenRecord)
    --OpenRecord;
  DeleteUndoRecord(I);
}

void TPelMemoCore::AdjustNavigators(int32_t OldStart, int32_t OldEnd, int32_t OldEndPar, int32_t OldEndOffset, int32_t CharDelta,
                                    int32_t ParDelta) {
  const int32_t startPar = SelStartNav->ParIndex;
  const int32_t lastPar = SelEndNav->ParIndex;
  const int32_t lastOffset = SelEndNav->ParOffset;
  for (TPelNavigator* n : Navigators) {
    if (n == SelStartNav.get() || n == SelEndNav.get()) continue;
    if (n->Pos < OldStart) {
      if (n->Located() && n->ParIndex == startPar) n->LineIndex = -1;
      continue;
    }
    if (n->Pos > OldEnd) {
      if (!n->Located()) {
        n->Pos += CharDelta;
      } else if (n->ParIndex == OldEndPar) {
        n->SetLocation(lastPar, n->ParOffset - OldEndOffset + lastOffset, -1, -1);
      } else {
        n->ParIndex += ParDelta;
        n->Pos += CharDelta;
      }
      continue;
    }
    // Inside the replaced text: to the start of the change.
    if (n->ResetOnEdit) {
      n->Invalidate();
      n->Pos = SelStartNav->Pos;
    } else {
      n->Assign(*SelStartNav);
    }
  }
}

// ---- undo -----------------------------------------------------------------------------

void TPelMemoCore::Undo() {
  if (UndoIndex <= 0) return;
  const TUndoRecord rec = UndoList[static_cast<size_t>(UndoIndex - 1)];
  SetSelStart(rec.Start);
  SetSelLength(rec.Stop - rec.Start);
  InUndo = true;
  --UndoIndex;
  const int32_t before = UndoIndex;
  const int32_t count = UndoCount();
  SetSelTextBuf(rec.Text.c_str());
  // A replay that changed nothing made no record; the index already stands right.
  if ((UndoIndex != before || UndoCount() != count) && UndoIndex > 0) --UndoIndex;
  InUndo = false;
  if (rec.Grouped && UndoIndex > 0) {
    Undo();
    if (UndoIndex + 1 < UndoCount()) UndoList[static_cast<size_t>(UndoIndex + 1)].Grouped = true;
  }
}

void TPelMemoCore::Redo() {
  if (UndoIndex >= UndoCount()) return;
  const TUndoRecord rec = UndoList[static_cast<size_t>(UndoIndex)];
  SetSelStart(rec.Start);
  SetSelLength(rec.Stop - rec.Start);
  InUndo = true;
  const int32_t before = UndoIndex;
  SetSelTextBuf(rec.Text.c_str());
  if (UndoIndex == before) ++UndoIndex;  // nothing to replay
  InUndo = false;
  if (UndoIndex < UndoCount() && UndoList[static_cast<size_t>(UndoIndex)].Grouped) {
    Redo();
    UndoList[static_cast<size_t>(UndoIndex - 1)].Grouped = true;
  }
}

bool TPelMemoCore::CanUndo() const { return UndoIndex >= (InUndo ? 2 : 1); }

bool TPelMemoCore::CanRedo() const { return InUndo ? UndoCount() >= UndoIndex : UndoCount() > UndoIndex; }

void TPelMemoCore::ClearUndo() {
  UndoList.clear();
  UndoIndex = 0;
  UndoBytes = 0;
}

const TUndoRecord& TPelMemoCore::GetUndoRecord(int32_t I) const {
  if (I < 0 || I >= UndoCount()) throw EListError(ListIndexError);
  return UndoList[static_cast<size_t>(I)];
}

void TPelMemoCore::DeleteUndoRecord(int32_t I) {
  if (I < 0 || I >= UndoCount()) throw EListError(ListIndexError);
  UndoBytes -= UndoList[static_cast<size_t>(I)].Size();
  UndoList.erase(UndoList.begin() + I);
  if (I < UndoIndex) --UndoIndex;
}

void TPelMemoCore::SetUndoMaxLevel(int32_t N) {
  if (N > 0x7FFFFFF) throw EListError(UndoTooHighError);
  if (N < 0) N = 0;
  while (UndoCount() > std::max(UndoIndex, N)) DeleteUndoRecord(UndoCount() - 1);
  while (N < UndoIndex) DeleteUndoRecord(0);
  UndoMaxLevel = N;
}

void TPelMemoCore::SetUndoMaxSpace(int32_t N) {
  while (UndoCount() > UndoIndex && N < UndoBytes) DeleteUndoRecord(UndoCount() - 1);
  while (N < UndoBytes && UndoCount() > 0) DeleteUndoRecord(0);
  UndoMaxSpace = N;
}

// ---- paragraphs and display lines -----------------------------------------------------

std::string TPelMemoCore::GetParText(int32_t I) const { return std::string(Paragraphs.ParText(I)); }

void TPelMemoCore::SetParText(int32_t I, std::string_view S) {
  const std::string s(S);
  SetParTextBuf(I, s.c_str());
}

void TPelMemoCore::SetParTextBuf(int32_t I, const char* Text) {
  if (I < 0) throw EListError(ListIndexError);
  BeginUpdate();
  while (I >= GetParCount()) {
    SetSelStart(GetTextLength());
    SetSelTextBuf("\r\n");
  }
  const int32_t caret = CaretNav->Pos;
  const int32_t caretPar = CaretNav->GetParIndex();
  const int32_t selLen = SelLength;
  const int32_t before = GetTextLength();
  SetSelStart(GetParStart(I));
  SetSelLength(GetParLength(Paragraphs.Par(I)));
  SetSelTextBuf(Text);
  const int32_t delta = GetTextLength() - before;
  SetSelStart(caretPar > I ? caret + delta : caret);
  if (caretPar != I) SetSelLength(selLen);
  EndUpdate();
}

int32_t TPelMemoCore::GetParStart(int32_t I) const { return Paragraphs.GetPar(I)->StartPos; }

void TPelMemoCore::MoveToPar(int32_t I) {
  I = std::max(0, std::min(I, GetParCount() - 1));
  SetSelStart(GetParStart(I));
}

void TPelMemoCore::SetCaretLine(int32_t Line) {
  if (Host && Host->Measurer()) FormatRange(Paragraphs.PendingFirstPar, GetParCount() - 1, false);
  TPelNavigator nav(Paragraphs);
  nav.Memo = this;  // reads the memo's settings; not registered
  nav.SetLineIndex(Line);
  SetSelStart(nav.Pos);
}

std::string TPelMemoCore::GetDisplayLine(int32_t Line) {
  if (Line < 0 || Line >= GetDisplayLineCount()) throw EListError(ListIndexError);
  if (Host && Host->Measurer()) FormatRange(Paragraphs.PendingFirstPar, GetParCount() - 1, false);
  TPelNavigator nav(Paragraphs);
  nav.Memo = this;  // reads the memo's settings; not registered
  nav.SetLineIndex(Line);
  return nav.GetLineText();
}

void TPelMemoCore::SetCaretColumn(int32_t Column) {
  // Column c of the caret's own display line, also where it stands at a wrapped
  // line's end (where its bare position would name the next line).
  TPelNavigator at(Paragraphs);
  at.Memo = this;  // reads the memo's settings; not registered
  at.Assign(*CaretNav);
  const int32_t li = at.GetParLineIndex();
  const LineInfo l = *at.GetLinesList().GetLine(li);
  const TParagraph& p = *at.GetPar();
  const int32_t startCol = TPelNavigator::OffsetToColumn(p, l.Start, TabStops, GetStaticFormat());
  int32_t off = TPelNavigator::ColumnToOffset(p, startCol + std::max(0, Column), TabStops, GetStaticFormat());
  off = std::min(std::max(off, l.Start), l.Stop);
  at.SetLineOffset(off - l.Start);
  SetSelStart(at.Pos);
  KeepCaretLine(at);
  if (HasOption(pmoKeepColumnPos) && !WordWrap) {
    const int32_t lineCols = TPelNavigator::OffsetToColumn(p, l.Stop, TabStops, GetStaticFormat()) - startCol;
    if (Column > lineCols) VirtualColumn = Column - lineCols;
  }
}

int32_t TPelMemoCore::GetCaretColumn() {
  TPelNavigator& c = *CaretNav;
  const int32_t li = c.GetParLineIndex();
  const LineInfo l = *c.GetLinesList().GetLine(li);
  const TParagraph& p = *c.GetPar();
  return TPelNavigator::OffsetToColumn(p, c.ParOffset, TabStops, GetStaticFormat()) -
         TPelNavigator::OffsetToColumn(p, l.Start, TabStops, GetStaticFormat()) + VirtualColumn;
}

// ---- formatting and the display ------------------------------------------------------

void TPelMemoCore::BeginUpdate() { ++UpdateCount; }

void TPelMemoCore::EndUpdate() {
  if (UpdateCount <= 0) return;
  if (--UpdateCount == 0) {
    UpdateAfterEdit();
    if (Host) Host->ScrollInView();
  }
}

int32_t TPelMemoCore::FormatParagraph(int32_t I) {
  if (!(Paragraphs.Par(I).Flags & pfParsed) && HighlightingActive()) ParseParagraph(I, true);
  if (Host && Host->Measurer()) return Host->FormatMeasured(*this, I);
  TParagraph& p = *Paragraphs.GetPar(I);
  const int32_t old = GetLineCount(p);
  p.Flags |= pfFormatted | pfParsed;
  const int32_t len = GetParLength(p);
  if (p.Flags & pfExtended) {
    p.Extra->LineInfos.clear();
    LineInfo& l = p.Extra->FirstLineInfo;
    const uint8_t style = l.Style;
    l = LineInfo();
    l.Stop = len;
    l.JustStart = len;
    l.Style = style;
  } else {
    p.Short.Width = 0;
  }
  const int32_t delta = 1 - old;
  Paragraphs.TotalLines += delta;
  return delta;
}

TLineSpread TPelMemoCore::LineSpread(const TParagraph& P, const LineInfo& L) const {
  TLineSpread s;
  const int32_t area = ClientWidth - LeftMargin - RightMargin;
  s.Justify = Justified && L.Spaces > 0 && L.Stop < GetParLength(P);
  if (s.Justify) {
    const int32_t free = std::max(0, area - L.Width);
    s.PerSpace = free / L.Spaces;
    s.Remainder = free % L.Spaces;
    s.Acc = s.Remainder / 2;
    s.Spaces = L.Spaces;
    s.JustStart = L.JustStart;
    s.Start = LeftMargin;
    return s;
  }
  switch (Alignment) {
    case TAlignment::taRightJustify: s.Start = ClientWidth - RightMargin - L.Width; break;
    case TAlignment::taCenter: s.Start = LeftMargin + (area - L.Width) / 2; break;
    default: s.Start = LeftMargin;
  }
  return s;
}

int32_t TPelMemoCore::FormatRange(int32_t First, int32_t Last, bool Force, int32_t StopLine) {
  Last = std::min(Last, GetParCount() - 1);
  First = std::max(First, 0);
  if (First > Last) return First;
  const TLayoutScope scope(Host);
  const bool stopping = StopLine != INT32_MAX;
  if (!stopping) ParseAttributesTo(Last);
  int32_t line = Paragraphs.Par(First).FirstLine;
  int32_t delta = 0;
  bool formatted = false;
  int32_t i = First;
  for (; i <= Last; ++i) {
    // Past the first paragraph, only what starts at or above the stop line.
    if (stopping) {
      if (i > First && line > StopLine) break;
      ParseAttributesTo(i);
    }
    TParagraph& p = Paragraphs.Par(i);
    p.FirstLine = line;
    if (Force || !(p.Flags & pfFormatted)) {
      delta += FormatParagraph(i);
      formatted = true;
    }
    line += GetLineCount(Paragraphs.Par(i));
  }
  Last = i - 1;
  if (delta != 0) Paragraphs.ShiftLineIndices(Last + 1, delta);
  // Lines were laid out anew: cached line indices from here on may be stale.
  if (formatted)
    for (TPelNavigator* n : Navigators)
      if (n->Located() && n->ParIndex >= First) n->LineIndex = -1;
  if (Last + 1 > Paragraphs.PendingFirstPar && First <= Paragraphs.PendingFirstPar) Paragraphs.PendingFirstPar = Last + 1;
  if (Paragraphs.PendingFirstPar > Paragraphs.PendingLastPar) Paragraphs.PendingLastPar = -1;
  return i;
}

void TPelMemoCore::UpdateAfterEdit() {
  TParagraphsList& s = Paragraphs;
  if (s.ChangeLastPar >= 0) {
    const int32_t first = std::max(0, std::min(s.ChangeFirstPar, GetParCount() - 1));
    const int32_t last = std::min(s.ChangeLastPar, GetParCount() - 1);
    const int32_t before = s.TotalLines;
    // The changed paragraphs that show are laid out now; the rest keep their
    // estimated line counts and wait for the background.
    const int32_t next = FormatRange(first, last, false, Host ? Host->EditLayoutStopLine() : INT32_MAX);
    if (next <= last) {
      MarkPending(next);
      MarkPending(last);
    }
    if (Host) Host->TextDisplayChanged(s.ChangeFirstLine, s.ChangeLineDelta + s.TotalLines - before);
    s.ChangeLastPar = -1;
    s.ChangeLineDelta = 0;
  }
  if (s.EditInProgress) {
    s.EditInProgress = false;
    Change();
  }
  if (Host) Host->UpdateCaret();
}

void TPelMemoCore::Change() {
  if (Host) Host->Changed();
  ChangeHooks.Notify(*this, hfTextChanged);
  if (!MessageHooks.Empty()) SendMemoMessage(CM_TEXTCHANGED);
  if (OnChange) OnChange(*this);
}

void TPelMemoCore::SendMemoMessage(uint32_t Msg, intptr_t WParam, intptr_t LParam) {
  TMemoMessage m{Msg, WParam, LParam, 0};
  DispatchMemoMessage(this, m, [](TMemoMessage&) {});
}

void TPelMemoCore::CheckIntegrity() const {
  auto fail = [](const char* What) { throw EPelMemoError(std::string(What) + VersionText); };
  int64_t lines = 0, offset = 0;
  for (int32_t i = 0; i < Paragraphs.GetCount(); ++i) {
    TParagraph& p = Paragraphs.Par(i);
    if (p.FirstLine != lines) fail("Error 1");
    if (p.StartPos != offset) fail("Error 2 in ");
    TLinesList ll;
    ll.Par = &p;
    int32_t prevStop = 0;
    const int32_t n = ll.Count();
    for (int32_t k = 0; k < n; ++k) {
      const LineInfo* l = ll.GetLine(k);
      if (l->Start != prevStop) fail("Error 3 in ");
      prevStop = l->Stop;
    }
    if (prevStop != GetParLength(p)) fail("Error 4 in ");
    lines += n;
    offset += GetParLength(p) + 2;
  }
  if (static_cast<int64_t>(GetTextLength()) + 2 != offset) fail("Error 5 in ");
  if (Paragraphs.TotalLines != lines) fail("Error 6 in ");
}

// ---- loading and saving -------------------------------------------------------------

void TPelMemoCore::ClearText() {
  UpperPar = -1;
  UpperText.clear();
  Paragraphs.Clear();
  TMemoryStream empty;
  TPelLineBreak lb = LineBreak;
  Paragraphs.LoadFromStream(empty, '\0', 0, nullptr, lb, false);
  Paragraphs.ChangeLastPar = -1;
  Paragraphs.EditInProgress = false;
  for (TPelNavigator* n : Navigators) {
    n->Invalidate();
    n->Pos = 0;
  }
  SelLength = 0;
  VirtualColumn = 0;
  BlockActive = false;
  CaretApart = false;
  CaretNav = SelStartNav.get();
  ClearUndo();
}

void TPelMemoCore::LoadTextFromStream(TStream& Stream) {
  Modified = true;
  ++UpdateCount;
  Paragraphs.Clear();
  UpperPar = -1;
  UpperText.clear();
  ClearUndo();
  TPelLineBreak lb = LineBreak;
  TProgressCallback progress;
  if (OnProgress) progress = [this](TParagraphsList&) { OnProgress(*this); };
  try {
    Paragraphs.LoadFromStream(Stream, NullReplacement, ProgressInterval, progress, lb, HasOption(pmoDiscardTrailingSpaces));
  } catch (...) {
    --UpdateCount;
    ClearText();
    throw;
  }
  if (HasOption(pmoAutoLineBreak)) LineBreak = lb;
  SelLength = 0;
  VirtualColumn = 0;
  BlockActive = false;
  CaretApart = false;
  CaretNav = SelStartNav.get();
  for (TPelNavigator* n : Navigators) {
    n->Invalidate();
    n->Pos = 0;
  }
  if (OnParse) OnParse(*this, 0, GetTextLength());
  --UpdateCount;
  HorzOffset = 0;
  VertOffset = 0;
  if (UpdateCount == 0) {
    Paragraphs.ChangeLastPar = -1;
    Paragraphs.ChangeLineDelta = 0;
    if (Host) {
      Host->TextDisplayChanged(0, 0);
      Host->UpdateCaret();
    }
  }
  Change();
}

bool TPelMemoCore::SaveTextToStream(TStream& Stream) const {
  TProgressCallback progress;
  if (OnProgress) progress = [this](TParagraphsList&) { OnProgress(const_cast<TPelMemoCore&>(*this)); };
  return Paragraphs.WriteText(Stream, false, ProgressInterval, progress, LineBreak, HasOption(pmoDiscardTrailingSpaces));
}

// ---- settings -------------------------------------------------------------------------

void TPelMemoCore::SetStaticFormat(bool On) {
  if (On == GetStaticFormat()) return;
  if (GetTextLength() == 0) {
    Paragraphs.StaticFormat = On;
    return;
  }
  TMemoryStream m;
  SaveTextToStream(m);
  Paragraphs.StaticFormat = On;
  m.Seek(0);
  const bool modified = Modified;
  LoadTextFromStream(m);
  Modified = modified;
}

void TPelMemoCore::SetOptions(uint32_t O) {
  if (O == Options) return;
  const bool discardOn = (O & pmoDiscardTrailingSpaces) && !(Options & pmoDiscardTrailingSpaces);
  Options = O;
  if (discardOn) {
    TMemoryStream m;
    SaveTextToStream(m);
    m.Seek(0);
    const bool modified = Modified;
    LoadTextFromStream(m);
    Modified = modified;
  }
}

std::string TPelMemoCore::GetSeparators() const {
  std::string s;
  for (int c = 0; c < 256; ++c)
    if (Separators.test(static_cast<size_t>(c))) s.push_back(static_cast<char>(c));
  return s;
}

void TPelMemoCore::SetSeparators(std::string_view S) {
  Separators.reset();
  for (char c : S) Separators.set(static_cast<unsigned char>(c));
  Separators.set('\r');
  Separators.set('\n');
  StartStopKeys.Prepared = false;
}
