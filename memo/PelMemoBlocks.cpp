// Column blocks, pastes (ordinary, by column, keeping the selection), drag-and-drop,
// line selection and the indentation helpers of the memo's keys. No Qt here.
#include <algorithm>

#include "memo/PelMemoCore.h"

namespace {

bool IsBlank(char C) { return C == ' ' || C == '\t'; }

// Rows of a text as a string list takes them: CR LF, CR or LF ends a row; a line
// end at the very end adds no empty row.
std::vector<std::string> SplitRows(std::string_view Text) {
  std::vector<std::string> rows;
  size_t a = 0;
  while (a < Text.size()) {
    size_t b = a;
    while (b < Text.size() && Text[b] != '\r' && Text[b] != '\n') ++b;
    rows.emplace_back(Text.substr(a, b - a));
    if (b < Text.size() && Text[b] == '\r' && b + 1 < Text.size() && Text[b + 1] == '\n') ++b;
    a = b + 1;
  }
  return rows;
}

}  // namespace

int32_t TPelMemoCore::LostColumns() {
  if (SelLength == 0 || BlockActive || CaretNav != SelEndNav.get()) return 0;
  const int32_t par = SelStartNav->GetParIndex();
  if (SelEndNav->GetParIndex() != par) return 0;
  const TParagraph& p = Paragraphs.Par(par);
  const bool codes = GetStaticFormat();
  const int32_t a = SelStartNav->GetParOffset(), b = SelEndNav->GetParOffset();
  int32_t plain = 0;
  for (int32_t o = a; o < b; ++o) {
    const unsigned char c = static_cast<unsigned char>(GetParChars(p)[o]);
    if (c != '\t' && !(codes && IsStyleCode(c))) ++plain;
  }
  const int32_t span = TPelNavigator::OffsetToColumn(p, b, TabStops, codes) - TPelNavigator::OffsetToColumn(p, a, TabStops, codes);
  return std::max(0, span - plain);
}

int32_t TPelMemoCore::IndentColumns(std::string_view Blanks) const {
  int32_t cols = 0;
  for (char c : Blanks) cols += c == '\t' ? (TabStops > 0 ? TabStops : 1) : 1;
  return cols;
}

int32_t TPelMemoCore::CaretParColumn() {
  TPelNavigator& c = CaretPosNav();
  return TPelNavigator::OffsetToColumn(*c.GetPar(), c.GetParOffset(), TabStops, GetStaticFormat());
}

void TPelMemoCore::PlaceCaretApart(int32_t Pos) {
  PasteAnchorNav->SetPos(std::max(0, std::min(Pos, GetTextLength())));
  // At the selection's own caret end the caret simply rejoins it; a selection is
  // never given up here (a drop point passes that end on its way along the line).
  CaretApart = SelLength != 0 && PasteAnchorNav->Pos != CaretNav->Pos;
  if (SelLength == 0) SetSelStart(PasteAnchorNav->Pos);
  if (Host && UpdateCount < 1) Host->UpdateCaret();
}

// ---- column blocks ---------------------------------------------------------------------

std::string TPelMemoCore::GetBlockText() {
  if (!BlockActive || SelLength == 0) return {};
  std::string out;
  const int32_t lo = std::min(BlockStartColumn, BlockStopColumn), hi = std::max(BlockStartColumn, BlockStopColumn);
  const int32_t last = SelEndNav->GetParIndex();
  for (int32_t p = SelStartNav->GetParIndex(); p <= last; ++p) {
    const TParagraph& par = Paragraphs.Par(p);
    const int32_t a = TPelNavigator::ColumnToOffset(par, lo, TabStops, GetStaticFormat());
    const int32_t b = TPelNavigator::ColumnToOffset(par, hi, TabStops, GetStaticFormat());
    if (b > a) out.append(GetParChars(par) + a, static_cast<size_t>(b - a));
    out += "\r\n";
  }
  return out;
}

void TPelMemoCore::SelectBlock(int32_t Column1, int32_t Par1, int32_t Par2, int32_t Column2) {
  if (WordWrap) return;
  const int32_t n = GetParCount();
  Par1 = std::max(0, std::min(Par1, n - 1));
  Par2 = std::max(0, std::min(Par2, n - 1));
  Column1 = std::max(0, Column1);
  Column2 = std::max(0, Column2);
  const TParagraph& p1 = Paragraphs.Par(Par1);
  const TParagraph& p2 = Paragraphs.Par(Par2);
  const int32_t o1 = TPelNavigator::ColumnToOffset(p1, Column1, TabStops, GetStaticFormat());
  const int32_t o2 = TPelNavigator::ColumnToOffset(p2, Column2, TabStops, GetStaticFormat());
  const int32_t reach = TPelNavigator::OffsetToColumn(p2, o2, TabStops, GetStaticFormat());
  const int32_t caret = p2.StartPos + o2, anchor = p1.StartPos + o1;
  ++UpdateCount;
  SetSelStart(caret);
  SetSelLength(anchor - caret);
  --UpdateCount;
  VirtualColumn = std::max(Column2 - reach, 0);
  BlockActive = true;
  BlockStartColumn = Column1;
  BlockStopColumn = Column2;
  if (Host && UpdateCount < 1) {
    Host->SelectionChanged();
    Host->UpdateCaret();
  }
}

// ---- pastes ----------------------------------------------------------------------------

void TPelMemoCore::PasteText(std::string_view Text, bool AsBlock, int32_t Column) {
  const bool keep = HasOption(pmoNoOverwriteBlocks);
  if (keep) SaveSelectionForPaste();
  try {
    if (!Text.empty()) {
      UndoGroupBreak = true;
      if (AsBlock) {
        PasteBlockText(Text, Column);
      } else {
        SetSelText(Text);
      }
      UndoGroupBreak = true;
    }
  } catch (...) {
    if (keep) RestoreSelectionAfterPaste();
    throw;
  }
  if (keep) RestoreSelectionAfterPaste();
}

void TPelMemoCore::PasteBlockText(std::string_view Text, int32_t Column) {
  const std::vector<std::string> rows = SplitRows(Text);
  if (rows.empty()) return;
  if (Column < 0) Column = CaretParColumn() + VirtualColumn;
  // The rows go in from the selection's first paragraph on (the caret's when
  // nothing is selected); a selection is not replaced.
  const int32_t first = SelStartNav->GetParIndex();
  BeginUpdate();
  try {
    std::string s;
    for (size_t i = 0; i < rows.size(); ++i) {
      const int32_t p = first + static_cast<int32_t>(i);
      s.clear();
      if (p >= GetParCount()) {
        // A new paragraph, its blanks and the row make one edit.
        SetSelStart(GetTextLength());
        s = "\r\n";
        s.append(static_cast<size_t>(Column), ' ');
      } else {
        const TParagraph& par = Paragraphs.Par(p);
        const int32_t off = TPelNavigator::ColumnToOffset(par, Column, TabStops, GetStaticFormat());
        const int32_t cols = TPelNavigator::OffsetToColumn(par, off, TabStops, GetStaticFormat());
        SetSelStart(par.StartPos + off);
        s.append(static_cast<size_t>(std::max(0, Column - cols)), ' ');
      }
      s += rows[i];
      UndoGroupBreak = true;
      SetSelTextBuf(s.c_str());
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  if (UpdateCount == 0 && Host) Host->ScrollInView();
}

void TPelMemoCore::SaveSelectionForPaste() {
  const int32_t caret = GetCaretPos();
  const int32_t virt = VirtualColumn;
  if (HasOption(pmoPersistentBlocks)) {
    KeptStartNav = std::make_unique<TPelNavigator>(this);
    KeptEndNav = std::make_unique<TPelNavigator>(this);
    KeptStartNav->SetPos(SelStartNav->Pos);
    KeptEndNav->SetPos(SelEndNav->Pos);
    KeptCaretAtStart = CaretNav == SelStartNav.get();
    KeptBlock = BlockActive && SelLength != 0;
    if (KeptBlock) {
      // Columns of the block's two ends relative to the columns their navigators reached.
      const int32_t atStart = KeptCaretAtStart ? BlockStopColumn : BlockStartColumn;
      const int32_t atEnd = KeptCaretAtStart ? BlockStartColumn : BlockStopColumn;
      KeptColumn1 = atStart - TPelNavigator::OffsetToColumn(*KeptStartNav->GetPar(), KeptStartNav->GetParOffset(),
                                                            TabStops, GetStaticFormat());
      KeptColumn2 =
          atEnd - TPelNavigator::OffsetToColumn(*KeptEndNav->GetPar(), KeptEndNav->GetParOffset(), TabStops, GetStaticFormat());
    }
    // The selection is kept, not left: collapsing it is no caret move, and typing
    // goes on in the same undo record.
    const bool groupBreak = UndoGroupBreak;
    BlockActive = false;
    SetSelStart(caret);
    UndoGroupBreak = groupBreak;
    VirtualColumn = virt;
    BeginUpdate();
  } else {
    // Collapsed onto the caret; with nothing selected this is no caret move, and
    // typing goes on in the same undo record.
    if (IsCaretApart())
      SetSelStart(caret);
    else
      SetSelLength(0);
    VirtualColumn = virt;
  }
}

void TPelMemoCore::RestoreSelectionAfterPaste() {
  if (!HasOption(pmoPersistentBlocks) || !KeptStartNav || !KeptEndNav) return;
  // Putting the kept selection back moves no caret: the undo grouping stays as the edit left it.
  const bool groupBreak = UndoGroupBreak;
  const int32_t anchor = SelStartNav->Pos;
  const int32_t a = KeptStartNav->Pos, b = KeptEndNav->Pos;
  if (KeptBlock) {
    const int32_t pa = KeptStartNav->GetParIndex(), pb = KeptEndNav->GetParIndex();
    const int32_t ca = TPelNavigator::OffsetToColumn(*KeptStartNav->GetPar(), KeptStartNav->GetParOffset(), TabStops,
                                                     GetStaticFormat());
    const int32_t cb =
        TPelNavigator::OffsetToColumn(*KeptEndNav->GetPar(), KeptEndNav->GetParOffset(), TabStops, GetStaticFormat());
    // The stop column belongs to the caret's end of the block.
    if (KeptCaretAtStart)
      SelectBlock(cb + KeptColumn2, pb, pa, ca + KeptColumn1);
    else
      SelectBlock(ca + KeptColumn1, pa, pb, cb + KeptColumn2);
  } else if (KeptCaretAtStart) {
    SetSelStart(a);
    SetSelLength(b - a);
  } else {
    SetSelStart(b);
    SetSelLength(a - b);
  }
  KeptStartNav.reset();
  KeptEndNav.reset();
  const bool block = BlockActive;
  VirtualColumn = 0;
  PlaceCaretApart(anchor);
  BlockActive = block && SelLength != 0;
  UndoGroupBreak = groupBreak;
  EndUpdate();
  if (UpdateCount == 0 && Host) {
    Host->SelectionChanged();
    Host->UpdateCaret();
  }
}

// ---- drag-and-drop -----------------------------------------------------------------------

bool TPelMemoCore::DropSelection(int32_t Drop, bool Copy) {
  SelectionOutOfBreak();
  const int32_t a = SelStartNav->Pos, b = SelEndNav->Pos;
  if (SelLength == 0 || (Drop >= a && Drop <= b)) {
    SetSelStart(Drop);
    return false;
  }
  BeginUpdate();
  try {
    const std::string text = GetTextRange(a, b);
    TPelNavigator drop(this);
    drop.SetPos(Drop);
    UndoGroupBreak = true;
    if (!Copy) SetSelTextBuf(nullptr);
    SetSelStart(drop.Pos);
    UndoGroupBreak = true;
    SetSelTextBuf(text.c_str());
    if (!Copy && UndoIndex > 0) MarkUndoGrouped(UndoIndex - 1);
    // The insert is selected from the drop point to its end (it can be shorter
    // than the dragged text: trailing blanks may be discarded).
    const int32_t end = SelEndNav->Pos;
    SetSelStart(end);
    SetSelLength(drop.Pos - end);
    UndoGroupBreak = true;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  if (Host && UpdateCount == 0) {
    Host->SelectionChanged();
    Host->UpdateCaret();
  }
  return true;
}

// ---- line selection ------------------------------------------------------------------------

void TPelMemoCore::SelectLines(int32_t FromLine, int32_t ToLine) {
  const int32_t lines = GetDisplayLineCount();
  FromLine = std::max(0, std::min(FromLine, lines - 1));
  ToLine = std::max(0, std::min(ToLine, lines - 1));
  auto bounds = [&](int32_t Line, int32_t& S, int32_t& E) {
    TPelNavigator n(Paragraphs);
    n.Memo = this;
    n.SetLineIndex(Line);
    const TParagraph& p = *n.GetPar();
    TLinesList& ll = n.GetLinesList();
    const int32_t li = n.GetParLineIndex();
    const LineInfo l = *ll.GetLine(li);
    S = p.StartPos + l.Start;
    E = p.StartPos + l.Stop;
    if (li == ll.Count() - 1) {
      E = p.StartPos + GetParLength(p);
      if (n.GetParIndex() < GetParCount() - 1) E += 2;
    }
  };
  int32_t fs = 0, fe = 0, ts = 0, te = 0;
  bounds(FromLine, fs, fe);
  bounds(ToLine, ts, te);
  if (ToLine >= FromLine) {
    SetSelStart(te);
    SetSelLength(fs - te);
  } else {
    SetSelStart(ts);
    SetSelLength(fe - ts);
  }
}

// ---- indentation -----------------------------------------------------------------------------

std::string TPelMemoCore::SmartTabBlanks() {
  if (WordWrap) return "\t";
  TPelNavigator& c = CaretPosNav();
  const int32_t par = c.GetParIndex();
  if (par == 0) return {};
  const int32_t col = CaretParColumn() + VirtualColumn;
  const bool codes = GetStaticFormat();
  for (int32_t i = par - 1; i >= 0; --i) {
    const TParagraph& p = Paragraphs.Par(i);
    const int32_t len = GetParLength(p);
    if (TPelNavigator::OffsetToColumn(p, len, TabStops, codes) <= col) continue;
    const char* t = GetParChars(p);
    int32_t o = TPelNavigator::ColumnToOffset(p, col, TabStops, codes);
    while (o < len && !IsBlank(t[o])) ++o;
    while (o < len && IsBlank(t[o])) ++o;
    const int32_t to = TPelNavigator::OffsetToColumn(p, o, TabStops, codes);
    return std::string(static_cast<size_t>(std::max(0, to - col)), ' ');
  }
  return {};
}

std::string TPelMemoCore::AutoIndentText() {
  TPelNavigator& c = CaretPosNav();
  const int32_t col = CaretParColumn() + VirtualColumn;
  for (int32_t i = c.GetParIndex(); i >= 0; --i) {
    const TParagraph& p = Paragraphs.Par(i);
    const int32_t len = GetParLength(p);
    if (len == 0) continue;
    const char* t = GetParChars(p);
    std::string out;
    int32_t cols = 0;
    for (int32_t o = 0; o < len && IsBlank(t[o]); ++o) {
      const int32_t w = IndentColumns(std::string_view(t + o, 1));
      if (cols + w > col) break;
      cols += w;
      out.push_back(t[o]);
    }
    return out;
  }
  return {};
}

int32_t TPelMemoCore::BackIndentStart() {
  TPelNavigator& c = CaretPosNav();
  const TParagraph& p = *c.GetPar();
  const int32_t off = c.GetParOffset();
  if (off <= 0) return -1;
  const char* t = GetParChars(p);
  for (int32_t o = 0; o < off; ++o)
    if (!IsBlank(t[o])) return -1;
  const bool codes = GetStaticFormat();
  const int32_t col = TPelNavigator::OffsetToColumn(p, off, TabStops, codes);
  int32_t target = 0;
  for (int32_t i = c.GetParIndex() - 1; i >= 0; --i) {
    const TParagraph& q = Paragraphs.Par(i);
    const int32_t len = GetParLength(q);
    const char* u = GetParChars(q);
    int32_t o = 0;
    while (o < len && IsBlank(u[o])) ++o;
    if (o == len) continue;  // empty or only blanks: no indentation to follow
    const int32_t indent = TPelNavigator::OffsetToColumn(q, o, TabStops, codes);
    if (indent < col) {
      target = indent;
      break;
    }
  }
  return p.StartPos + TPelNavigator::ColumnToOffset(p, target, TabStops, codes);
}
