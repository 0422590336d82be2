#pragma once
// TPelMemo: the memo's window. A scroll area of our own that measures, lays out,
// scrolls, paints and edits the text model (TPelMemoCore) with the keyboard, the
// mouse and the clipboard. Layout and scroll arithmetic live in PelMemoLayout
// (no Qt); this layer measures with Qt fonts and talks to Qt's events.
#include <QAbstractScrollArea>
#include <QColor>
#include <QCursor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QPixmap>
#include <QRawFont>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

#include "memo/PelMemoCore.h"
#include "memo/PelMemoInput.h"
#include "memo/PelMemoLayout.h"
#include "memo/PelMemoStrings.h"

class QMenu;


// Non-printing characters that can be shown.
inline constexpr uint8_t pmNPSpace = 1;
inline constexpr uint8_t pmNPTab = 2;
inline constexpr uint8_t pmNPReturn = 4;

enum class TpmUpdateMode : uint8_t { umImmediate, umOnNeed, umBackground };
enum class TBorderStyle : uint8_t { bsNone, bsSingle };
enum class TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

// Control characters other than TAB: drawn as a replacement mark one column wide.
inline bool IsControlMark(unsigned char C) { return C < ' ' && C != '\t'; }

// Measures with Qt fonts through advance tables, one per font style, with kerning
// off: the width of a text is the sum of its characters' advances, so pieces
// measured apart add up to the whole.
class TQtMeasurer : public TTextMeasurer {
 public:
  void SetFonts(const QFont& Main, const QFont& Alt);
  void SelectFont(uint8_t StaticStyle, const TStyleRecord* Attr) override;
  int32_t TextExtent(const char* Text, int32_t Count) override;
  // Advance of one byte in the selected font.
  int32_t Advance(unsigned char Ch) const { return Current->Adv[Ch]; }
  const QFont& Font() const { return Current->Font; }
  const QRawFont& RawFont();
  // Glyph of a byte in the selected font.
  quint32 Glyph(unsigned char Ch);
  // The font of a style byte (bold, italic, underline, the alternative font).
  QFont FontFor(uint8_t Style) const;

 private:
  struct TTable {
    QFont Font;
    std::array<int32_t, 256> Adv{};
    QRawFont Raw;
    std::array<quint32, 256> Glyphs{};
    bool GlyphsReady = false;
  };
  TTable& Table(uint8_t Key);
  QFont Main, Alt;
  std::array<std::unique_ptr<TTable>, 64> Tables;
  TTable* Current = nullptr;
};

class QPainter;

// Draws Count bytes of Text with the measurer's selected font, each character at
// the sum of the advances before it, starting at pen X on baseline Y; X ends after
// the run. Nothing is drawn far left of the window (X at or below -16384) or right
// of RightClip. With ShowSpaces a blank shows as a middle dot and advances by
// VisibleSpaceWidth.
void DrawTextRun(QPainter& Painter, TQtMeasurer& Meas, int64_t& X, int32_t Y, const char* Text, int32_t Count,
                 int32_t VisibleSpaceWidth, bool ShowSpaces, int32_t RightClip);

// The zig-zag line of the special underline (see ZigzagPoints).
void DrawZigzagLine(QPainter& Painter, int32_t X1, int32_t X2, int32_t Step, int32_t Y);

// Paces background formatting on the user-interface thread, in place of a worker
// thread: each tick runs one slice, and the timer stops (is suspended) when nothing
// is pending. Stop ends the pacing and clears OnTerminate first, so that the memo's
// own ending of it (a change of the update mode, its destruction) calls no handler;
// a pacer destroyed with OnTerminate still set calls it.
class TFormatPacer : public QTimer {
 public:
  std::function<void()> OnTerminate;
  void Stop() {
    OnTerminate = nullptr;
    stop();
  }
  ~TFormatPacer() override {
    if (OnTerminate) OnTerminate();
  }
};

class TPelMemo : public QAbstractScrollArea, public TPelMemoCore, public TPelMemoHost {
  Q_OBJECT

 public:
  explicit TPelMemo(QWidget* Parent = nullptr);
  ~TPelMemo() override;

  // The text as display lines (Lines) and as paragraphs.
  TPelLinesStrings Lines{*this};
  TPelParaStrings ParaStrings{*this};

  // ---- properties
  void SetAlignment(TAlignment A);
  void SetBorderStyle(TBorderStyle S);
  TBorderStyle GetBorderStyle() const { return BorderStyleValue; }
  void SetHideSelection(bool On);
  bool GetHideSelection() const { return HideSelection; }
  void SetScrollBars(TScrollStyle S);
  TScrollStyle GetScrollBars() const { return ScrollBarsValue; }
  void SetWantTabs(bool On) { WantTabs = On; }
  bool GetWantTabs() const { return WantTabs; }
  void SetWordWrap(bool On);
  void SetCaretWidth(int32_t W);
  int32_t GetCaretWidthProperty() const { return CaretWidthValue; }
  void SetColumnWrap(int32_t C);
  void SetDisplayOnly(bool On);
  bool GetDisplayOnly() const { return DisplayOnly; }
  void SetJustified(bool On);
  void SetLeftMargin(int32_t M);
  void SetRightMargin(int32_t M);
  void SetTabStops(int32_t T);
  void SetLineHeight(int32_t H);
  int32_t GetLineHeight() const { return LineHeight; }
  bool GetAutoLineHeight() const { return AutoLineHeight; }
  void SetOverwrite(bool On);
  bool GetOverwrite() const { return Overwrite; }
  void SetReadOnly(bool On) { ReadOnly = On; }
  bool GetReadOnly() const { return ReadOnly; }
  void SetRightLinePos(int32_t P);
  void SetShowEndParSelected(bool On);
  void SetUpdateMode(TpmUpdateMode M);
  TpmUpdateMode GetUpdateMode() const { return UpdateMode; }
  void SetOptions(uint32_t O);
  void SetSeparators(std::string_view S) { TPelMemoCore::SetSeparators(S); }
  void SetMemoFont(const QFont& F);
  void SetAltFont(const QFont& F);
  const QFont& GetAltFont() const { return AltFont; }
  void SetSelColors(const QColor& Back, const QColor& Text);
  void SetHighlightColors(const QColor& Text, const QColor& Back);
  void SetColor(const QColor& C);
  QColor GetColor() const { return BackColor; }
  void SetEndOfTextMark(const QPen& P);
  const QPen& GetEndOfTextMark() const { return EndOfTextMark; }

  int32_t MouseWheelFactor = -1;
  int32_t ScrollTime = 300;
  bool EnableHotKeys = true;
  bool PassOverCodes = true;
  QPen RightLinePen{QColor(0x80, 0x80, 0x80), 1, Qt::DotLine};
  QColor SelBackColor, SelTextColor;
  QColor HighlightColor{Qt::red}, HighlightBackgnd;
  // Pen of the zig-zag underline that highlighting styles may ask for.
  QPen SpecUnderline{QColor(Qt::red), 1};
  // Tiled under the text when set.
  QPixmap BackgroundBmp;
  // Which non-printing characters are shown (pmNPSpace, pmNPTab, pmNPReturn).
  uint8_t ShowNonPrintChars = 0;
  void SetShowNonPrintChars(uint8_t Set);
  void SetBackgroundBmp(const QPixmap& P);

  // ---- operations
  void LoadTextFromStream(TStream& Stream) override;
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  // The name of the column-block clipboard format, registered the first time.
  static const QString& RegisterBlockFormat();
  void Reformat();
  void ResetFormatting();
  void Relayout();
  bool UpdateScrollRanges();
  void UpdateHorzRange();
  void ScrollTo(int32_t Y, int32_t X, int32_t Time);
  void ScrollToLine(int32_t Line) { ScrollTo(Line * LineHeight, HorzOffset, ScrollTime); }
  void ScrollToY(int32_t Y) { ScrollTo(Y, HorzOffset, ScrollTime); }
  void ScrollToX(int32_t X) { ScrollTo(VertOffset, X, ScrollTime); }
  int32_t GetTopLine() const { return LineHeight > 0 ? std::max(0, VertOffset / LineHeight) : 0; }
  int32_t VisibleLines() const;
  void InvalidateLines(int32_t A, int32_t B);
  int32_t GetCaretWidth();
  int32_t GetCaretX() const { return CaretX; }
  // Where the caret is drawn (CaretX is its true x, this the place it is shown).
  QRect ShownCaretRect() const;
  int32_t GetCaretY() const { return CaretY; }
  // The font style in force at the caret: the in-text codes combined with the
  // control font's style, or a highlighting style's own.
  uint8_t GetCaretStyle();
  // Whole-pixel geometry of the current font.
  int32_t Baseline() const { return BaselineY; }
  // The built-in context menu, its items enabled for the present state.
  QMenu* DefaultPopup();
  // True while paragraphs wait for a background slice.
  bool FormatPending() const;
  bool PacerActive() const { return Pacer.isActive(); }
  // One background slice now (what the pacing timer runs).
  void RunFormatSlice();
  // Ends a running smooth scroll at its target.
  void FinishScrolling();
  bool Scrolling() const { return ScrollAnim.isActive(); }
  bool AutoScrolling() const { return AutoScroll.isActive(); }
  // One step of the automatic scrolling now (what its timer runs).
  void AutoScrollStep();
  const TPelLayout& Layout() const { return LayoutState; }
  TScrollRange VertRange() const { return VRange; }
  TScrollRange HorzRange() const { return HRange; }

  std::function<void(TPelMemo&)> OnHScroll, OnVScroll, OnSelMove, OnStyleChange;
  // After the memo's own handling of a mouse press: button, shift state, client x and y.
  std::function<void(TPelMemo&, Qt::MouseButton, TShiftState, int32_t, int32_t)> OnAfterMouseDown;

  // ---- input
  // The cursor over the left margin and the cursor of a drag that copies, drawn in code.
  static const QCursor& RightArrowCursor();
  static const QCursor& DragCopyCursor();
  // The state that the key and character decisions read.
  TMemoInputState InputState() const;
  // Qt's keys and modifiers in the memo's terms (0: a key the memo does not name).
  static uint16_t VirtualKeyOf(int QtKey);
  static TShiftState ShiftOf(Qt::KeyboardModifiers Mods, Qt::MouseButtons Buttons = Qt::NoButton);
  bool IsDragging() const { return Dragging; }
  // The display line where a left-margin selection begins (-1: none).
  int32_t GetLineSelectAnchor() const { return LineSelectAnchor ? LineSelectAnchor->GetLineIndex() : -1; }
  int32_t GetAutoScrollSpeed() const { return AutoScrollSpeed; }
  int32_t GetAutoScrollDir() const { return AutoScrollDir; }
  // The display column under the caret as the column keys and pastes count it.
  int32_t CaretBlockColumn() const { return (CaretX + HorzOffset - LeftMargin) / std::max(1, AvgCharWidth); }
  // The clock of the background slices (tests give a fake one); milliseconds.
  std::function<uint32_t()> Clock;

  void SendMemoMessage(uint32_t Msg, intptr_t WParam = 0, intptr_t LParam = 0) override;

  // ---- TPelMemoHost
  TTextMeasurer* Measurer() override;
  int32_t FormatMeasured(TPelMemoCore& Memo, int32_t Par) override;
  void TextDisplayChanged(int32_t FirstLine, int32_t LineDelta) override;
  void Changed() override;
  void ScrollInView() override;
  void UpdateCaret() override;
  void SelectionChanged() override;
  int32_t EditLayoutStopLine() override;
  void BeforeLayout() override;
  void AfterLayout() override;
  void LayoutDone() override;
  void ParagraphsReplaced(int32_t First, int32_t Last, int32_t ParDelta) override;

 protected:
  bool event(QEvent* E) override;
  bool viewportEvent(QEvent* E) override;
  bool focusNextPrevChild(bool Next) override;
  void paintEvent(QPaintEvent* E) override;
  void resizeEvent(QResizeEvent* E) override;
  void keyPressEvent(QKeyEvent* E) override;
  void keyReleaseEvent(QKeyEvent* E) override;
  void inputMethodEvent(QInputMethodEvent* E) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery Query) const override;
  void mousePressEvent(QMouseEvent* E) override;
  void mouseMoveEvent(QMouseEvent* E) override;
  void mouseReleaseEvent(QMouseEvent* E) override;
  void mouseDoubleClickEvent(QMouseEvent* E) override;
  void wheelEvent(QWheelEvent* E) override;
  void focusInEvent(QFocusEvent* E) override;
  void focusOutEvent(QFocusEvent* E) override;
  void contextMenuEvent(QContextMenuEvent* E) override;
  void changeEvent(QEvent* E) override;
  void scrollContentsBy(int Dx, int Dy) override;

 private:
  void UpdateFontMetrics();
  void ApplyScrollBarPolicy();
  void SetScrollBarValues();
  // Moves the view to the offsets without telling anyone; ScrollArrived tells
  // OnHScroll, OnVScroll and ChangeHooks once, when a scroll has reached its target.
  void ApplyOffsets(int32_t Y, int32_t X);
  void ScrollArrived();
  void AnimateScroll();
  void StartPacer();
  void EnsureLinesFormatted(int32_t FirstLine, int32_t LastLine);
  // Lays out the paragraphs a page up (or down) from the caret, before a Page key
  // measures where the view and the caret go.
  void FormatPageAway(bool Up);
  void VertAction(int Action);
  void HorzAction(int Action);
  void PaintLine(QImage& Img, int32_t Line);
  bool SelectionVisible() const;
  // A position from client coordinates; below the text: its end.
  int32_t PosFromPoint(int32_t X, int32_t Y);
  // Nav to client coordinates: to x X on display line (VertOffset + Y) / LineHeight,
  // counted after that line is laid out; below the text: its end.
  void NavFromPoint(TPelNavigator& Nav, int32_t X, int32_t Y);
  // Whether Nav stands at the end of its display line (where a column block's
  // virtual columns begin).
  static bool AtLineStop(TPelNavigator& Nav);
  // Whole average characters from Nav's x to client x X (0 left of it).
  int32_t ColumnsBeyond(TPelNavigator& Nav, int32_t X) const;
  // Moves a drag's drop point (the caret apart from the selection) under a client point.
  void DropPointTo(int32_t X, int32_t Y);
  int32_t PosOfLineX(int32_t Line, int32_t X);
  // Nav to x X on display line Line (laid out first), staying on that line also at
  // its end where it wraps.
  void NavToLineX(TPelNavigator& Nav, int32_t Line, int32_t X);
  // Nav to x X on the display line Delta lines from the caret's (clamped to the
  // text), counted after the lines between are laid out.
  void NavToCaretLineX(TPelNavigator& Nav, int32_t Delta, int32_t X);
  void MoveCaret(int32_t Pos, bool Extend);
  // MoveCaret to At, the caret keeping At's display line.
  void MoveCaret(const TPelNavigator& At, bool Extend);
  int32_t SelAnchor() const;
  // The start (or end) of the word at a position, words delimited by Separators.
  int32_t WordEdge(int32_t Pos, bool Forward);
  void HandleKey(QKeyEvent* E);
  // Carries out a key-down decision; false when the key is left to key press.
  bool DoKeyDown(const TKeyDecision& D);
  // A caret key; false when the key goes on to the window (nothing to move to).
  bool DoMove(const TKeyDecision& D);
  // Carries out a character.
  void DoChar(unsigned char Ch);
  void TypeText(const std::string& Text);
  void SetMouseCursor(const QCursor& C);
  void RestoreMouseCursor();
  void EndMouseStates();
  void ShowError(const char* What);
  // The memo's message dispatch around its own (or its client area's) handling of an event.
  bool Dispatch(QEvent* E, bool Client);
  bool HandleEvent(QEvent* E);
  void BlinkCaret();
  void CaretChanged();

  TQtMeasurer Meas;
  TPelLayout LayoutState;
  QFont AltFont;
  QColor BackColor;
  QPen EndOfTextMark{QColor(Qt::red)};
  TBorderStyle BorderStyleValue = TBorderStyle::bsSingle;
  TScrollStyle ScrollBarsValue = TScrollStyle::ssVertical;
  TpmUpdateMode UpdateMode = TpmUpdateMode::umBackground;
  bool HideSelection = true;
  bool WantTabs = true;
  bool DisplayOnly = false;
  bool Overwrite = false;
  bool ReadOnly = false;
  bool ShowEndParSelected = true;
  bool AutoLineHeight = true;
  bool AutoCaretWidth = false;
  int32_t CaretWidthValue = 1;
  int32_t RightLinePos = 0;
  int32_t BaselineY = 12;
  bool HasRealWidth = false;
  bool WidestDirty = false;

  TScrollRange VRange, HRange;
  bool InScrollUpdate = false;
  bool Rapid = false;
  uint32_t LastScrollTime = 0;
  QTimer ScrollAnim;
  int32_t AnimFromY = 0, AnimFromX = 0, AnimToY = 0, AnimToX = 0, AnimTime = 0;
  uint32_t AnimStart = 0;
  uint16_t ScrolledFlags = 0;  // hfHScroll, hfVScroll of a scroll not yet told

  // The top of the view while paragraphs are laid out: the text offset where its
  // line starts (-1: none kept) and the display line it was.
  int32_t KeptTopPos = -1, KeptTopLine = 0, LayoutDepth = 0;
  // Paragraphs laid out since the last LayoutDone: the first and last laid out, the
  // first whose line count changed (INT32_MAX: none).
  bool LaidOut = false;
  int32_t LaidOutFirst = INT32_MAX, LaidOutLast = -1, LinesChangedFirst = INT32_MAX;
  bool InLayoutDone = false, InCaretLayout = false;
  // The widest width the horizontal range was set for, and the vertical offset the
  // caret was placed at.
  int64_t HorzRangeWidest = -1;
  int32_t CaretVertOffset = 0;
  // The clock's time of the last progress report of background formatting.
  uint32_t LastProgressTime = 0;

  TWheelAccumulator Wheel;
  TFormatPacer Pacer;
  // The pacer's termination handler: "FormTerm" to the debugger output.
  void FormatPacerTerminated();
  QTimer Blink;
  bool CaretOn = true;
  int32_t CaretX = 0, CaretY = 0, CaretW = 1;
  int32_t LastCaretPos = -1, LastVirtualColumn = -1;
  uint8_t LastCaretStyle = 0;

  void DragTo(QPoint Pt);
  QTimer AutoScroll;
  int32_t AutoScrollDir = 0;  // 0 none, 1 up, 2 down, 3 left, 4 right
  QPoint LastMouse;
  int32_t AutoScrollSpeed = 0;
  bool Dragging = false;
  bool DragOutside = false;
  bool OverSelection = false;
  // At the start of the display line where a left-margin selection begins (none: no
  // anchor); registered, so edits and layout keep it on that line's text.
  std::unique_ptr<TPelNavigator> LineSelectAnchor;
  int32_t MouseDownPos = 0;
  QPoint MouseDownPoint;
  bool ButtonDown = false;
  bool WordSelect = false;
  int32_t WordAnchorA = 0, WordAnchorB = 0;
  QMenu* Popup = nullptr;
};
