#include "memo/PelMemoWidget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDebug>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QPixmap>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QWheelEvent>
#include <algorithm>
#include <cstring>
#include <exception>

#include "memo/PelMemoParse.h"
#include "memo/PelStream.h"
#include "platform/Clipboard.h"
#include "platform/Latin1Qt.h"
#include "platform/Prompts.h"

namespace {

uint32_t SteadyMs() {
  static QElapsedTimer timer;
  if (!timer.isValid()) timer.start();
  return static_cast<uint32_t>(timer.elapsed());
}

// Characters worth drawing (blanks and codes take room but show nothing).
bool Drawable(unsigned char C) { return C > ' ' && C != 127; }

}  // namespace

// ---- the measurer ---------------------------------------------------------------------

void TQtMeasurer::SetFonts(const QFont& M, const QFont& A) {
  Main = M;
  Alt = A;
  for (auto& t : Tables) t.reset();
  Current = nullptr;
  SelectFont(0, nullptr);
}

QFont TQtMeasurer::FontFor(uint8_t Style) const {
  QFont f = (Style & StyleAltFont) ? Alt : Main;
  if (Style & StyleBold) f.setBold(!f.bold());
  if (Style & StyleItalic) f.setItalic(!f.italic());
  if (Style & StyleUnderline) f.setUnderline(!f.underline());
  f.setKerning(false);
  return f;
}

TQtMeasurer::TTable& TQtMeasurer::Table(uint8_t Key) {
  auto& slot = Tables[Key & 63];
  if (!slot) {
    slot = std::make_unique<TTable>();
    slot->Font = FontFor(static_cast<uint8_t>((Key & 7) | ((Key & 8) ? StyleAltFont : 0)));
    const QFontMetrics fm(slot->Font);
    for (int c = 0; c < 256; ++c) {
      const unsigned char b = static_cast<unsigned char>(c);
      slot->Adv[static_cast<size_t>(c)] = (b < ' ' && b != '\t') ? 0 : fm.horizontalAdvance(QChar(Latin1ToChar(b)));
    }
  }
  return *slot;
}

void TQtMeasurer::SelectFont(uint8_t StaticStyle, const TStyleRecord* Attr) {
  uint8_t bits = StaticStyle & (StyleBold | StyleItalic | StyleUnderline);
  if (Attr && (Attr->Flags & 0x80)) bits = Attr->Flags & 7;
  Current = &Table(static_cast<uint8_t>(bits | ((StaticStyle & StyleAltFont) ? 8 : 0)));
}

int32_t TQtMeasurer::TextExtent(const char* Text, int32_t Count) {
  if (!Current) SelectFont(0, nullptr);
  int64_t w = 0;
  for (int32_t i = 0; i < Count; ++i) w += Current->Adv[static_cast<unsigned char>(Text[i])];
  return static_cast<int32_t>(std::min<int64_t>(w, INT32_MAX));
}

const QRawFont& TQtMeasurer::RawFont() {
  if (!Current) SelectFont(0, nullptr);
  if (!Current->Raw.isValid()) Current->Raw = QRawFont::fromFont(Current->Font);
  return Current->Raw;
}

quint32 TQtMeasurer::Glyph(unsigned char Ch) {
  if (!Current->GlyphsReady) {
    const QRawFont& raw = RawFont();
    QString all;
    for (int c = 0; c < 256; ++c) all.append(QChar(c < 32 ? 32 : c));
    const QList<quint32> g = raw.glyphIndexesForString(all);
    for (int c = 0; c < 256 && c < g.size(); ++c) Current->Glyphs[static_cast<size_t>(c)] = g[c];
    Current->GlyphsReady = true;
  }
  return Current->Glyphs[Ch];
}

// ---- drawing a run of text -------------------------------------------------------------

void DrawTextRun(QPainter& Painter, TQtMeasurer& Meas, int64_t& X, int32_t Y, const char* Text, int32_t Count,
                 int32_t VisibleSpaceWidth, bool ShowSpaces, int32_t RightClip) {
  int32_t i = 0;
  // Far left of the window nothing is drawn; the pen still advances.
  while (i < Count && X <= -16384) X += Meas.Advance(static_cast<unsigned char>(Text[i++]));
  const bool raw = Meas.RawFont().isValid();
  const int64_t firstX = X;
  QList<quint32> glyphs;
  QList<QPointF> points;
  for (; i < Count && X < RightClip; ++i) {
    const unsigned char c = static_cast<unsigned char>(Text[i]);
    if (ShowSpaces && c == ' ') {
      if (raw) {
        glyphs.append(Meas.Glyph(0xB7));
        points.append(QPointF(static_cast<double>(X), Y));
      }
      X += VisibleSpaceWidth;
      continue;
    }
    const int32_t w = Meas.Advance(c);
    if (Drawable(c) && X + w >= 0) {
      if (raw) {
        glyphs.append(Meas.Glyph(c));
        points.append(QPointF(static_cast<double>(X), Y));
      } else {
        QFont f = Meas.Font();
        f.setUnderline(false);  // drawn below for the whole run
        Painter.setFont(f);
        Painter.drawText(QPointF(static_cast<double>(X), Y), QString(QChar(Latin1ToChar(c))));
      }
    }
    X += w;
  }
  if (Meas.Font().underline() && X > firstX) {
    // The underline of the run itself, from its first to its last pixel drawn.
    const QFontMetrics fm(Meas.Font());
    const int32_t uy = Y + std::max(1, fm.underlinePos());
    Painter.fillRect(QRect(static_cast<int>(std::max<int64_t>(firstX, -1)), uy,
                           static_cast<int>(std::min<int64_t>(X, RightClip) - std::max<int64_t>(firstX, -1)),
                           std::max(1, fm.lineWidth())),
                     Painter.pen().color());
  }
  if (glyphs.isEmpty()) return;
  QGlyphRun run;
  run.setRawFont(Meas.RawFont());
  run.setGlyphIndexes(glyphs);
  run.setPositions(points);
  Painter.drawGlyphRun(QPointF(0, 0), run);
}

// ---- creation ---------------------------------------------------------------------------

TPelMemo::TPelMemo(QWidget* Parent) : QAbstractScrollArea(Parent) {
  Host = this;
  Clock = &SteadyMs;
  QFont f(QStringLiteral("Arial"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(QApplication::font().pointSizeF() > 0 ? QApplication::font().pointSizeF() : 10);
  AltFont = f;
  BackColor = palette().color(QPalette::Base);
  HighlightBackgnd = BackColor;
  SelBackColor = palette().color(QPalette::Highlight);
  SelTextColor = palette().color(QPalette::HighlightedText);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, true);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAutoFillBackground(false);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  resize(100, 60);

  ScrollAnim.setInterval(10);
  connect(&ScrollAnim, &QTimer::timeout, this, [this] {
    try {
      AnimateScroll();
    } catch (const std::exception& e) {
      ScrollAnim.stop();
      ShowError(e.what());
    }
  });
  Pacer.setInterval(0);
  connect(&Pacer, &QTimer::timeout, this, [this] {
    try {
      RunFormatSlice();
    } catch (const std::exception& e) {
      Pacer.stop();
      ShowError(e.what());
    }
  });
  const int flash = QGuiApplication::styleHints()->cursorFlashTime();
  Blink.setInterval(flash > 0 ? flash / 2 : 500);
  connect(&Blink, &QTimer::timeout, this, [this] { BlinkCaret(); });
  connect(&AutoScroll, &QTimer::timeout, this, [this] {
    try {
      AutoScrollStep();
    } catch (const std::exception& e) {
      AutoScroll.stop();
      ShowError(e.what());
    }
  });
  connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this](int a) { VertAction(a); });
  connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this, [this](int a) { HorzAction(a); });

  setFont(f);  // through changeEvent: metrics, layout and scroll ranges
  UpdateFontMetrics();
  ApplyScrollBarPolicy();
  Reformat();
  UpdateScrollRanges();
}

TPelMemo::~TPelMemo() {
  // The background formatter ends with the window.
  if (UpdateMode == TpmUpdateMode::umBackground) qDebug("FormTerm");
  Pacer.stop();
  ScrollAnim.stop();
  Blink.stop();
  AutoScroll.stop();
  Host = nullptr;
}

void TPelMemo::ShowError(const char* What) { Prompts().MessageDlg(QString::fromUtf8(What), TMsgType::Error, TMsgButtons::OK); }

bool TPelMemo::event(QEvent* E) {
  try {
    if (E->type() == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(E);
      // Tab and Shift+Tab stay with the memo when it wants tabs.
      if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) && WantTabs && !DisplayOnly &&
          !(k->modifiers() & Qt::AltModifier)) {
        keyPressEvent(k);
        return true;
      }
    }
    return QAbstractScrollArea::event(E);
  } catch (const std::exception& e) {
    ShowError(e.what());
    return true;
  }
}

bool TPelMemo::viewportEvent(QEvent* E) {
  try {
    return QAbstractScrollArea::viewportEvent(E);
  } catch (const std::exception& e) {
    ShowError(e.what());
    return true;
  }
}

bool TPelMemo::focusNextPrevChild(bool Next) {
  if (WantTabs && !DisplayOnly) return false;
  return QAbstractScrollArea::focusNextPrevChild(Next);
}

// ---- host ------------------------------------------------------------------------------

TTextMeasurer* TPelMemo::Measurer() { return HasRealWidth ? &Meas : nullptr; }

int32_t TPelMemo::FormatMeasured(TPelMemoCore&, int32_t Par) {
  const bool wasWidest = Par == LayoutState.WidestPar;
  const int64_t widest = LayoutState.WidestWidth;
  const int32_t delta = LayoutState.FormatParagraph(*this, Meas, Par);
  if (wasWidest && LayoutState.WidestWidth == widest) {
    // The widest paragraph may have become narrower: look again once the edit is done.
    TLinesList ll;
    ll.Par = Paragraphs.GetPar(Par);
    int32_t w = 0;
    for (int32_t k = 0; k < ll.Count(); ++k) w = std::max(w, ll.GetLine(k)->Width);
    if (w < widest) WidestDirty = true;
  }
  return delta;
}

void TPelMemo::TextDisplayChanged(int32_t, int32_t) {
  if (WidestDirty) {
    WidestDirty = false;
    const int64_t before = LayoutState.WidestWidth;
    LayoutState.RescanWidest(*this);
    if (before != LayoutState.WidestWidth) UpdateHorzRange();
  }
  UpdateScrollRanges();
  UpdateHorzRange();
  viewport()->update();
  if (FormatPending() && UpdateMode == TpmUpdateMode::umBackground) StartPacer();
  if (FormatPending() && UpdateMode == TpmUpdateMode::umImmediate) {
    FormatRange(Paragraphs.PendingFirstPar, GetParCount() - 1, false);
    UpdateScrollRanges();
  }
}

void TPelMemo::Changed() { viewport()->update(); }

void TPelMemo::SelectionChanged() {
  viewport()->update();
  UpdateCaret();
}

// ---- properties -----------------------------------------------------------------------

void TPelMemo::SetAlignment(TAlignment A) {
  if (A == Alignment) return;
  HorzOffset = 0;
  Alignment = A;
  if (!WordWrap) Reformat();
  Relayout();
}

void TPelMemo::SetBorderStyle(TBorderStyle S) {
  BorderStyleValue = S;
  setFrameStyle(S == TBorderStyle::bsSingle ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
}

void TPelMemo::SetHideSelection(bool On) {
  HideSelection = On;
  if (!hasFocus()) viewport()->update();
}

void TPelMemo::SetScrollBars(TScrollStyle S) {
  const bool vertBefore = ScrollBarsValue == TScrollStyle::ssVertical || ScrollBarsValue == TScrollStyle::ssBoth;
  ScrollBarsValue = S;
  ApplyScrollBarPolicy();
  const bool vert = S == TScrollStyle::ssVertical || S == TScrollStyle::ssBoth;
  if (vert != vertBefore && WordWrap) Reformat();
  UpdateScrollRanges();
  UpdateHorzRange();
}

void TPelMemo::SetWordWrap(bool On) {
  if (On == WordWrap) return;
  WordWrap = On;
  HorzOffset = 0;
  Reformat();
  Relayout();
}

void TPelMemo::SetCaretWidth(int32_t W) {
  CaretWidthValue = W;
  AutoCaretWidth = W == 0;
  CaretW = AutoCaretWidth ? LineHeight / 14 + 1 : W;
  if (hasFocus()) UpdateCaret();
}

void TPelMemo::SetColumnWrap(int32_t C) {
  ColumnWrap = C;
  if (WordWrap) Reformat();
  Relayout();
}

void TPelMemo::SetDisplayOnly(bool On) {
  DisplayOnly = On;
  viewport()->update();
}

void TPelMemo::SetJustified(bool On) {
  HorzOffset = 0;
  Justified = On;
  UpdateCaret();
  viewport()->update();
}

void TPelMemo::SetLeftMargin(int32_t M) {
  LeftMargin = M;
  if (WordWrap) Reformat();
  Relayout();
}

void TPelMemo::SetRightMargin(int32_t M) {
  RightMargin = M;
  if (WordWrap) Reformat();
  Relayout();
}

void TPelMemo::SetTabStops(int32_t T) {
  TabStops = T;
  // Tabs move the words after them even without wrapping.
  Reformat();
  Relayout();
}

void TPelMemo::SetLineHeight(int32_t H) {
  const int32_t old = LineHeight;
  if (H < 1) {
    AutoLineHeight = true;
  } else {
    AutoLineHeight = false;
    LineHeight = std::min(H, 65535);
  }
  UpdateFontMetrics();
  if (LineHeight != old && old > 0) {
    const int32_t top = VertOffset / old, rest = VertOffset % old;
    VertOffset = top * LineHeight + std::min(rest, LineHeight - 1);
    UpdateScrollRanges();
    SetScrollBarValues();
    viewport()->update();
    UpdateCaret();
    if (OnVScroll) OnVScroll(*this);
  }
}

void TPelMemo::SetOverwrite(bool On) {
  Overwrite = On;
  UpdateCaret();
}

void TPelMemo::SetRightLinePos(int32_t P) {
  RightLinePos = P;
  viewport()->update();
}

void TPelMemo::SetShowNonPrintChars(uint8_t Set) {
  ShowNonPrintChars = Set;
  viewport()->update();
}

void TPelMemo::SetBackgroundBmp(const QPixmap& P) {
  BackgroundBmp = P;
  viewport()->update();
}

void DrawZigzagLine(QPainter& Painter, int32_t X1, int32_t X2, int32_t Step, int32_t Y) {
  const std::vector<TZigzagPoint> pts = ZigzagPoints(X1, X2, Step, Y);
  for (size_t k = 1; k < pts.size(); ++k) Painter.drawLine(pts[k - 1].X, pts[k - 1].Y, pts[k].X, pts[k].Y);
}

void TPelMemo::SetShowEndParSelected(bool On) {
  ShowEndParSelected = On;
  viewport()->update();
}

void TPelMemo::SetUpdateMode(TpmUpdateMode M) {
  if (M == UpdateMode) return;
  Pacer.stop();
  if (UpdateMode == TpmUpdateMode::umBackground) qDebug("FormTerm");
  UpdateMode = M;
  if (M == TpmUpdateMode::umImmediate) {
    FormatRange(0, GetParCount() - 1, false);
    Paragraphs.PendingFirstPar = GetParCount();
    Paragraphs.PendingLastPar = -1;
    UpdateScrollRanges();
  } else if (M == TpmUpdateMode::umBackground && FormatPending()) {
    StartPacer();
  }
}

void TPelMemo::SetOptions(uint32_t O) {
  const uint32_t old = GetOptions();
  if (O == old) return;
  TPelMemoCore::SetOptions(O);
  if ((O ^ old) & pmoAutoScrollBars) {
    ApplyScrollBarPolicy();
    UpdateScrollRanges();
    UpdateHorzRange();
  }
  if ((O ^ old) & (pmoWindowsSelColors | pmoFullLineSelect)) viewport()->update();
}

void TPelMemo::SetMemoFont(const QFont& F) {
  QFont f = F;
  if (!f.families().isEmpty() && f.styleHint() == QFont::AnyStyle) f.setStyleHint(QFont::SansSerif);
  setFont(f);
}

void TPelMemo::SetAltFont(const QFont& F) {
  AltFont = F;
  Meas.SetFonts(font(), AltFont);
  if (WordWrap) Reformat();
  Relayout();
}

void TPelMemo::SetSelColors(const QColor& Back, const QColor& Text) {
  SelBackColor = Back;
  SelTextColor = Text;
  viewport()->update();
}

void TPelMemo::SetHighlightColors(const QColor& Text, const QColor& Back) {
  HighlightColor = Text;
  HighlightBackgnd = Back;
  viewport()->update();
}

void TPelMemo::SetColor(const QColor& C) {
  BackColor = C;
  viewport()->update();
}

void TPelMemo::SetEndOfTextMark(const QPen& P) {
  EndOfTextMark = P;
  viewport()->update();
}

void TPelMemo::changeEvent(QEvent* E) {
  QAbstractScrollArea::changeEvent(E);
  if (E->type() == QEvent::FontChange) {
    UpdateFontMetrics();
    Reformat();
    VertOffset = 0;
    HorzOffset = 0;
    UpdateScrollRanges();
    UpdateHorzRange();
    if (AutoCaretWidth) CaretW = LineHeight / 14 + 1;
    SetScrollBarValues();
    if (OnVScroll) OnVScroll(*this);
    UpdateCaret();
    viewport()->update();
  }
}

void TPelMemo::UpdateFontMetrics() {
  Meas.SetFonts(font(), AltFont);
  LayoutState.SetupFont(Meas);
  const QFontMetrics fm(Meas.FontFor(0));
  const int32_t fontH = fm.ascent() + fm.descent();
  if (AutoLineHeight) LineHeight = std::min(fontH + 1, 65535);
  const int32_t extra = (LineHeight - fontH + 1) / 2;
  BaselineY = LineHeight - fm.descent() - extra;
  if (BaselineY < fm.ascent()) BaselineY = std::min(LineHeight, fm.ascent());
  // Every character of a fixed-pitch font is one advance wide, and that advance (as
  // the layout measures it) is the width of a column; the font's reported average
  // can be rounded apart from it, which would shift column blocks against the text.
  // (The font's own fixed-pitch flag is not always set for such fonts: the narrowest
  // and the widest letters are compared instead.)
  const int32_t narrow = fm.horizontalAdvance(QLatin1Char('i')), wide = fm.horizontalAdvance(QLatin1Char('W'));
  AvgCharWidth = std::max(1, narrow == wide ? narrow : fm.averageCharWidth());
  ExtentChunk = std::max(1, 16384 / std::max(1, fm.maxWidth()));
  if (AutoCaretWidth) CaretW = LineHeight / 14 + 1;
}

// ---- layout --------------------------------------------------------------------------

bool TPelMemo::FormatPending() const {
  return Paragraphs.PendingFirstPar < GetParCount() && Paragraphs.PendingFirstPar <= Paragraphs.PendingLastPar;
}

void TPelMemo::StartPacer() {
  if (!Pacer.isActive()) Pacer.start();
}

void TPelMemo::RunFormatSlice() {
  if (UpdateCount > 0) return;
  if (!Measurer()) {
    Pacer.stop();
    return;
  }
  const int32_t topPar = GetParCount() > 0 ? Paragraphs.FindPar(0) : 0;
  (void)topPar;
  int32_t lines = 0;
  const int64_t widest = LayoutState.WidestWidth;
  const bool more = FormatSlice(*this, Clock, lines);
  if (lines != 0) UpdateScrollRanges();
  if (LayoutState.WidestWidth != widest) UpdateHorzRange();
  if (lines != 0) {
    UpdateCaret();
    viewport()->update();
  }
  if (!more) {
    Pacer.stop();
    if (OnProgress) OnProgress(*this);
  }
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
  for (int32_t i = 0; i < GetParCount(); ++i)
    Paragraphs.Par(i).Flags &= static_cast<uint8_t>(~(pfFormatted | pfContextParsed | pfParsed));
  Paragraphs.LastParsedPar = -1;
  Reformat();
}

void TPelMemo::EnsureLinesFormatted(int32_t FirstLine, int32_t LastLine) {
  if (!Measurer() || GetParCount() == 0) return;
  TPelNavigator nav(Paragraphs);
  nav.Memo = this;
  nav.SetLineIndex(std::max(0, FirstLine));
  int32_t i = nav.GetParIndex();
  bool changed = false;
  while (i < GetParCount()) {
    TParagraph& p = Paragraphs.Par(i);
    if (!(p.Flags & pfFormatted)) {
      const int32_t before = Paragraphs.TotalLines;
      FormatRange(i, i, false);
      changed = changed || before != Paragraphs.TotalLines;
    }
    if (Paragraphs.Par(i).FirstLine + GetLineCount(Paragraphs.Par(i)) > LastLine) break;
    ++i;
  }
  if (changed) UpdateScrollRanges();
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
    if (!WordWrap && Alignment == TAlignment::taLeftJustify)
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
    if (RememberedX != INT32_MIN) RememberedX -= X - HorzOffset;
    HorzOffset = X;
  }
  if (dy) VertOffset = Y;
  SetScrollBarValues();
  UpdateCaret();
  viewport()->update();
  if (dx && OnHScroll) OnHScroll(*this);
  if (dy && OnVScroll) OnVScroll(*this);
}

void TPelMemo::ScrollTo(int32_t Y, int32_t X, int32_t Time) {
  Y = std::max(0, Y);
  X = std::max(0, X);
  ScrollAnim.stop();
  const uint32_t now = Clock();
  const bool quick = Rapid && now - LastScrollTime < 201;
  if (Rapid) LastScrollTime = now;
  if (Y == VertOffset && X == HorzOffset) return;
  if (Time == 0 || quick || !isVisible()) {
    ApplyOffsets(Y, X);
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
}

void TPelMemo::scrollContentsBy(int, int) {
  if (InScrollUpdate) return;
  // A scroll bar moved by other means than its actions: follow it.
  const int32_t y = verticalScrollBar()->value() * VRange.Unit;
  const int32_t x = horizontalScrollBar()->value() * HRange.Unit;
  if (y != VertOffset || x != HorzOffset) ApplyOffsets(y, x);
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
  const int32_t caretPar = CaretNav->GetParIndex();
  if (!(Paragraphs.Par(caretPar).Flags & pfFormatted)) FormatRange(caretPar, caretPar, false);
  UpdateCaret();
  // While a smooth scroll runs, the view is judged where it is going.
  const bool moving = ScrollAnim.isActive();
  const int32_t curY = moving ? AnimToY : VertOffset, curX = moving ? AnimToX : HorzOffset;
  const int32_t caretX = CaretX + HorzOffset - curX, caretY = CaretY + VertOffset - curY;
  int32_t x = 0;
  if (!WordWrap || ColumnWrap >= 1) {
    if (Alignment != TAlignment::taLeftJustify && curX == 0)
      x = 0;
    else
      x = ScrollInViewX(curX, caretX, viewport()->width(), AvgCharWidth);
  }
  const int32_t y = ScrollInViewY(curY, CaretNav->GetLineIndex(), caretY, LineHeight, viewport()->height(), VisibleLines(),
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

// ---- the caret --------------------------------------------------------------------------

int32_t TPelMemo::GetCaretWidth() {
  if (SelLength == 0 && Overwrite && HasOption(pmoWideOverwriteCaret)) {
    TPelNavigator& c = *CaretNav;
    const TParagraph& p = *c.GetPar();
    if (c.GetParOffset() < GetParLength(p)) {
      Meas.SelectFont(c.GetStaticStyle(), nullptr);
      const unsigned char ch = static_cast<unsigned char>(GetParChars(p)[c.ParOffset]);
      if (ch == '\t') return std::max(1, AvgCharWidth);
      return std::max(1, Meas.Advance(ch));
    }
  }
  return AutoCaretWidth ? LineHeight / 14 + 1 : std::max(1, CaretWidthValue);
}

void TPelMemo::UpdateCaret() {
  if (UpdateCount > 0 || !Host) return;
  const int32_t par = CaretPosNav().GetParIndex();
  if (Measurer() && !(Paragraphs.Par(par).Flags & pfFormatted)) FormatRange(par, par, false);
  const QRect old(CaretX, CaretY, CaretW, LineHeight);
  TPelNavigator& caret = CaretPosNav();
  CaretX = caret.GetXOnLine() + VirtualColumn * AvgCharWidth;
  CaretY = caret.GetLineIndex() * LineHeight - VertOffset;
  if (WordWrap && CaretX >= viewport()->width()) CaretX = viewport()->width() - 1;
  CaretW = GetCaretWidth();
  CaretOn = true;
  if (hasFocus() && !DisplayOnly) Blink.start();
  viewport()->update(old.adjusted(-1, 0, 1, 0));
  viewport()->update(QRect(CaretX - 1, CaretY, CaretW + 2, LineHeight));
  CaretChanged();
}

uint8_t TPelMemo::GetCaretStyle() {
  ParseAttributesTo(CaretNav->GetParIndex());
  const uint8_t code = CaretNav->GetStaticStyle();
  const TStyleRecord* attr = CaretNav->GetAttrStyle();
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
  if (CaretNav->Pos != LastCaretPos || VirtualColumn != LastVirtualColumn) {
    LastCaretPos = CaretNav->Pos;
    LastVirtualColumn = VirtualColumn;
    if (OnSelMove) OnSelMove(*this);
  }
  if (style != LastCaretStyle) {
    LastCaretStyle = style;
    if (OnStyleChange) OnStyleChange(*this);
  }
}

void TPelMemo::BlinkCaret() {
  CaretOn = !CaretOn;
  viewport()->update(QRect(CaretX - 1, CaretY, CaretW + 2, LineHeight));
}

void TPelMemo::focusInEvent(QFocusEvent* E) {
  QAbstractScrollArea::focusInEvent(E);
  if (!DisplayOnly) {
    CaretOn = true;
    Blink.start();
  }
  viewport()->update();
}

void TPelMemo::focusOutEvent(QFocusEvent* E) {
  // Automatic scrolling and a drag end with the focus.
  EndMouseStates();
  if (Dragging) {
    Dragging = false;
    DragOutside = false;
    PlaceCaretApart(CaretNav->Pos);
  }
  RestoreMouseCursor();
  Blink.stop();
  CaretOn = false;
  viewport()->update();
  QAbstractScrollArea::focusOutEvent(E);
}

// ---- loading --------------------------------------------------------------------------

void TPelMemo::LoadTextFromStream(TStream& Stream) {
  ScrollAnim.stop();
  const bool updating = UpdateCount > 0;
  ++UpdateCount;
  try {
    TPelMemoCore::LoadTextFromStream(Stream);
  } catch (...) {
    --UpdateCount;
    throw;
  }
  --UpdateCount;
  VertOffset = 0;
  HorzOffset = 0;
  RememberedX = INT32_MIN;
  if (updating) return;
  Paragraphs.ChangeLastPar = -1;
  Paragraphs.ChangeLineDelta = 0;
  Reformat();
  // The first screen at once; the rest in background slices.
  if (Measurer()) EnsureLinesFormatted(0, VisibleLines());
  UpdateScrollRanges();
  UpdateHorzRange();
  SetScrollBarValues();
  if (OnVScroll) OnVScroll(*this);
  UpdateCaret();
  viewport()->update();
}

// ---- clipboard ------------------------------------------------------------------------

const QString& TPelMemo::RegisterBlockFormat() { return BlockClipboardFormat(); }

void TPelMemo::CopyToClipboard() {
  if (SelLength == 0) return;
  std::string text;
  if (BlockActive) {
    text = GetBlockText();
    RegisterBlockFormat();
  } else {
    text = GetSelText();
    if (HasOption(pmoPlainClipboard)) text = StripFormatCodes(text);
  }
  WriteClipboardText(text, BlockActive);
}

void TPelMemo::CutToClipboard() {
  if (SelLength == 0) return;
  CopyToClipboard();
  SetSelText("");
}

void TPelMemo::PasteFromClipboard() {
  // The text comes through the normalising route: LF, CR and CR LF all end a row.
  std::string text;
  if (!ReadClipboardText(text)) return;
  const bool column = HasOption(pmoBlockSelection) && ClipboardHasBlockMarker();
  UpdateCaret();
  PasteText(text, column, column ? CaretBlockColumn() : -1);
  UpdateCaret();
  viewport()->update();
}

// ---- painting -------------------------------------------------------------------------

bool TPelMemo::SelectionVisible() const { return SelLength != 0 && (hasFocus() || !HideSelection); }

void TPelMemo::PaintLine(QImage& Img, int32_t Line) {
  QPainter p(&Img);
  TPelNavigator nav(Paragraphs);
  nav.Memo = this;
  nav.SetLineIndex(Line);
  const int32_t parIndex = nav.GetParIndex();
  const TParagraph& par = Paragraphs.Par(parIndex);
  TLinesList ll;
  ll.Par = const_cast<TParagraph*>(&par);
  const int32_t li = nav.GetParLineIndex();
  const LineInfo l = *ll.GetLine(li);
  const int32_t parLen = GetParLength(par);
  const bool lastLine = li == ll.Count() - 1;
  const char* t = GetParChars(par);
  const int32_t cw = Img.width();
  const int32_t back = GetParBackColor(par);
  Img.fill(back >= 0 && back != NoColor ? QColor::fromRgb(static_cast<QRgb>(back)) : BackColor);
  if (!BackgroundBmp.isNull()) p.drawTiledPixmap(QRect(0, 0, cw, LineHeight), BackgroundBmp, QPoint(0, Line * LineHeight - VertOffset));

  // Line start by alignment; offsets' x positions through the advance tables.
  int32_t shift = LeftMargin;
  if (Alignment == TAlignment::taRightJustify) shift = ClientWidth - RightMargin - l.Width;
  if (Alignment == TAlignment::taCenter) shift = LeftMargin + (ClientWidth - LeftMargin - RightMargin - l.Width) / 2;
  const int64_t x0 = static_cast<int64_t>(shift) - HorzOffset;
  const bool codes = GetStaticFormat();
  const int32_t avg = std::max(1, AvgCharWidth);
  const bool justify = Justified && l.Spaces > 0 && !lastLine;
  int32_t perSpace = 0, remainder = 0, acc = 0, widened = 0;
  if (justify) {
    const int32_t free = std::max(0, ClientWidth - LeftMargin - RightMargin - l.Width);
    perSpace = free / l.Spaces;
    remainder = free % l.Spaces;
    acc = remainder / 2;
  }
  const int32_t textColor = GetParTextColor(par);
  const QColor ink = textColor >= 0 && textColor != NoColor ? QColor::fromRgb(static_cast<QRgb>(textColor))
                                                            : palette().color(QPalette::Text);
  auto keyColor = [](int32_t C, QColor& Out) {
    if (C < 0 || C == NoColor) return false;
    Out = QColor::fromRgb(static_cast<QRgb>(C));
    return true;
  };
  const bool showSpaces = ShowNonPrintChars & pmNPSpace;

  // The highlighting record in effect (parser styles and styles given from outside).
  const int32_t attrCount = GetAttrCount(par);
  int32_t attr = 0;
  while (attr < attrCount && par.Extra->Attributes[static_cast<size_t>(attr)].CountOrOffset <= l.Start) ++attr;
  auto currentAttr = [&]() -> const TStyleRecord* {
    const TStyleRecord* r = attr > 0 ? &par.Extra->Attributes[static_cast<size_t>(attr - 1)] : GetParStartStyle(par);
    return (r->Flags & 0x80) ? r : nullptr;
  };
  uint8_t style = l.Style;
  const TStyleRecord* attrStyle = currentAttr();
  Meas.SelectFont(style, attrStyle);
  int64_t x = 0;
  int64_t selA = -1, selB = -1;  // selected pixels of this line
  const int32_t a = SelStartNav->Pos - par.StartPos, b = SelEndNav->Pos - par.StartPos;
  const bool showSel = SelectionVisible() && !BlockActive;
  const bool winSel = showSel && HasOption(pmoWindowsSelColors);
  // Runs are drawn whole; tabs, codes, attribute and (with system selection
  // colours) selection boundaries, and blanks when justifying end a run.
  int32_t runStart = l.Start;
  int64_t runX = 0;
  auto flush = [&](int32_t Upto) {
    if (Upto <= runStart) return;
    QColor fore = ink, bg;
    bool fill = false;
    if (style & StyleHighlight) {
      fore = HighlightColor;
      bg = HighlightBackgnd;
      fill = HighlightBackgnd != BackColor;
    }
    if (attrStyle) {
      keyColor(attrStyle->Color1, fore);
      if (keyColor(attrStyle->Color2, bg)) fill = true;
    }
    if (winSel && runStart >= a && runStart < b) {
      fore = SelTextColor;
      bg = SelBackColor;
      fill = true;
    }
    int64_t pen = x0 + runX;
    if (fill) p.fillRect(QRectF(static_cast<double>(pen), 0, static_cast<double>(x - runX), LineHeight), bg);
    p.setPen(fore);
    DrawTextRun(p, Meas, pen, BaselineY, t + runStart, Upto - runStart, Meas.Advance(' '), showSpaces, cw);
    if (attrStyle && (attrStyle->Flags & SpecUnderlineFlag) && SpecUnderline.style() != Qt::NoPen) {
      const int32_t thick = (std::max(1, SpecUnderline.width()) * 3) / 2 + 1;
      const int32_t uy = std::min(BaselineY + 1, LineHeight - thick - 1);
      p.setPen(SpecUnderline);
      DrawZigzagLine(p, static_cast<int32_t>(std::clamp<int64_t>(x0 + runX, INT32_MIN / 2, INT32_MAX / 2)),
                     static_cast<int32_t>(std::clamp<int64_t>(x0 + x, INT32_MIN / 2, INT32_MAX / 2)), thick, uy);
    }
  };
  for (int32_t o = l.Start; o <= l.Stop; ++o) {
    if (showSel && o == std::max(a, l.Start) && a <= l.Stop && b > l.Start) selA = x;
    if (showSel && o == std::min(b, l.Stop) && selA >= 0 && selB < 0) selB = x;
    if (o == l.Stop) break;
    if (x0 + x > cw) break;
    if (attr < attrCount && par.Extra->Attributes[static_cast<size_t>(attr)].CountOrOffset <= o) {
      flush(o);
      while (attr < attrCount && par.Extra->Attributes[static_cast<size_t>(attr)].CountOrOffset <= o) ++attr;
      attrStyle = currentAttr();
      Meas.SelectFont(style, attrStyle);
      runStart = o;
      runX = x;
    }
    if (winSel && (o == a || o == b) && o > runStart) {
      flush(o);
      runStart = o;
      runX = x;
    }
    const unsigned char c = static_cast<unsigned char>(t[o]);
    if (codes && IsStyleCode(c)) {
      flush(o);
      ToggleStyleByCode(style, c);
      Meas.SelectFont(style, attrStyle);
      runStart = o + 1;
      runX = x;
      continue;
    }
    if (c == '\t') {
      flush(o);
      const int64_t from = x;
      if (TabStops > 0) x = (x / (static_cast<int64_t>(TabStops) * avg) + 1) * TabStops * avg;
      if (TabStops < 0) x = (x / -TabStops + 1) * -TabStops;
      if (winSel && o >= a && o < b) p.fillRect(QRectF(static_cast<double>(x0 + from), 0, static_cast<double>(x - from), LineHeight), SelBackColor);
      if ((ShowNonPrintChars & pmNPTab) && x - from >= Meas.Advance(0xBB)) {
        int64_t pen = x0 + from;
        p.setPen(winSel && o >= a && o < b ? SelTextColor : ink);
        DrawTextRun(p, Meas, pen, BaselineY, "\xBB", 1, 0, false, cw);
      }
      runStart = o + 1;
      runX = x;
      continue;
    }
    x += (showSpaces && c == ' ') ? Meas.Advance(' ') : Meas.Advance(c);
    if (justify && c == ' ' && o >= l.JustStart && widened < l.Spaces) {
      int32_t extra = perSpace;
      acc += remainder;
      if (acc >= l.Spaces) {
        ++extra;
        acc -= l.Spaces;
      }
      ++widened;
      flush(o + 1);
      x += extra;
      runStart = o + 1;
      runX = x;
    }
  }
  flush(l.Stop);
  // The paragraph end mark.
  if ((ShowNonPrintChars & pmNPReturn) && lastLine && x0 + x < cw) {
    Meas.SelectFont(0, nullptr);
    int64_t pen = x0 + x;
    p.setPen(ink);
    DrawTextRun(p, Meas, pen, BaselineY, "\xB6", 1, 0, false, cw);
  }
  // A selection that goes on past the paragraph's end shows a small box there.
  if (showSel && selA >= 0) {
    if (selB < 0) selB = x;
    int64_t right = selB;
    if (lastLine && b > parLen && a <= parLen && ShowEndParSelected && !(ShowNonPrintChars & pmNPReturn))
      right = std::max(right, x + avg / 2 + 1);
    if (HasOption(pmoFullLineSelect) && b > l.Stop + (lastLine ? 0 : -1) && (lastLine ? b > parLen : true))
      right = cw - x0;
    if (winSel) {
      // The text was drawn in the selection colours; only the room after it is filled.
      const int64_t left = std::max<int64_t>(std::max(selB, x) + x0, 0), r = std::min<int64_t>(right + x0, cw);
      if (r > left) p.fillRect(QRect(static_cast<int>(left), 0, static_cast<int>(r - left), LineHeight), SelBackColor);
    } else {
      const int64_t left = std::max<int64_t>(selA + x0, 0), r = std::min<int64_t>(right + x0, cw);
      if (r > left) {
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.fillRect(QRect(static_cast<int>(left), 0, static_cast<int>(r - left), LineHeight), Qt::black);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
      }
    }
  }
  // A column block: the same columns on every line of the block.
  if (BlockActive && SelectionVisible() && parIndex >= SelStartNav->GetParIndex() && parIndex <= SelEndNav->GetParIndex()) {
    const int32_t c1 = std::min(BlockStartColumn, BlockStopColumn), c2 = std::max(BlockStartColumn, BlockStopColumn);
    const int32_t left = std::max(0, LeftMargin - HorzOffset + c1 * avg), right = std::min(cw, LeftMargin - HorzOffset + c2 * avg);
    if (right > left) {
      p.setCompositionMode(QPainter::RasterOp_NotDestination);
      p.fillRect(QRect(left, 0, right - left, LineHeight), Qt::black);
    }
  }
}

void TPelMemo::paintEvent(QPaintEvent* E) {
  QPainter painter(viewport());
  const int32_t w = viewport()->width(), h = viewport()->height();
  if (UpdateCount > 0 || LineHeight < 1) return;
  const QRect area = E->rect();
  const int32_t firstLine = std::max(0, (VertOffset + area.top()) / LineHeight);
  const int32_t lastLine = std::max(0, (VertOffset + area.bottom()) / LineHeight);
  EnsureLinesFormatted(firstLine, lastLine);
  const int32_t total = GetDisplayLineCount();
  QImage line(std::max(1, w), LineHeight, QImage::Format_RGB32);
  int32_t y = firstLine * LineHeight - VertOffset;
  auto fillBack = [&](const QRect& R) {
    painter.fillRect(R, BackColor);
    if (!BackgroundBmp.isNull()) painter.drawTiledPixmap(R, BackgroundBmp, QPoint(R.left(), R.top()));
  };
  if (y > area.top()) fillBack(QRect(0, area.top(), w, y - area.top()));
  for (int32_t i = firstLine; i <= lastLine && i < total; ++i) {
    PaintLine(line, i);
    painter.drawImage(0, y, line);
    y += LineHeight;
  }
  if (y <= area.bottom()) fillBack(QRect(0, y, w, h - y));
  // The end of the text: a line under the last display line.
  const int32_t end = total * LineHeight - VertOffset;
  if (EndOfTextMark.style() != Qt::NoPen && end >= 0 && end < h) {
    painter.setPen(EndOfTextMark);
    const int32_t py = end + std::max(1, EndOfTextMark.width()) / 2;
    painter.drawLine(0, py, w, py);
  }
  if (RightLinePos != 0) {
    const int32_t x = LeftMargin - HorzOffset + (RightLinePos > 0 ? RightLinePos * AvgCharWidth : -RightLinePos);
    painter.setPen(RightLinePen);
    painter.drawLine(x, 0, x, h);
  }
  if (hasFocus() && CaretOn && !DisplayOnly) {
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.fillRect(QRect(CaretX, CaretY, CaretW, LineHeight), Qt::black);
  }
}

// ---- positions from the mouse and moves -------------------------------------------------

int32_t TPelMemo::PosFromPoint(int32_t X, int32_t Y) {
  const int32_t line = (VertOffset + Y) / std::max(1, LineHeight);
  if (Y + VertOffset < 0) return PosOfLineX(0, X);
  EnsureLinesFormatted(line, line);
  if (line >= GetDisplayLineCount()) return GetTextLength();
  return PosOfLineX(line, X);
}

int32_t TPelMemo::PosOfLineX(int32_t Line, int32_t X) {
  EnsureLinesFormatted(Line, Line);
  TPelNavigator nav(Paragraphs);
  nav.Memo = this;
  nav.SetLineIndex(std::max(0, std::min(Line, GetDisplayLineCount() - 1)));
  nav.SetXOnLine(X);
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

// ---- cursors and the input state ------------------------------------------------------------

namespace {

// An arrow drawn white with a black outline.
void DrawArrow(QPainter& P, const QPolygon& Shape) {
  P.setRenderHint(QPainter::Antialiasing, false);
  P.setPen(QPen(Qt::black, 1));
  P.setBrush(Qt::white);
  P.drawPolygon(Shape);
}

}  // namespace

const QCursor& TPelMemo::RightArrowCursor() {
  // The standard arrow mirrored: it points up and to the right, at the line to select.
  static const QCursor cursor = [] {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    DrawArrow(p, QPolygon({QPoint(15, 0), QPoint(15, 16), QPoint(11, 12), QPoint(8, 19), QPoint(6, 18), QPoint(9, 11),
                           QPoint(4, 11)}));
    p.end();
    return QCursor(pm, 15, 0);
  }();
  return cursor;
}

const QCursor& TPelMemo::DragCopyCursor() {
  // The arrow with a small box holding a plus beside it.
  static const QCursor cursor = [] {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    DrawArrow(p, QPolygon({QPoint(0, 0), QPoint(0, 16), QPoint(4, 12), QPoint(7, 19), QPoint(9, 18), QPoint(6, 11),
                           QPoint(11, 11)}));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(12, 17, 10, 10);
    p.drawLine(14, 22, 20, 22);
    p.drawLine(17, 19, 17, 25);
    p.end();
    return QCursor(pm, 0, 0);
  }();
  return cursor;
}

TMemoInputState TPelMemo::InputState() const {
  TMemoInputState s;
  s.Options = Options;
  s.ReadOnly = ReadOnly;
  s.DisplayOnly = DisplayOnly;
  s.EnableHotKeys = EnableHotKeys;
  s.WordWrap = WordWrap;
  s.BlockActive = BlockActive;
  s.HasSelection = SelLength != 0;
  s.Dragging = Dragging;
  s.UpdateCount = UpdateCount;
  return s;
}

uint16_t TPelMemo::VirtualKeyOf(int QtKey) {
  switch (QtKey) {
    case Qt::Key_Backspace: return vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vk::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::Return;
    case Qt::Key_Shift: return vk::Shift;
    case Qt::Key_Control: return vk::Control;
    case Qt::Key_Alt: return vk::Menu;
    case Qt::Key_PageUp: return vk::Prior;
    case Qt::Key_PageDown: return vk::Next;
    case Qt::Key_End: return vk::End;
    case Qt::Key_Home: return vk::Home;
    case Qt::Key_Left: return vk::Left;
    case Qt::Key_Up: return vk::Up;
    case Qt::Key_Right: return vk::Right;
    case Qt::Key_Down: return vk::Down;
    case Qt::Key_Insert: return vk::Insert;
    case Qt::Key_Delete: return vk::Delete;
    default: break;
  }
  if ((QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z) || (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9))
    return static_cast<uint16_t>(QtKey);
  return 0;
}

TShiftState TPelMemo::ShiftOf(Qt::KeyboardModifiers Mods, Qt::MouseButtons Buttons) {
  TShiftState s = 0;
  if (Mods & Qt::ShiftModifier) s |= ssShift;
  if (Mods & Qt::AltModifier) s |= ssAlt;
  if (Mods & Qt::ControlModifier) s |= ssCtrl;
  if (Buttons & Qt::LeftButton) s |= ssLeft;
  if (Buttons & Qt::RightButton) s |= ssRight;
  if (Buttons & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

void TPelMemo::SetMouseCursor(const QCursor& C) { viewport()->setCursor(C); }

void TPelMemo::RestoreMouseCursor() { viewport()->setCursor(Qt::IBeamCursor); }

int32_t TPelMemo::XOfPos(int32_t Pos) {
  TPelNavigator n(Paragraphs);
  n.Memo = this;
  n.SetPos(Pos);
  return n.GetXOnLine();
}

// ---- mouse ----------------------------------------------------------------------------------

void TPelMemo::mousePressEvent(QMouseEvent* E) {
  const QPoint pt = E->position().toPoint();
  MouseDownPoint = pt;
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  if (E->button() != Qt::LeftButton) {
    // A right click keeps the selection (and a block) for the context menu.
    if (OnAfterMouseDown) OnAfterMouseDown(*this, E->button(), ShiftOf(E->modifiers(), E->buttons()), pt.x(), pt.y());
    return;
  }
  BlockActive = false;
  MouseDownPos = PosFromPoint(pt.x(), pt.y());
  RememberedX = INT32_MIN;
  if (DisplayOnly) {
    if (OnAfterMouseDown) OnAfterMouseDown(*this, E->button(), ShiftOf(E->modifiers(), E->buttons()), pt.x(), pt.y());
    return;
  }
  ButtonDown = true;
  const bool shift = E->modifiers() & Qt::ShiftModifier;
  if (!WordSelect) {
    VirtualColumn = 0;
    const int32_t pos = MouseDownPos;
    if (OverSelection && !ReadOnly && !HasOption(pmoNoDragnDrop) && SelLength != 0 && pos >= SelStartNav->Pos &&
        pos < SelEndNav->Pos) {
      // A drag starts; the caret shows the drop point, the selection stays.
      Dragging = true;
      DragOutside = false;
      PlaceCaretApart(pos);
      SetMouseCursor(E->modifiers() & Qt::ControlModifier ? DragCopyCursor() : QCursor(Qt::DragMoveCursor));
    } else if (LineSelectAnchor >= 0) {
      SelectLines(LineSelectAnchor, LineSelectAnchor);
    } else {
      MoveCaret(pos, shift);
      BlockActive = (E->modifiers() & Qt::AltModifier) && HasOption(pmoBlockSelection) && !WordWrap;
      if (HasOption(pmoKeepColumnPos) || BlockActive) {
        // Beyond the line end or on a tab the caret stands where the click was.
        const TParagraph& par = *CaretNav->GetPar();
        const int32_t off = CaretNav->GetParOffset();
        const bool atEnd = off >= static_cast<int32_t>(CaretNav->GetLinesList().GetLine(CaretNav->GetParLineIndex())->Stop);
        const bool onTab = off < GetParLength(par) && GetParChars(par)[off] == '\t';
        if (atEnd || onTab) VirtualColumn = std::max(pt.x() - XOfPos(pos), 0) / std::max(1, AvgCharWidth);
      }
    }
  }
  BreakUndoGroup();
  UpdateCaret();
  if (BlockActive) BlockStartColumn = BlockStopColumn = CaretBlockColumn();
  viewport()->update();
  if (OnAfterMouseDown) OnAfterMouseDown(*this, E->button(), ShiftOf(E->modifiers(), E->buttons()), pt.x(), pt.y());
}

void TPelMemo::mouseMoveEvent(QMouseEvent* E) {
  if (UpdateCount > 0) return;
  const QPoint pt = E->position().toPoint();
  if (!ButtonDown) {
    // Hovering: the left margin selects lines, the selection can be dragged.
    const int32_t line = (VertOffset + pt.y()) / std::max(1, LineHeight);
    if (pt.x() < LeftMargin - 2 - HorzOffset && !HasOption(pmoNoLineSelection) && line < GetDisplayLineCount()) {
      LineSelectAnchor = line;
      OverSelection = false;
      SetMouseCursor(RightArrowCursor());
      return;
    }
    LineSelectAnchor = -1;
    bool over = false;
    if (!HasOption(pmoNoDragnDrop) && SelLength != 0 && !BlockActive && !ReadOnly && !DisplayOnly) {
      const int32_t pos = PosFromPoint(pt.x(), pt.y());
      over = pos >= SelStartNav->Pos && pos < SelEndNav->Pos && line < GetDisplayLineCount();
    }
    OverSelection = over;
    if (over)
      SetMouseCursor(Qt::ArrowCursor);
    else
      RestoreMouseCursor();
    return;
  }
  if (!(E->buttons() & Qt::LeftButton)) return;
  LastMouse = pt;
  const int32_t w = viewport()->width(), h = viewport()->height();
  // Beyond an edge the text scrolls by itself: a timer replays the mouse at the
  // interval of the speed (no loop of our own), until release or focus loss.
  const TAutoScrollStep step = AutoScrollFor(pt.x(), pt.y(), w, h, Dragging);
  AutoScrollDir = step.Dir;
  AutoScrollSpeed = step.Speed;
  if (step.Dir == 0) {
    AutoScroll.stop();
  } else {
    AutoScroll.setInterval(AutoScrollDelay(step.Speed));
    if (!AutoScroll.isActive()) AutoScroll.start();
  }
  if (Dragging) {
    const bool outside = pt.x() < 0 || pt.y() < 0 || pt.x() >= w || pt.y() >= h;
    if (outside) {
      if (!DragOutside) SetMouseCursor(Qt::ForbiddenCursor);
      DragOutside = true;
      return;
    }
    DragOutside = false;
    SetMouseCursor(E->modifiers() & Qt::ControlModifier ? DragCopyCursor() : QCursor(Qt::DragMoveCursor));
    PlaceCaretApart(PosFromPoint(pt.x(), pt.y()));
    UpdateCaret();
    return;
  }
  DragTo(pt);
}

void TPelMemo::AutoScrollStep() {
  if (!ButtonDown || AutoScrollDir == 0) {
    AutoScroll.stop();
    return;
  }
  switch (AutoScrollDir) {
    case 1: VertAction(QAbstractSlider::SliderSingleStepSub); break;
    case 2: VertAction(QAbstractSlider::SliderSingleStepAdd); break;
    case 3:
      if (HorzOffset > 0) HorzAction(QAbstractSlider::SliderSingleStepSub);
      break;
    default:
      if (HorzOffset < LayoutState.WidestWidth - viewport()->width()) HorzAction(QAbstractSlider::SliderSingleStepAdd);
      break;
  }
  // The selection (or the drop point) follows a point just beyond the edge.
  int32_t x = LastMouse.x(), y = LastMouse.y();
  TAutoScrollStep step;
  step.Dir = AutoScrollDir;
  step.Speed = AutoScrollSpeed;
  AutoScrollReplayPoint(step, viewport()->width(), viewport()->height(), x, y);
  if (Dragging) {
    PlaceCaretApart(PosFromPoint(std::max(0, std::min(x, viewport()->width() - 1)),
                                 std::max(0, std::min(y, viewport()->height() - 1))));
    UpdateCaret();
  } else {
    DragTo(QPoint(x, y));
  }
}

void TPelMemo::DragTo(QPoint pt) {
  Rapid = true;
  if (LineSelectAnchor >= 0) {
    // Whole display lines from the anchor's to the hovered one.
    const int32_t line = std::max(0, (VertOffset + pt.y()) / std::max(1, LineHeight));
    SelectLines(LineSelectAnchor, std::min(line, GetDisplayLineCount() - 1));
    UpdateCaret();
    ScrollInView();
    viewport()->update();
    Rapid = false;
    return;
  }
  int32_t pos = PosFromPoint(pt.x(), pt.y());
  const bool block = BlockActive;
  if (WordSelect) {
    // The ends snap to word boundaries; the double-clicked word stays selected.
    if (pos < WordAnchorA) {
      pos = WordEdge(pos, false);
      SetSelStart(pos);
      SetSelLength(WordAnchorB - pos);
    } else {
      pos = std::max(WordEdge(pos, true), WordAnchorB);
      SetSelStart(pos);
      SetSelLength(WordAnchorA - pos);
    }
  } else {
    MoveCaret(pos, true);
  }
  if (block) {
    BlockActive = true;
    VirtualColumn = std::max(pt.x() - XOfPos(pos), 0) / std::max(1, AvgCharWidth);
    UpdateCaret();
    BlockStopColumn = std::max(0, (pt.x() + HorzOffset - LeftMargin) / std::max(1, AvgCharWidth));
  }
  ScrollInView();
  viewport()->update();
  Rapid = false;
}

void TPelMemo::EndMouseStates() {
  ButtonDown = false;
  WordSelect = false;
  AutoScroll.stop();
  AutoScrollDir = 0;
  AutoScrollSpeed = 0;
}

void TPelMemo::mouseReleaseEvent(QMouseEvent* E) {
  if (WordSelect) {
    VirtualColumn = 0;
    UpdateCaret();
  }
  const bool wasDown = ButtonDown;
  EndMouseStates();
  if (Dragging) {
    Dragging = false;
    RestoreMouseCursor();
    OverSelection = false;
    const int32_t drop = GetCaretPos();
    if (!DragOutside) {
      // A move deletes and inserts (undone together); Ctrl copies.
      if (!DropSelection(drop, E->modifiers() & Qt::ControlModifier) && OnSelMove) OnSelMove(*this);
    } else {
      PlaceCaretApart(CaretNav->Pos);
    }
    DragOutside = false;
    UpdateCaret();
    ScrollInView();
    viewport()->update();
    return;
  }
  // A click that did not move, on a highlight with a context number, is the highlight's.
  if (E->button() == Qt::LeftButton && wasDown && E->position().toPoint() == MouseDownPoint &&
      ClickContext(PosFromPoint(MouseDownPoint.x(), MouseDownPoint.y())))
    return;
  if (E->button() == Qt::LeftButton && !DisplayOnly) ScrollInView();
}

int32_t TPelMemo::WordEdge(int32_t Pos, bool Forward) {
  const int32_t par = Paragraphs.FindPar(Pos);
  const TParagraph& p = Paragraphs.Par(par);
  const char* t = GetParChars(p);
  const int32_t len = GetParLength(p);
  int32_t o = std::max(0, std::min(Pos - p.StartPos, len));
  if (Forward)
    while (o < len && !IsSeparator(t[o])) ++o;
  else
    while (o > 0 && !IsSeparator(t[o - 1])) --o;
  return p.StartPos + o;
}

void TPelMemo::mouseDoubleClickEvent(QMouseEvent* E) {
  if (DisplayOnly || E->button() != Qt::LeftButton) return;
  WordSelect = true;
  ButtonDown = true;
  WordAnchorA = WordEdge(SelStartNav->Pos, false);
  WordAnchorB = WordEdge(SelEndNav->Pos, true);
  SetSelStart(WordAnchorB);
  SetSelLength(WordAnchorA - WordAnchorB);
  viewport()->update();
  UpdateCaret();
}

void TPelMemo::contextMenuEvent(QContextMenuEvent* E) {
  // A right click on a highlight with a context number is the highlight's.
  if (E->reason() == QContextMenuEvent::Mouse && ClickContext(PosFromPoint(E->pos().x(), E->pos().y()))) return;
  if (HasOption(pmoNoDefaultPopup)) return;
  DefaultPopup()->popup(E->globalPos());
}

QMenu* TPelMemo::DefaultPopup() {
  if (!Popup) {
    Popup = new QMenu(this);
    Popup->addAction(QStringLiteral("&Undo"), this, [this] { Undo(); });
    Popup->addAction(QStringLiteral("&Redo"), this, [this] { Redo(); });
    Popup->addSeparator();
    Popup->addAction(QStringLiteral("Cu&t"), this, [this] { CutToClipboard(); });
    Popup->addAction(QStringLiteral("&Copy"), this, [this] { CopyToClipboard(); });
    Popup->addAction(QStringLiteral("&Paste"), this, [this] { PasteFromClipboard(); });
    Popup->addSeparator();
    Popup->addAction(QStringLiteral("&Select all"), this, [this] { SelectAll(); });
  }
  const QList<QAction*> items = Popup->actions();
  std::string clip;
  const bool editable = !ReadOnly && !DisplayOnly;
  items[0]->setEnabled(CanUndo());
  items[1]->setEnabled(CanRedo());
  items[3]->setEnabled(SelLength != 0 && editable);
  items[4]->setEnabled(SelLength != 0);
  items[5]->setEnabled(editable && ReadClipboardText(clip));
  return Popup;
}

// ---- keys ----------------------------------------------------------------------------

void TPelMemo::TypeText(const std::string& Text) {
  if (Overwrite && SelLength == 0 && CaretNav->GetParOffset() < GetParLength(*CaretNav->GetPar())) {
    BreakUndoGroup();
    SetSelLength(1);
  }
  SetSelText(Text);
}

void TPelMemo::keyPressEvent(QKeyEvent* E) {
  if (UpdateCount > 0) return;
  Rapid = true;
  HandleKey(E);
  Rapid = false;
}

void TPelMemo::keyReleaseEvent(QKeyEvent* E) {
  // During a drag, letting Ctrl go brings the moving cursor back.
  if (Dragging && !DragOutside && E->key() == Qt::Key_Control) SetMouseCursor(QCursor(Qt::DragMoveCursor));
  QAbstractScrollArea::keyReleaseEvent(E);
}

void TPelMemo::inputMethodEvent(QInputMethodEvent* E) {
  // Composed text goes in as typed characters; what has no Latin-1 form is dropped.
  const QString text = E->commitString();
  for (QChar ch : text)
    if (ch.unicode() <= 0xFF) DoChar(static_cast<unsigned char>(ch.unicode()));
  E->accept();
}

QVariant TPelMemo::inputMethodQuery(Qt::InputMethodQuery Query) const {
  switch (Query) {
    case Qt::ImEnabled: return !DisplayOnly && !ReadOnly;
    case Qt::ImCursorRectangle: return QRect(CaretX, CaretY, CaretW, LineHeight);
    default: return QAbstractScrollArea::inputMethodQuery(Query);
  }
}

void TPelMemo::HandleKey(QKeyEvent* E) {
  const int key = E->key();
  const TShiftState shift = ShiftOf(E->modifiers());
  const uint16_t vkey = VirtualKeyOf(key);
  // While dragging, Ctrl shows that the drop will copy.
  if (Dragging && !DragOutside && key == Qt::Key_Control) SetMouseCursor(DragCopyCursor());
  const TKeyDecision d = DecideKeyDown(vkey, shift, InputState());
  if (d.Action == TKeyAction::PassOn) {
    E->ignore();
    return;
  }
  if (d.Action != TKeyAction::None) {
    // Left at the start of the text and Up on the first line go on to the window.
    if (!DoKeyDown(d)) E->ignore();
    return;
  }
  if (vkey == vk::Tab && !WantTabs) {
    E->ignore();
    return;
  }
  // Key press. Ctrl+letter codes come from the key (the text differs between systems).
  const bool ctrl = shift & ssCtrl, alt = shift & ssAlt;
  if (ctrl && !alt) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
      DoChar(static_cast<unsigned char>(key - Qt::Key_A + 1));
      return;
    }
    E->ignore();
    return;
  }
  if (alt && !ctrl) {
    // Alt with a character belongs to the window's menus (Ctrl+Alt is AltGr on some systems).
    E->ignore();
    return;
  }
  if (vkey == vk::Tab) {
    DoChar(9);
    return;
  }
  if (vkey == vk::Return) {
    DoChar(13);
    return;
  }
  const QString text = E->text();
  bool any = false;
  for (QChar ch : text) {
    if (ch.unicode() > 0xFF) continue;  // no Latin-1 form: ignored
    // Control characters the memo ignores (Escape brings 27) leave the key to the
    // window, as a key without text does.
    if (ch.unicode() < 32 || ch.unicode() == 127) continue;
    any = true;
    DoChar(static_cast<unsigned char>(ch.unicode()));
  }
  if (!any) E->ignore();
}

bool TPelMemo::DoKeyDown(const TKeyDecision& D) {
  switch (D.Action) {
    case TKeyAction::Ignore: return true;
    case TKeyAction::ScrollPageUp:
    case TKeyAction::ScrollPageDown:
    case TKeyAction::ScrollLineUp:
    case TKeyAction::ScrollLineDown:
    case TKeyAction::ScrollHome:
    case TKeyAction::ScrollEnd:
    case TKeyAction::ScrollLeft:
    case TKeyAction::ScrollRight: {
      const TDisplayScroll r = DisplayOnlyScroll(D.Action, D.Ctrl, GetTopLine(), VisibleLines(), GetDisplayLineCount(),
                                                 HorzOffset, LayoutState.WidestWidth, viewport()->width(), RightMargin);
      if (r.Vertical)
        ScrollToLine(r.Target);
      else
        ScrollToX(r.Target);
      return true;
    }
    case TKeyAction::Undo: Undo(); break;
    case TKeyAction::Redo: Redo(); break;
    case TKeyAction::InsertTab: SetSelText("\t"); break;
    case TKeyAction::ToggleStyle: ToggleStyleCode(static_cast<char>(D.Code)); break;
    case TKeyAction::InsertPageBreak: SetSelText("\r\n\x10\r\n"); break;
    case TKeyAction::Paste: PasteFromClipboard(); break;
    case TKeyAction::Copy: CopyToClipboard(); break;
    case TKeyAction::CutSelection: CutToClipboard(); break;
    case TKeyAction::ToggleOverwrite:
      SetOverwrite(!Overwrite);
      if (OnStyleChange) OnStyleChange(*this);
      break;
    case TKeyAction::ExtendToLineEnd: {
      if (SelStartNav->GetLineIndex() == SelEndNav->GetLineIndex()) {
        // The selection reaches to the end of its display line; nothing is deleted.
        TPelNavigator& e = *SelEndNav;
        const TParagraph& p = *e.GetPar();
        const LineInfo l = *e.GetLinesList().GetLine(e.GetParLineIndex());
        const bool lastLine = e.GetParLineIndex() == e.GetLinesList().Count() - 1;
        const int32_t end = p.StartPos + (lastLine ? GetParLength(p) : l.Stop);
        const int32_t start = SelStartNav->Pos;
        SetSelStart(end);
        SetSelLength(start - end);
        break;
      }
      [[fallthrough]];
    }
    case TKeyAction::Delete: {
      const int32_t virt = VirtualColumn;
      const bool keep = HasOption(pmoNoOverwriteBlocks) && SelLength != 0;
      if (keep) SaveSelectionForPaste();
      if (SelLength == 0 && !BlockActive) {
        TPelNavigator& c = *CaretNav;
        if (c.Pos < GetTextLength()) {
          int32_t n = 1;
          if (c.GetParOffset() >= GetParLength(*c.GetPar())) {
            n = 2;
          } else if (GetStaticFormat()) {
            const int32_t len = GetParLength(*c.GetPar());
            while (c.GetParOffset() + n < len && IsStyleCode(static_cast<unsigned char>(GetCharAt(c.Pos + n)))) ++n;
          }
          SetSelLength(n);
        }
      }
      ClearSelection();
      if (keep) RestoreSelectionAfterPaste();
      if (HasOption(pmoKeepColumnPos) && !keep) VirtualColumn = virt;
      break;
    }
    case TKeyAction::Backspace: {
      const bool keep = HasOption(pmoNoOverwriteBlocks) && SelLength != 0;
      if (keep) SaveSelectionForPaste();
      if (SelLength == 0 && !BlockActive) {
        TPelNavigator& c = *CaretNav;
        const int32_t pos = c.Pos;
        if (VirtualColumn > 0) {
          --VirtualColumn;
          if (keep) RestoreSelectionAfterPaste();
          break;
        }
        if (pos == 0) {
          if (keep) RestoreSelectionAfterPaste();
          break;
        }
        int32_t from = -1;
        if (D.Ctrl) {
          TPelNavigator n(Paragraphs);
          n.Memo = this;
          n.SetPos(pos);
          n.PrevWord();
          from = n.Pos;
        } else if (c.GetParOffset() == 0) {
          from = pos - 2;
        } else {
          if (HasOption(pmoBackIndent)) from = BackIndentStart();
          if (from < 0) {
            from = pos - 1;
            if (GetStaticFormat())
              while (from > c.GetPar()->StartPos && IsStyleCode(static_cast<unsigned char>(GetCharAt(from - 1)))) --from;
          }
        }
        SetSelStart(pos);
        SetSelLength(from - pos);
      }
      ClearSelection();
      if (keep) RestoreSelectionAfterPaste();
      break;
    }
    case TKeyAction::Left:
    case TKeyAction::Right:
    case TKeyAction::Up:
    case TKeyAction::Down:
    case TKeyAction::Home:
    case TKeyAction::End:
    case TKeyAction::PageUp:
    case TKeyAction::PageDown: return DoMove(D);
    default: return false;
  }
  UpdateCaret();
  viewport()->update();
  return true;
}

bool TPelMemo::DoMove(const TKeyDecision& D) {
  if (D.StartBlock) {
    // Shift+Alt+arrow: a column block starts at the caret's column.
    UpdateCaret();
    if (SelLength == 0 || !BlockActive) {
      SetSelStart(GetCaretPos());
      BlockStartColumn = BlockStopColumn = CaretBlockColumn();
    }
    BlockActive = true;
  }
  const bool block = BlockActive;
  TPelNavigator& c = CaretPosNav();
  const int32_t from = c.Pos;
  int32_t target = from;
  int32_t virt = 0;
  bool keepRemembered = false;
  const int32_t avg = std::max(1, AvgCharWidth);
  switch (D.Action) {
    case TKeyAction::Left:
    case TKeyAction::Right: {
      RememberedX = INT32_MIN;
      if (!D.Extend && !D.KeepSelection && SelLength != 0 && !D.Ctrl && !block) {
        // Without Shift a selection collapses to its end on the key's side.
        target = D.Action == TKeyAction::Left ? SelStartNav->Pos : SelEndNav->Pos;
        break;
      }
      TPelNavigator n(Paragraphs);
      n.Memo = this;
      n.SetPos(from);
      const TParagraph& par = *c.GetPar();
      const int32_t off = c.GetParOffset(), len = GetParLength(par);
      if (D.Action == TKeyAction::Left) {
        if (from == 0 && VirtualColumn == 0) return false;
        if (D.Ctrl) {
          n.PrevWord();
        } else if (VirtualColumn > 0) {
          virt = VirtualColumn - 1;
        } else if (off == 0) {
          n.SetPos(from - 2);
        } else if (HasOption(pmoDiscardTrailingSpaces) && !block && (GetParChars(par)[off - 1] == ' ' || GetParChars(par)[off - 1] == '\t')) {
          // A run of blanks before the caret is passed in one step.
          const char* t = GetParChars(par);
          int32_t o = off;
          while (o > 0 && (t[o - 1] == ' ' || t[o - 1] == '\t')) --o;
          n.SetPos(par.StartPos + o);
        } else {
          n.SetPos(from - 1);
          if (PassOverCodes && GetStaticFormat())
            while (n.GetParOffset() > 0 && IsStyleCode(static_cast<unsigned char>(GetCharAt(n.Pos - 1)))) n.SetPos(n.Pos - 1);
        }
      } else {
        const bool lineEnd = off >= static_cast<int32_t>(c.GetLinesList().GetLine(c.GetParLineIndex())->Stop);
        if (D.Ctrl) {
          n.NextWord();
        } else if (lineEnd && !WordWrap && ((HasOption(pmoKeepColumnPos) && !HasOption(pmoWrapCaret)) || block)) {
          virt = VirtualColumn + 1;
        } else if (off >= len) {
          n.SetPos(std::min(GetTextLength(), from + 2));
        } else {
          n.SetPos(from + 1);
          if (PassOverCodes && GetStaticFormat())
            while (n.GetParOffset() < len && IsStyleCode(static_cast<unsigned char>(GetCharAt(n.Pos)))) n.SetPos(n.Pos + 1);
          if (HasOption(pmoDiscardTrailingSpaces) && !block) {
            const char* t = GetParChars(par);
            while (n.GetParOffset() < len && (t[n.GetParOffset()] == ' ' || t[n.GetParOffset()] == '\t')) n.SetPos(n.Pos + 1);
          }
        }
      }
      target = n.Pos;
      break;
    }
    case TKeyAction::Up:
    case TKeyAction::Down: {
      const int32_t line = c.GetLineIndex();
      if (D.Action == TKeyAction::Up && line == 0) return false;
      if (D.Action == TKeyAction::Down && line >= GetDisplayLineCount() - 1) return true;
      if (RememberedX == INT32_MIN) RememberedX = CaretX;
      target = PosOfLineX(line + (D.Action == TKeyAction::Up ? -1 : 1), RememberedX);
      if ((HasOption(pmoKeepColumnPos) || block) && !WordWrap) virt = std::max(RememberedX - XOfPos(target), 0) / avg;
      keepRemembered = true;
      break;
    }
    case TKeyAction::Home:
    case TKeyAction::End: {
      RememberedX = INT32_MIN;
      if (D.Ctrl) {
        target = D.Action == TKeyAction::Home ? 0 : GetTextLength();
      } else {
        const LineInfo l = *c.GetLinesList().GetLine(c.GetParLineIndex());
        const TParagraph& p = *c.GetPar();
        int32_t off = D.Action == TKeyAction::Home ? l.Start : l.Stop;
        // On a wrapped line the end is before the blank that ends it.
        if (D.Action == TKeyAction::End && l.Stop < GetParLength(p) && off > l.Start) --off;
        target = p.StartPos + off;
      }
      break;
    }
    case TKeyAction::PageUp:
    case TKeyAction::PageDown: {
      const int32_t v = VisibleLines(), line = c.GetLineIndex(), lines = GetDisplayLineCount();
      const bool up = D.Action == TKeyAction::PageUp;
      if (!D.Ctrl && CaretY >= 0 && CaretY < viewport()->height()) {
        const int32_t y = up ? std::max(VertOffset - (v - 1) * LineHeight, 0)
                             : std::min(VertOffset + (v - 1) * LineHeight, std::max(0, (lines - 1) * LineHeight));
        ScrollTo(y, HorzOffset, ScrollTime);
      }
      if (RememberedX == INT32_MIN) RememberedX = CaretX;
      const int32_t to = up ? std::max(line - v + 1, 0) : std::min(line + v - 1, lines - 1);
      EnsureLinesFormatted(to, to);
      target = PosOfLineX(to, RememberedX);
      keepRemembered = true;
      break;
    }
    default: return true;
  }
  const int32_t rem = RememberedX;
  if (D.Extend) {
    if (IsCaretApart()) {
      // Away from the kept selection: a new selection from the caret.
      SetSelStart(target);
      SetSelLength(from - target);
    } else {
      MoveCaret(target, true);
    }
    BlockActive = block;
  } else if (D.KeepSelection && SelLength != 0) {
    PlaceCaretApart(target);
  } else {
    BlockActive = false;
    MoveCaret(target, false);
  }
  VirtualColumn = virt;
  RememberedX = keepRemembered ? rem : INT32_MIN;
  BreakUndoGroup();
  UpdateCaret();
  if (BlockActive && D.Extend) BlockStopColumn = CaretBlockColumn();
  ScrollInView();
  viewport()->update();
  return true;
}

void TPelMemo::DoChar(unsigned char Ch) {
  const TMemoInputState st = InputState();
  const TCharAction a = DecideKeyPress(Ch, st);
  if (a == TCharAction::Ignore) return;
  const bool keep = KeepsSelectionOnKeyPress(Ch, st) && a != TCharAction::CheckIntegrity;
  if (keep) SaveSelectionForPaste();
  try {
    switch (a) {
      case TCharAction::Copy: CopyToClipboard(); break;
      case TCharAction::Paste: PasteFromClipboard(); break;
      case TCharAction::Cut: CutToClipboard(); break;
      case TCharAction::CheckIntegrity:
        viewport()->update();
        CheckIntegrity();
        break;
      case TCharAction::Tab:
        if (HasOption(pmoSmartTabs))
          SetSelText(GetSelText() + SmartTabBlanks());
        else
          TypeText("\t");
        break;
      case TCharAction::Enter: {
        if (Overwrite && SelLength == 0) {
          const int32_t line = CaretNav->GetLineIndex();
          if (line >= GetDisplayLineCount() - 1) {
            SetSelStart(GetTextLength());
            SetSelText("\r\n");
          } else {
            SetSelStart(PosOfLineX(line + 1, INT32_MIN / 2));
          }
          break;
        }
        if (HasOption(pmoAutoIndent) && SelLength == 0) {
          const std::string indent = AutoIndentText();
          if (HasOption(pmoDiscardTrailingSpaces) && CaretNav->GetParOffset() >= GetParLength(*CaretNav->GetPar())) {
            SetSelText("\r\n");
            VirtualColumn = IndentColumns(indent);
          } else {
            SetSelText("\r\n" + indent);
          }
          break;
        }
        SetSelText("\r\n");
        break;
      }
      case TCharAction::Type:
        if (Ch == ' ' && SelLength == 0 && HasOption(pmoDiscardTrailingSpaces) && HasOption(pmoKeepColumnPos) &&
            CaretNav->GetParOffset() >= GetParLength(*CaretNav->GetPar())) {
          ++VirtualColumn;
          break;
        }
        TypeText(std::string(1, static_cast<char>(Ch)));
        break;
      default: break;
    }
  } catch (...) {
    if (keep) RestoreSelectionAfterPaste();
    throw;
  }
  if (keep) RestoreSelectionAfterPaste();
  UpdateCaret();
  ScrollInView();
  viewport()->update();
}
