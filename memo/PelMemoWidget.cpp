// The memo's window: the measurer of Qt fonts, creation, the event glue, the
// host of the text model, the properties, loading and the clipboard. Painting,
// scrolling with the caret, the mouse and the keys have files of their own
// (PelMemoWidgetPaint, PelMemoWidgetScroll, PelMemoWidgetMouse, PelMemoWidgetKeys).
#include "memo/PelMemoWidget.h"

#include <QApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyleHints>
#include <algorithm>
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


// The width of one character column in a font. Every character of a fixed-pitch font
// is one advance wide, and that advance (as the layout measures it) is the column; the
// font's reported average can be rounded apart from it, which would shift column blocks
// and control marks against the text. (The font's own fixed-pitch flag is not always
// set for such fonts: the narrowest and the widest letters are compared instead.)
int32_t ColumnWidth(const QFontMetrics& Fm) {
  const int32_t narrow = Fm.horizontalAdvance(QLatin1Char('i')), wide = Fm.horizontalAdvance(QLatin1Char('W'));
  return std::max(1, narrow == wide ? narrow : Fm.averageCharWidth());
}
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
    // A control character is an ordinary character of one column (style codes
    // under StaticFormat never reach the measurer): it shows as a replacement mark
    // one column wide, so that pixel columns stay with character columns.
    const int32_t mark = ColumnWidth(fm);
    for (int c = 0; c < 256; ++c) {
      const unsigned char b = static_cast<unsigned char>(c);
      slot->Adv[static_cast<size_t>(c)] = IsControlMark(b) ? mark : fm.horizontalAdvance(QChar(Latin1ToChar(b)));
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
  Pacer.OnTerminate = [this] { FormatPacerTerminated(); };
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
  // The background formatter ends with the window, stopped by the memo itself.
  Pacer.Stop();
  ScrollAnim.stop();
  Blink.stop();
  AutoScroll.stop();
  Host = nullptr;
}

void TPelMemo::FormatPacerTerminated() {
  qDebug("FormTerm");
}

void TPelMemo::ShowError(const char* What) { Prompts().MessageDlg(QString::fromUtf8(What), TMsgType::Error, TMsgButtons::OK); }

namespace {

// A message the memo sends itself, as a Qt event carrying its two parameters.
class TMemoMessageEvent : public QEvent {
 public:
  TMemoMessageEvent(uint32_t Msg, intptr_t W, intptr_t L) : QEvent(static_cast<QEvent::Type>(Msg)), WParam(W), LParam(L) {}
  intptr_t WParam, LParam;
};

}  // namespace

void TPelMemo::SendMemoMessage(uint32_t Msg, intptr_t WParam, intptr_t LParam) {
  TMemoMessageEvent e(Msg, WParam, LParam);
  QCoreApplication::sendEvent(this, &e);
}

// Every event of the memo and of its client area is a message of the memo: counted
// in MessageNesting, shown to MessageHooks before and after, and safe from a
// handler that destroys the memo (nothing of it is touched after that).
bool TPelMemo::Dispatch(QEvent* E, bool Client) {
  TMemoMessage m{static_cast<uint32_t>(E->type()), Client ? 1 : 0, reinterpret_cast<intptr_t>(E), 0};
  if (auto* own = E->type() >= QEvent::User ? dynamic_cast<TMemoMessageEvent*>(E) : nullptr) {
    m.WParam = own->WParam;
    m.LParam = own->LParam;
  }
  bool handled = true;
  DispatchMemoMessage(this, m, [&](TMemoMessage& M) {
    try {
      handled = Client ? QAbstractScrollArea::viewportEvent(E) : HandleEvent(E);
    } catch (const std::exception& e) {
      ShowError(e.what());
      handled = true;
    }
    M.Result = handled ? 1 : 0;
  });
  return handled;
}

bool TPelMemo::event(QEvent* E) { return Dispatch(E, false); }

bool TPelMemo::viewportEvent(QEvent* E) { return Dispatch(E, true); }

bool TPelMemo::HandleEvent(QEvent* E) {
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
  // Noted for LayoutDone, whoever asked for the layout.
  LaidOut = true;
  LaidOutFirst = std::min(LaidOutFirst, Par);
  LaidOutLast = std::max(LaidOutLast, Par);
  if (delta != 0) LinesChangedFirst = std::min(LinesChangedFirst, Par);
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

void TPelMemo::ParagraphsReplaced(int32_t First, int32_t Last, int32_t ParDelta) {
  // The widest paragraph follows the paragraphs after the edit; one that the edit
  // removed, merged or split is unknown, and all are measured again.
  int32_t& widest = LayoutState.WidestPar;
  if (widest > Last)
    widest += ParDelta;
  else if (widest >= First && (Last > First || ParDelta != 0))
    WidestDirty = true;
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

int32_t TPelMemo::EditLayoutStopLine() {
  if (UpdateMode == TpmUpdateMode::umImmediate || !Measurer()) return INT32_MAX;
  return GetTopLine() + VisibleLines();
}

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
  if (vert != vertBefore && LinesWrap()) Reformat();
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
  if (LinesWrap()) Reformat();
  Relayout();
}

void TPelMemo::SetDisplayOnly(bool On) {
  const bool was = DisplayOnly;
  DisplayOnly = On;
  // No caret while display-only: switching on takes a focused memo's caret away,
  // switching off gives it back.
  if (hasFocus() && was != On) {
    if (On) {
      Blink.stop();
      CaretOn = false;
    } else {
      UpdateCaret();
    }
  }
  viewport()->update();
}

void TPelMemo::SetJustified(bool On) {
  HorzOffset = 0;
  SetScrollBarValues();
  Justified = On;
  UpdateCaret();
  viewport()->update();
}

void TPelMemo::SetLeftMargin(int32_t M) {
  LeftMargin = M;
  if (LinesWrap()) Reformat();
  Relayout();
}

void TPelMemo::SetRightMargin(int32_t M) {
  RightMargin = M;
  if (LinesWrap()) Reformat();
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
    // Whole lines in the new height plus the remainder; a glide under way goes on
    // to the same line.
    auto rescale = [&](int32_t Y) { return Y / old * LineHeight + std::min(Y % old, LineHeight - 1); };
    VertOffset = rescale(VertOffset);
    if (ScrollAnim.isActive()) {
      AnimFromY = rescale(AnimFromY);
      AnimToY = rescale(AnimToY);
    }
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

void TPelMemo::SetShowEndParSelected(bool On) {
  ShowEndParSelected = On;
  viewport()->update();
}

void TPelMemo::SetUpdateMode(TpmUpdateMode M) {
  if (M == UpdateMode) return;
  Pacer.Stop();
  UpdateMode = M;
  if (M == TpmUpdateMode::umBackground) Pacer.OnTerminate = [this] { FormatPacerTerminated(); };
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
  // Code 4 selects it: the widths of text in it change, wrapped or not.
  if (LinesWrap() || GetStaticFormat()) Reformat();
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
    // The view starts again at the top: a glide under way would move it on.
    ScrollAnim.stop();
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
    ChangeHooks.Notify(*this, hfFontChanged);
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
  AvgCharWidth = ColumnWidth(fm);
  ExtentChunk = std::max(1, 16384 / std::max(1, fm.maxWidth()));
  if (AutoCaretWidth) CaretW = LineHeight / 14 + 1;
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
  RememberedX = NoCaretX;
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
  SelectionOutOfBreak();
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

