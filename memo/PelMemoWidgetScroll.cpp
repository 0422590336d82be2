// Layout, scrolling and the caret of the memo's window: background formatting
// slices, scroll ranges and positions, smooth scrolling, the scroll bars' actions,
// the wheel, bringing the caret into view, placing the caret at a position or an x,
// the caret itself and its blinking while the memo has the focus.
#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "memo/PelMemoParse.h"
#include "memo/PelMemoWidget.h"

// ---- layout --------------------------------------------------------------------------

bool TPelMemo::FormatPending() const {
  return Paragraphs.PendingFirstPar < GetParCount() && Paragraphs.PendingFirstPar <= Paragraphs.PendingLastPar;
}

void TPelMemo::StartPacer() {
  if (Pacer.isActive()) return;
  // Progress is told from when the work begins.
  LastProgressTime = Clock();
  Pacer.start();
}

void TPelMemo::RunFormatSlice() {
  if (UpdateCount > 0) return;
  if (!Measurer()) {
    Pacer.stop();
    return;
  }
  int32_t lines = 0;
  bool more = false;
  {
    // The scope's end runs what follows from the lines laid out (LayoutDone).
    const TLayoutScope scope(this);
    more = FormatSlice(*this, Clock, lines);
  }
  if (lines != 0) viewport()->update();
  const uint32_t now = Clock();
  if (OnProgress && now - LastProgressTime > ProgressInterval) {
    LastProgressTime = now;
    OnProgress(*this);
  }
  if (!more) {
    Pacer.stop();
    if (OnProgress) {
      LastProgressTime = now;
      OnProgress(*this);
    }
  }
}

// Every layout ends here, whoever asked for it (edits, properties, the keys, the
// background slices, painting, the caret): the scroll ranges follow the line count,
// the horizontal range the widest line, and the caret is placed again when lines
// at or above it were laid out anew or the view moved under it. A follow-up may lay
// out again (a changed client width, the caret's paragraph): then once more.
void TPelMemo::LayoutDone() {
  if (LayoutDepth > 0 || InLayoutDone) return;
  InLayoutDone = true;
  for (int round = 0; LaidOut && round < 8; ++round) {
    const int32_t first = LaidOutFirst, last = LaidOutLast, changed = LinesChangedFirst;
    LaidOut = false;
    LaidOutFirst = INT32_MAX;
    LaidOutLast = -1;
    LinesChangedFirst = INT32_MAX;
    if (WidestDirty) {
      WidestDirty = false;
      LayoutState.RescanWidest(*this);
    }
    if (changed != INT32_MAX) {
      UpdateScrollRanges();
      SetScrollBarValues();
    }
    if (LayoutState.WidestWidth != HorzRangeWidest) UpdateHorzRange();
    // An edit places the caret itself once its display update is done; the caret's
    // own layout is followed by its placing.
    if (InCaretLayout || Paragraphs.EditInProgress || Paragraphs.ChangeLastPar >= 0) continue;
    const int32_t caretPar = CaretPosNav().GetParIndex();
    if ((caretPar >= first && caretPar <= last) || changed < caretPar || VertOffset != CaretVertOffset) UpdateCaret();
  }
  InLayoutDone = false;
}

void TPelMemo::BeforeLayout() {
  if (LayoutDepth++ > 0) return;
  KeptTopPos = -1;
  const int32_t top = GetTopLine();
  // When every paragraph is one line, nothing above the top can grow.
  if (!LinesWrap() || top <= 0 || top >= GetDisplayLineCount()) return;
  TPelNavigator n(Paragraphs);
  n.Memo = this;
  n.SetLineIndex(top);
  // Kept by its text: a line number inside the paragraph names other text once
  // the paragraph wraps anew.
  KeptTopPos = n.Pos;
  KeptTopLine = top;
}

void TPelMemo::AfterLayout() {
  if (--LayoutDepth > 0) return;
  LayoutDepth = 0;
  const int32_t pos = KeptTopPos;
  KeptTopPos = -1;
  if (pos < 0 || pos > GetTextLength()) return;
  TPelNavigator n(Paragraphs);
  n.Memo = this;
  n.SetPos(pos);
  const int32_t shift = (n.GetLineIndex() - KeptTopLine) * LineHeight;
  if (shift == 0) return;
  VertOffset = std::max(0, VertOffset + shift);
  if (ScrollAnim.isActive()) {
    AnimFromY += shift;
    AnimToY += shift;
  }
  SetScrollBarValues();
  viewport()->update();
}

void TPelMemo::Reformat() {
  LayoutState.ResetWidest();
  WidestDirty = false;
  Paragraphs.MarkAllUnformatted();
  if (UpdateCount > 0 || !Measurer()) return;
  if (UpdateMode == TpmUpdateMode::umImmediate) {
    FormatRange(0, GetParCount() - 1, true);
    Paragraphs.PendingFirstPar = GetParCount();
    Paragraphs.PendingLastPar = -1;
  } else if (UpdateMode == TpmUpdateMode::umBackground) {
    StartPacer();
  }
  UpdateHorzRange();
  viewport()->update();
}

void TPelMemo::ResetFormatting() {
  {
    // Every paragraph is one line again until it is laid out anew; the text at the
    // top of the view stays there, as through any layout.
    const TLayoutScope scope(this);
    TPelMemoCore::ResetFormatting();
  }
  Reformat();
  Relayout();
  SetScrollBarValues();
}

void TPelMemo::EnsureLinesFormatted(int32_t FirstLine, int32_t LastLine) {
  if (!Measurer() || GetParCount() == 0) return;
  const TLayoutScope scope(this);
  TPelNavigator nav(Paragraphs);
  nav.Memo = this;
  nav.SetLineIndex(std::max(0, FirstLine));
  int32_t i = nav.GetParIndex();
  while (i < GetParCount()) {
    if (!(Paragraphs.Par(i).Flags & pfFormatted)) FormatRange(i, i, false);
    if (Paragraphs.Par(i).FirstLine + GetLineCount(Paragraphs.Par(i)) > LastLine) break;
    ++i;
  }
}

void TPelMemo::FormatPageAway(bool Up) {
  if (!Measurer() || GetParCount() == 0) return;
  const TLayoutScope scope(this);
  TPelNavigator& caret = CaretPosNav();
  const int32_t par = caret.GetParIndex();
  if (!(Paragraphs.Par(par).Flags & pfFormatted)) FormatRange(par, par, false);
  // Two pages: the caret may stand anywhere in the window, and the window moves by
  // a page with it.
  const int32_t need = 2 * VisibleLines();
  int32_t covered = Up ? caret.GetParLineIndex() : GetLineCount(Paragraphs.Par(par)) - caret.GetParLineIndex();
  const int32_t step = Up ? -1 : 1;
  for (int32_t i = par + step; i >= 0 && i < GetParCount() && covered < need; i += step) {
    if (!(Paragraphs.Par(i).Flags & pfFormatted)) FormatRange(i, i, false);
    covered += GetLineCount(Paragraphs.Par(i));
  }
}

int32_t TPelMemo::VisibleLines() const {
  if (LineHeight < 1) return 1;
  return viewport()->height() / LineHeight + 1;
}

void TPelMemo::ApplyScrollBarPolicy() {
  const bool vert = ScrollBarsValue == TScrollStyle::ssVertical || ScrollBarsValue == TScrollStyle::ssBoth;
  const bool horz = ScrollBarsValue == TScrollStyle::ssHorizontal || ScrollBarsValue == TScrollStyle::ssBoth;
  setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(horz ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TPelMemo::SetScrollBarValues() {
  InScrollUpdate = true;
  verticalScrollBar()->setValue(VertOffset / std::max(1, VRange.Unit));
  horizontalScrollBar()->setValue(HorzOffset / std::max(1, HRange.Unit));
  InScrollUpdate = false;
}

bool TPelMemo::UpdateScrollRanges() {
  if (InScrollUpdate) return false;
  InScrollUpdate = true;
  const TScrollRange r = VertScrollRange(GetDisplayLineCount(), LineHeight, viewport()->height(), HasOption(pmoAutoScrollBars));
  if (r.Unit != VRange.Unit || r.Max != VRange.Max || r.Page != VRange.Page) {
    VRange = r;
    QScrollBar* b = verticalScrollBar();
    b->setRange(0, r.Reach());
    b->setPageStep(std::max(1, r.Page));
    b->setSingleStep(std::max(1, LineHeight / r.Unit));
    b->setValue(VertOffset / r.Unit);
  }
  InScrollUpdate = false;
  const int32_t w = viewport()->width();
  if (w == ClientWidth) return false;
  ClientWidth = w;
  if (UpdateCount < 1) {
    if (!LinesWrap())
      UpdateHorzRange();
    else
      Reformat();
    viewport()->update();
  }
  return true;
}

void TPelMemo::UpdateHorzRange() {
  const TScrollRange r = HorzScrollRange(LayoutState.WidestWidth, *this, viewport()->width());
  HRange = r;
  HorzRangeWidest = LayoutState.WidestWidth;
  InScrollUpdate = true;
  QScrollBar* b = horizontalScrollBar();
  b->setRange(0, r.Reach());
  b->setPageStep(std::max(1, r.Page));
  b->setSingleStep(std::max(1, AvgCharWidth / r.Unit));
  b->setValue(HorzOffset / r.Unit);
  InScrollUpdate = false;
  if (r.Max < r.Page && HorzOffset != 0) ScrollTo(VertOffset, 0, 0);
}

void TPelMemo::Relayout() {
  const int32_t lastTop = std::max(0, GetDisplayLineCount() - VisibleLines() + 1);
  if (GetTopLine() > lastTop) ScrollTo(lastTop * LineHeight, HorzOffset, 0);
  UpdateScrollRanges();
  UpdateHorzRange();
  viewport()->update();
  UpdateCaret();
}

void TPelMemo::resizeEvent(QResizeEvent* E) {
  QAbstractScrollArea::resizeEvent(E);
  if (!HasRealWidth && viewport()->width() > 0) {
    HasRealWidth = true;
    ClientWidth = viewport()->width();
    Reformat();
  }
  UpdateScrollRanges();
  UpdateHorzRange();
  SetScrollBarValues();
}

// ---- scrolling -----------------------------------------------------------------------

void TPelMemo::ApplyOffsets(int32_t Y, int32_t X) {
  const bool dx = X != HorzOffset, dy = Y != VertOffset;
  if (!dx && !dy) return;
  if (dx) {
    if (RememberedX != NoCaretX) RememberedX -= X - HorzOffset;
    HorzOffset = X;
  }
  if (dy) VertOffset = Y;
  ScrolledFlags |= static_cast<uint16_t>((dx ? hfHScroll : 0) | (dy ? hfVScroll : 0));
  SetScrollBarValues();
  UpdateCaret();
  viewport()->update();
}

void TPelMemo::ScrollArrived() {
  const uint16_t flags = ScrolledFlags;
  ScrolledFlags = 0;
  if (flags == 0) return;
  if ((flags & hfHScroll) && OnHScroll) OnHScroll(*this);
  if ((flags & hfVScroll) && OnVScroll) OnVScroll(*this);
  ChangeHooks.Notify(*this, flags);
}

void TPelMemo::ScrollTo(int32_t Y, int32_t X, int32_t Time) {
  Y = std::max(0, Y);
  X = std::max(0, X);
  // A glide cut short is told with this scroll, when it arrives.
  if (!ScrollAnim.isActive()) ScrolledFlags = 0;
  ScrollAnim.stop();
  const uint32_t now = Clock();
  const bool quick = Rapid && now - LastScrollTime < 201;
  if (Rapid) LastScrollTime = now;
  if (Y == VertOffset && X == HorzOffset) {
    ScrollArrived();
    return;
  }
  if (Time == 0 || quick || !isVisible()) {
    ApplyOffsets(Y, X);
    ScrollArrived();
    return;
  }
  AnimFromY = VertOffset;
  AnimFromX = HorzOffset;
  AnimToY = Y;
  AnimToX = X;
  AnimTime = Time < 0 ? -Time : Time;
  AnimStart = now;
  ScrollAnim.start();
}

void TPelMemo::AnimateScroll() {
  const uint32_t elapsed = Clock() - AnimStart;
  if (elapsed >= static_cast<uint32_t>(AnimTime)) {
    FinishScrolling();
    return;
  }
  const double f = static_cast<double>(elapsed) / AnimTime;
  const int32_t y = AnimFromY + static_cast<int32_t>((AnimToY - AnimFromY) * f);
  const int32_t x = AnimFromX + static_cast<int32_t>((AnimToX - AnimFromX) * f);
  ApplyOffsets(y, x);
}

void TPelMemo::FinishScrolling() {
  if (!ScrollAnim.isActive()) return;
  ScrollAnim.stop();
  LastScrollTime = Clock();  // a glide counts as a scroll when it ends
  ApplyOffsets(AnimToY, AnimToX);
  ScrollArrived();
}

void TPelMemo::scrollContentsBy(int, int) {
  if (InScrollUpdate) return;
  // A scroll bar moved by other means than its actions: follow it.
  const int32_t y = verticalScrollBar()->value() * VRange.Unit;
  const int32_t x = horizontalScrollBar()->value() * HRange.Unit;
  if (y != VertOffset || x != HorzOffset) {
    ApplyOffsets(y, x);
    ScrollArrived();
  }
}

void TPelMemo::VertAction(int Action) {
  if (UpdateCount > 0) return;
  Rapid = true;
  const int32_t top = GetTopLine(), lines = GetDisplayLineCount(), vis = VisibleLines();
  int32_t target = VertOffset;
  switch (Action) {
    case QAbstractSlider::SliderSingleStepSub:
      if (VertOffset >= 1) target = (VertOffset % LineHeight != 0 ? top : top - 1) * LineHeight;
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      if (top < lines - 1 && top < lines - vis + 2) target = (top + 1) * LineHeight;
      break;
    case QAbstractSlider::SliderPageStepSub:
      target = std::max(0, top - vis + 2) * LineHeight;
      break;
    case QAbstractSlider::SliderPageStepAdd:
      target = std::min(top + vis - 1, std::max(0, lines - vis + 2)) * LineHeight;
      break;
    case QAbstractSlider::SliderMove:
      if (HasOption(pmoNoFineScroll))
        target = static_cast<int32_t>(std::lround(static_cast<double>(verticalScrollBar()->sliderPosition()) * VRange.Unit /
                                                  LineHeight)) *
                 LineHeight;
      else
        target = verticalScrollBar()->sliderPosition() * VRange.Unit;
      break;
    default:
      Rapid = false;
      return;
  }
  ScrollTo(target, HorzOffset, Action == QAbstractSlider::SliderMove ? 0 : ScrollTime);
  FinishScrolling();
  InScrollUpdate = true;
  verticalScrollBar()->setSliderPosition(VertOffset / std::max(1, VRange.Unit));
  InScrollUpdate = false;
  Rapid = false;
}

void TPelMemo::HorzAction(int Action) {
  if (UpdateCount > 0) return;
  Rapid = true;
  const int32_t w = viewport()->width();
  int32_t target = HorzOffset;
  switch (Action) {
    case QAbstractSlider::SliderSingleStepSub: target = std::max(HorzOffset - w / 20 - 1, 0); break;
    case QAbstractSlider::SliderSingleStepAdd: target = HorzOffset + w / 20 + 1; break;
    case QAbstractSlider::SliderPageStepSub: target = std::max(HorzOffset + w / 20 - w, 0); break;
    case QAbstractSlider::SliderPageStepAdd: target = HorzOffset + w - w / 20; break;
    case QAbstractSlider::SliderMove: target = horizontalScrollBar()->sliderPosition() * HRange.Unit; break;
    default: Rapid = false; return;
  }
  const int64_t far = std::max<int64_t>(0, LayoutState.WidestWidth + LeftMargin + RightMargin - w);
  target = static_cast<int32_t>(std::min<int64_t>(target, std::max<int64_t>(far, HorzOffset)));
  ScrollTo(VertOffset, target, 0);
  InScrollUpdate = true;
  horizontalScrollBar()->setSliderPosition(HorzOffset / std::max(1, HRange.Unit));
  InScrollUpdate = false;
  Rapid = false;
}

void TPelMemo::wheelEvent(QWheelEvent* E) {
  if (MouseWheelFactor < 0) MouseWheelFactor = std::max(1, QApplication::wheelScrollLines());
  const int32_t lines = Wheel.Add(MouseWheelFactor, E->angleDelta().y());
  if (lines != 0) {
    const int32_t maxTop = std::max(0, GetDisplayLineCount() - VisibleLines() + 1);
    const int32_t target = std::max(0, std::min(GetTopLine() + lines, maxTop));
    Rapid = true;
    ScrollToLine(target);
    Rapid = false;
  }
  E->accept();
}

void TPelMemo::ScrollInView() {
  if (UpdateCount > 0) return;
  viewport()->update();
  // The caret itself, which may stand apart from a kept selection.
  TPelNavigator& caret = CaretPosNav();
  const int32_t caretPar = caret.GetParIndex();
  if (!(Paragraphs.Par(caretPar).Flags & pfFormatted)) FormatRange(caretPar, caretPar, false);
  UpdateCaret();
  // While a smooth scroll runs, the view is judged where it is going.
  const bool moving = ScrollAnim.isActive();
  if (Measurer() && caret.GetLineIndex() * LineHeight - (moving ? AnimToY : VertOffset) >
                        viewport()->height() - LineHeight) {
    // Below the window: the lines that will show above the caret are laid out
    // first, so that the caret's line is known where the view goes.
    const int32_t before = GetDisplayLineCount();
    int32_t covered = caret.GetParLineIndex() + 1;
    for (int32_t i = caretPar - 1; i >= 0 && covered < VisibleLines(); --i) {
      if (!(Paragraphs.Par(i).Flags & pfFormatted)) FormatRange(i, i, false);
      covered += GetLineCount(Paragraphs.Par(i));
    }
    if (GetDisplayLineCount() != before) {
      UpdateScrollRanges();
      UpdateCaret();
    }
  }
  // (Laying out lines above the top may have moved the view to keep its text.)
  const int32_t curY = moving ? AnimToY : VertOffset, curX = moving ? AnimToX : HorzOffset;
  const int32_t caretX = CaretX + HorzOffset - curX, caretY = CaretY + VertOffset - curY;
  int32_t x = 0;
  if (!LinesWrap() || ColumnWrap >= 1) {
    if (Alignment != TAlignment::taLeftJustify && curX == 0)
      x = 0;
    else
      x = ScrollInViewX(curX, caretX, viewport()->width(), AvgCharWidth);
  }
  const int32_t y = ScrollInViewY(curY, caret.GetLineIndex(), caretY, LineHeight, viewport()->height(), VisibleLines(),
                                  HasOption(pmoNoFineScroll));
  if (moving && x == curX && y == curY) return;
  ScrollTo(y, x, ScrollTime);
}

void TPelMemo::InvalidateLines(int32_t A, int32_t B) {
  if (A > B) std::swap(A, B);
  const int32_t top = A * LineHeight - VertOffset, bottom = (B + 1) * LineHeight - VertOffset;
  if (bottom < 0 || top > viewport()->height()) return;
  viewport()->update(0, std::max(0, top), viewport()->width(), std::min(viewport()->height(), bottom) - std::max(0, top));
}

// ---- placing the caret -----------------------------------------------------------------

void TPelMemo::NavToLineX(TPelNavigator& Nav, int32_t Line, int32_t X) {
  EnsureLinesFormatted(Line, Line);
  Nav.SetLineIndex(std::max(0, std::min(Line, GetDisplayLineCount() - 1)));
  Nav.SetXOnLine(X);
}

void TPelMemo::NavToCaretLineX(TPelNavigator& Nav, int32_t Delta, int32_t X) {
  // Laying out the paragraphs between the caret and the target changes the line
  // numbers below them: the target is counted again until nothing more is laid out.
  TPelNavigator& caret = CaretPosNav();
  int32_t target = 0;
  for (;;) {
    const int32_t lines = GetDisplayLineCount(), line = caret.GetLineIndex();
    target = std::max(0, std::min(line + Delta, lines - 1));
    EnsureLinesFormatted(std::min(line, target), std::max(line, target));
    if (GetDisplayLineCount() == lines && caret.GetLineIndex() == line) break;
  }
  NavToLineX(Nav, target, X);
}

int32_t TPelMemo::PosOfLineX(int32_t Line, int32_t X) {
  TPelNavigator nav(Paragraphs);
  nav.Memo = this;
  NavToLineX(nav, Line, X);
  return nav.Pos;
}

int32_t TPelMemo::SelAnchor() const {
  if (SelLength == 0) return CaretNav->Pos;
  return CaretNav == SelStartNav.get() ? SelEndNav->Pos : SelStartNav->Pos;
}

void TPelMemo::MoveCaret(int32_t Pos, bool Extend) {
  if (Extend) {
    const int32_t anchor = SelAnchor();
    const int32_t rem = RememberedX;
    SetSelStart(Pos);
    SetSelLength(anchor - Pos);
    RememberedX = rem;
  } else {
    const int32_t rem = RememberedX;
    SetSelStart(Pos);
    RememberedX = rem;
  }
  viewport()->update();
}

void TPelMemo::MoveCaret(const TPelNavigator& At, bool Extend) {
  MoveCaret(At.Pos, Extend);
  KeepCaretLine(At);
}

// ---- the caret --------------------------------------------------------------------------

int32_t TPelMemo::GetCaretWidth() {
  if (SelLength == 0 && Overwrite && HasOption(pmoWideOverwriteCaret)) {
    TPelNavigator& c = *CaretNav;
    const TParagraph& p = *c.GetPar();
    if (c.GetParOffset() < GetParLength(p)) {
      // The character under the caret (past codes, which take no room) in the font
      // in force there: its in-text style and the highlight of the record it lies in.
      TPelNavigator n(Paragraphs);
      n.Memo = this;
      n.SetPos(c.Pos);
      uint8_t style = n.GetStaticStyle();
      const char* t = GetParChars(p);
      int32_t o = n.GetParOffset();
      if (GetStaticFormat())
        while (o < GetParLength(p) && ToggleStyleByCode(style, static_cast<unsigned char>(t[o]))) ++o;
      if (o < GetParLength(p)) {
        n.SetPos(p.StartPos + o);
        n.SkipAttributesAtPos();
        if (t[o] == '\t') return std::max(1, AvgCharWidth);
        return std::max(1, TRunMeter(Meas, ExtentChunk).Width(style, n.GetAttrStyle(), t + o, 1));
      }
    }
  }
  return AutoCaretWidth ? LineHeight / 14 + 1 : std::max(1, CaretWidthValue);
}

void TPelMemo::UpdateCaret() {
  if (UpdateCount > 0 || !Host) return;
  const int32_t par = CaretPosNav().GetParIndex();
  if (Measurer() && !(Paragraphs.Par(par).Flags & pfFormatted)) {
    // Placed below, once the layout's follow-ups are done.
    const QScopedValueRollback<bool> own(InCaretLayout, true);
    FormatRange(par, par, false);
  }
  const QRect old = ShownCaretRect();
  TPelNavigator& caret = CaretPosNav();
  CaretX = caret.GetXOnLine() + VirtualColumn * AvgCharWidth;
  CaretY = caret.GetLineIndex() * LineHeight - VertOffset;
  CaretVertOffset = VertOffset;
  CaretW = GetCaretWidth();
  CaretOn = true;
  if (hasFocus() && !DisplayOnly) Blink.start();
  viewport()->update(old.adjusted(-1, 0, 1, 0));
  viewport()->update(ShownCaretRect().adjusted(-1, 0, 1, 0));
  CaretChanged();
}

QRect TPelMemo::ShownCaretRect() const {
  // Blanks at a wrap point may carry the caret past the window's edge; in wrapped
  // layout it is shown at the last pixel (its x stays the true one).
  const int32_t w = viewport()->width();
  const int32_t x = LinesWrap() && CaretX >= w ? w - 1 : CaretX;
  return QRect(x, CaretY, CaretW, LineHeight);
}

uint8_t TPelMemo::GetCaretStyle() {
  TPelNavigator& caret = CaretPosNav();
  ParseAttributesTo(caret.GetParIndex());
  const uint8_t code = caret.GetStaticStyle();
  const TStyleRecord* attr = caret.GetAttrStyle();
  uint8_t style;
  if (attr->Flags & sfHighlight) {
    // A highlighting style brings its own font style (bits 3 and 4 together mean neither).
    style = attr->Flags & 0x1F;
    if ((style & 0x18) == 0x18) style &= 0xE7;
    style |= code & StyleAltFont;
  } else {
    const QFont& f = font();
    const uint8_t own = (f.bold() ? 1 : 0) | (f.italic() ? 2 : 0) | (f.underline() ? 4 : 0) | (f.strikeOut() ? 8 : 0);
    style = code ^ own;
  }
  return style;
}

void TPelMemo::CaretChanged() {
  const uint8_t style = GetCaretStyle();
  uint16_t flags = 0;
  // The caret itself, which may stand apart from a kept selection.
  const int32_t pos = GetCaretPos();
  if (pos != LastCaretPos || VirtualColumn != LastVirtualColumn) {
    LastCaretPos = pos;
    LastVirtualColumn = VirtualColumn;
    flags |= hfSelMove;
    if (OnSelMove) OnSelMove(*this);
  }
  if (style != LastCaretStyle) {
    LastCaretStyle = style;
    flags |= hfStyleChange;
    if (OnStyleChange) OnStyleChange(*this);
  }
  if (flags != 0) ChangeHooks.Notify(*this, flags);
}

void TPelMemo::BlinkCaret() {
  CaretOn = !CaretOn;
  viewport()->update(ShownCaretRect().adjusted(-1, 0, 1, 0));
}

void TPelMemo::focusInEvent(QFocusEvent* E) {
  QAbstractScrollArea::focusInEvent(E);
  if (!DisplayOnly) {
    CaretOn = true;
    Blink.start();
  }
  viewport()->update();
}
