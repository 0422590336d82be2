#pragma once
// The memo without its window: text, selection, the edit path with undo and redo,
// paragraph and display-line operations, loading and saving. A window reaches it
// and is reached by it only through TPelMemoHost; without a host it works headless
// (every paragraph is then one display line).
#include <bitset>
#include <climits>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "memo/ParagraphsList.h"
#include "memo/PelHighlighter.h"
#include "memo/PelMemoHooks.h"
#include "memo/PelMemoSupport.h"
#include "memo/PelNavigator.h"

class TStream;
class TPelMemoCore;

// What the memo needs from its window.
class TPelMemoHost {
 public:
  virtual ~TPelMemoHost() = default;
  // The measurer of the window's canvas; nullptr while there is none (formatting
  // then makes every paragraph one line).
  virtual TTextMeasurer* Measurer() { return nullptr; }
  // Lays out one paragraph by measuring (called only when Measurer() is set).
  // Returns the change in the paragraph's display-line count.
  virtual int32_t FormatMeasured(TPelMemoCore& Memo, int32_t Par) {
    (void)Memo;
    (void)Par;
    return 0;
  }
  // The display after an edit: changed lines from FirstLine on, LineDelta lines more.
  virtual void TextDisplayChanged(int32_t FirstLine, int32_t LineDelta) {
    (void)FirstLine;
    (void)LineDelta;
  }
  // The text changed (after the display was brought up to date).
  virtual void Changed() {}
  // Around laying out paragraphs: the window keeps the text at its top where it is
  // when lines above it change in number. The calls pair up and may nest.
  virtual void BeforeLayout() {}
  virtual void AfterLayout() {}
  // When the outermost layout is over: what follows from lines laid out anew (the
  // scroll ranges, the widest line, where the caret is drawn).
  virtual void LayoutDone() {}
  // An edit replaced paragraphs First .. Last (before it) by others; ParDelta more
  // paragraphs follow them now.
  virtual void ParagraphsReplaced(int32_t First, int32_t Last, int32_t ParDelta) {
    (void)First;
    (void)Last;
    (void)ParDelta;
  }
  // The last display line that an edit lays out at once (what shows); changed
  // paragraphs below it are left to background formatting.
  virtual int32_t EditLayoutStopLine() { return INT32_MAX; }
  virtual void ScrollInView() {}
  virtual void UpdateCaret() {}
  virtual void SelectionChanged() {}
};

// Paragraphs laid out between the host's BeforeLayout and AfterLayout, however the
// scope is left.
class TLayoutScope {
 public:
  explicit TLayoutScope(TPelMemoHost* Host) : H(Host), Unwinding(std::uncaught_exceptions()) {
    if (H) H->BeforeLayout();
  }
  ~TLayoutScope() {
    if (!H) return;
    H->AfterLayout();
    // Not while an exception passes: the next layout runs what is left.
    if (std::uncaught_exceptions() == Unwinding) H->LayoutDone();
  }
  TLayoutScope(const TLayoutScope&) = delete;
  TLayoutScope& operator=(const TLayoutScope&) = delete;

 private:
  TPelMemoHost* H;
  int Unwinding;
};

enum class TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

// How a display line lies across the text area: where it starts in x (client
// pixels, before scrolling) and, on a justified line, the room each widenable blank
// gains. The navigator, the painting and the selection all take it from
// TPelMemoCore::LineSpread, so that what is measured is what is drawn.
struct TLineSpread {
  int32_t Start = 0;
  bool Justify = false;
  int32_t PerSpace = 0, Remainder = 0, Acc = 0, Spaces = 0, JustStart = 0, Widened = 0;
  // The room added after character C at offset O of the line; asked once for each
  // character in order (0 for all but the widened blanks).
  int32_t Extra(char C, int32_t O) {
    if (!Justify || C != ' ' || O < JustStart || Widened >= Spaces) return 0;
    int32_t extra = PerSpace;
    Acc += Remainder;
    if (Acc >= Spaces) {
      ++extra;
      Acc -= Spaces;
    }
    ++Widened;
    return extra;
  }
};

// Options of the memo (bit numbers as members of the option set).
enum TPelMemoOption : uint32_t {
  pmoKeepColumnPos = 1u << 0,
  pmoPutExtraSpaces = 1u << 1,
  pmoWrapCaret = 1u << 2,
  pmoInsertKeyActive = 1u << 3,
  pmoWideOverwriteCaret = 1u << 4,
  pmoLargeWordSelect = 1u << 5,
  pmoAutoScrollBars = 1u << 6,
  pmoNoDragnDrop = 1u << 7,
  pmoAutoIndent = 1u << 8,
  pmoBackIndent = 1u << 9,
  pmoWindowsSelColors = 1u << 10,
  pmoFullLineSelect = 1u << 11,
  pmoDiscardTrailingSpaces = 1u << 12,
  pmoNoFineScroll = 1u << 13,
  pmoNoLineSelection = 1u << 14,
  pmoNoDefaultPopup = 1u << 15,
  pmoBlockSelection = 1u << 16,
  pmoAutoLineBreak = 1u << 17,
  pmoPlainClipboard = 1u << 18,
  pmoPersistentBlocks = 1u << 19,
  pmoNoOverwriteBlocks = 1u << 20,
  pmoSmartTabs = 1u << 21,
};

struct TUndoRecord {
  int32_t Start = 0;  // where the replacement text begins
  int32_t Stop = 0;   // after the replacement text
  bool Grouped = false;
  std::string Text;   // the text the replacement removed
  int32_t Size() const { return static_cast<int32_t>(Text.size()) + 13; }
};

class TPelMemoCore {
 public:
  TPelMemoCore();
  virtual ~TPelMemoCore();
  TPelMemoCore(const TPelMemoCore&) = delete;
  TPelMemoCore& operator=(const TPelMemoCore&) = delete;

  // ---- text and selection
  int32_t GetTextLength() const { return Paragraphs.TotalChars; }
  int32_t GetParCount() const { return Paragraphs.GetCount(); }
  int32_t GetDisplayLineCount() const { return Paragraphs.TotalLines; }
  int32_t GetSelStart() const { return CaretNav->Pos; }
  int32_t GetSelLength() const { return SelLength; }
  void SetSelStart(int32_t P);
  // The caret placed at At's position (by SetSelStart, SetSelLength or
  // PlaceCaretApart) takes At's display line: where At stands at a wrapped line's
  // end on that line, so does the caret, where a bare position would be on the next.
  void KeepCaretLine(const TPelNavigator& At);
  void SetSelLength(int32_t N);
  std::string GetSelText();
  // Moves the ends of a plain selection out of a CR LF pair, as the store does
  // before it replaces a range, keeping the selection's direction. Every path
  // that reads the selection and then replaces it calls this first, so that
  // what it reads is what it replaces.
  void SelectionOutOfBreak();
  void SetSelText(std::string_view S);
  // The edit path: replaces the selection by Text (nullptr: no text).
  virtual void SetSelTextBuf(const char* Text);
  void SetTextBuf(const char* Text);
  void Clear();
  void ClearSelection();
  void SelectAll();
  std::string GetTextRange(int32_t A, int32_t B) const { return Paragraphs.GetTextRange(A, B); }
  std::string GetText() const { return GetTextRange(0, GetTextLength()); }
  char GetCharAt(int32_t Offset) const;
  int32_t GetCaretPar() { return CaretNav->GetParIndex(); }
  int32_t GetCaretLine() { return CaretNav->GetLineIndex(); }

  // ---- paragraphs and display lines
  std::string GetParText(int32_t I) const;
  void SetParText(int32_t I, std::string_view S);
  void SetParTextBuf(int32_t I, const char* Text);
  int32_t GetParStart(int32_t I) const;
  void MoveToPar(int32_t I);
  void SetCaretLine(int32_t Line);
  std::string GetDisplayLine(int32_t Line);
  void SetCaretColumn(int32_t Column);
  int32_t GetCaretColumn();

  // ---- update nesting and the display
  void BeginUpdate();
  void EndUpdate();
  int32_t GetUpdateCount() const { return UpdateCount; }
  // Formats the paragraph without measuring: one line from 0 to its length.
  // Returns the change in its display-line count; TotalLines follows.
  int32_t FormatParagraph(int32_t Par);
  // Formats paragraphs First .. Last that need it and keeps the first lines in order.
  // With a StopLine, the paragraphs after First only while they start at or above
  // it. Returns the paragraph after the last one reached.
  int32_t FormatRange(int32_t First, int32_t Last, bool Force, int32_t StopLine = INT32_MAX);
  void UpdateAfterEdit();
  // The self-check of the paragraph store; throws EPelMemoError naming the fault.
  void CheckIntegrity() const;
  virtual void Change();

  // ---- loading and saving
  virtual void LoadTextFromStream(TStream& Stream);
  bool SaveTextToStream(TStream& Stream) const;
  void ClearText();

  // ---- undo
  void Undo();
  void Redo();
  bool CanUndo() const;
  bool CanRedo() const;
  void ClearUndo();
  const TUndoRecord& GetUndoRecord(int32_t I) const;
  void DeleteUndoRecord(int32_t I);
  int32_t UndoCount() const { return static_cast<int32_t>(UndoList.size()); }
  int32_t GetUndoIndex() const { return UndoIndex; }
  int32_t GetUndoBytes() const { return UndoBytes; }
  int32_t GetUndoMaxLevel() const { return UndoMaxLevel; }
  int32_t GetUndoMaxSpace() const { return UndoMaxSpace; }
  void SetUndoMaxLevel(int32_t N);
  void SetUndoMaxSpace(int32_t N);
  // Record I is undone and redone together with the record before it (the second
  // half of a drag-and-drop move).
  void MarkUndoGrouped(int32_t I) {
    if (I < 0 || I >= UndoCount()) throw EListError(ListIndexError);
    UndoList[static_cast<size_t>(I)].Grouped = true;
  }
  // The next edit opens a new undo record (a click, a caret move, a paste).
  void BreakUndoGroup() { UndoGroupBreak = true; }

  // ---- column blocks, pastes, drag-and-drop and line selection (PelMemoBlocks.cpp)
  // The text of the column block, every row ending in CR LF; empty unless a block
  // is active and the selection is not empty.
  std::string GetBlockText();
  // Selects the block from paragraph Par1 at Column1 to paragraph Par2 at Column2
  // (the caret's end); nothing happens with WordWrap.
  void SelectBlock(int32_t Column1, int32_t Par1, int32_t Par2, int32_t Column2);
  // Inserts Text at the caret, as a column at display column Column (-1: the
  // caret's column) when AsBlock is set; a paste is always an undo record of its
  // own, a column one record per row. Kept selections are handled here.
  void PasteText(std::string_view Text, bool AsBlock, int32_t Column = -1);
  // A column paste without the framing of PasteText.
  void PasteBlockText(std::string_view Text, int32_t Column);
  // Around an edit that must not overwrite the selection (pmoNoOverwriteBlocks).
  void SaveSelectionForPaste();
  void RestoreSelectionAfterPaste();
  // Drops the selected text at Drop: a move, or with Copy a copy, undone in one
  // step. A drop inside the selection only puts the caret there; false then.
  bool DropSelection(int32_t Drop, bool Copy);
  // Selects whole display lines from FromLine (the anchor) to ToLine (the caret's end),
  // with the paragraph break after a paragraph's last line.
  void SelectLines(int32_t FromLine, int32_t ToLine);
  // The text that the Tab key inserts with pmoSmartTabs.
  std::string SmartTabBlanks();
  // The blanks that follow a paragraph break typed with pmoAutoIndent.
  std::string AutoIndentText();
  // Where Backspace inside leading blanks reaches back to with pmoBackIndent
  // (-1: not inside leading blanks).
  int32_t BackIndentStart();
  // Columns of the selection (in one paragraph, the caret at its end) beyond one
  // a character, that is those of its tabs: what a Backspace that deletes it takes
  // from the caret's column.
  int32_t LostColumns();
  // Columns of a run of blanks (a TAB counts TabStops, or 1 when not positive).
  int32_t IndentColumns(std::string_view Blanks) const;
  // The caret may stand apart from a kept selection (pmoPersistentBlocks); this
  // is where it stands.
  TPelNavigator& CaretPosNav() { return CaretApart ? *PasteAnchorNav : *CaretNav; }
  int32_t GetCaretPos() { return CaretPosNav().Pos; }
  bool IsCaretApart() const { return CaretApart; }
  // Puts the caret at Pos and keeps the selection as it is.
  void PlaceCaretApart(int32_t Pos);
  // The column of the caret in its paragraph (tabs expanded, codes taking no room).
  int32_t CaretParColumn();

  // ---- settings
  bool GetStaticFormat() const { return Paragraphs.StaticFormat; }
  void SetStaticFormat(bool On);
  bool HasOption(uint32_t O) const { return (Options & O) != 0; }
  void SetOptions(uint32_t O);
  uint32_t GetOptions() const { return Options; }
  std::string GetSeparators() const;
  void SetSeparators(std::string_view S);
  bool IsSeparator(char C) const { return Separators.test(static_cast<unsigned char>(C)); }

  // ---- layout facts that the formatter, the navigator, the painting and the scrolling share
  // Whether a paragraph may have several display lines: with word wrap, and with
  // right or centred text, which always wraps at the wrap width.
  bool LinesWrap() const { return WordWrap || Alignment != TAlignment::taLeftJustify; }
  // Where display line L of paragraph P starts and how its blanks widen: justified
  // lines (all but a paragraph's last) are stretched over the area from the left
  // margin, others are placed by the alignment.
  TLineSpread LineSpread(const TParagraph& P, const LineInfo& L) const;

  // ---- highlighting and in-text style codes (PelMemoParse.cpp)
  // Start/stop contexts of every paragraph up to I.
  void ParseAttributesTo(int32_t I);
  // Keyword pass over the paragraphs between two positions (their regions are
  // rebuilt first, since the keyword records lie among them).
  void ParseParagraphs(TPelNavigator& From, TPelNavigator& To);
  // Start/stop pass over the paragraphs between two positions; a change of the
  // style carried out of the last one marks the next paragraph for parsing.
  // EndStyle (when given) receives the style in effect at the end.
  void ReparseRange(TPelNavigator& From, TPelNavigator& To, TStyleRecord* EndStyle = nullptr);
  // Count upper-cased characters of paragraph Par from Index, from a cache.
  const char* GetUpperText(int32_t Par, int32_t Index, int32_t Count);
  void SetHighlighter(TPelHighlighter* H);
  void SetUpperCaseType(TpmUpperCase Mode);
  TpmUpperCase GetUpperCaseType() const { return UpperCaseType; }
  // Lays the whole text out again (and parses it again) by need.
  void ResetFormatting();
  // Puts code C around the selection (only with StaticFormat).
  void ToggleStyleCode(char C);
  // Deletes pairs of equal codes with only codes between them in paragraph Par.
  void CancelCodePairs(int32_t Par);
  // A click at Pos on a highlight with a context number: remembers the context,
  // tells ChangeHooks (flag 8, or 16 for the right button), fires OnContext and
  // returns true.
  bool ClickContext(int32_t Pos, bool RightButton = false);
  // The context number of the last such click (0 before any).
  int32_t GetLastContext() const { return LastContext; }
  bool HighlightingActive() const;

  TKeywordList Keywords;
  TStartStopKeyList StartStopKeys;
  TPelHighlighter* Highlighter = nullptr;
  bool ApplyKeyWords = true;
  bool ApplyStartStopKeys = true;
  std::function<void(TPelMemoCore&, int32_t Context, int32_t StartOffset, int32_t StopOffset)> OnContext;

  TParagraphsList Paragraphs;
  std::vector<TPelNavigator*> Navigators;

  TPelMemoHost* Host = nullptr;
  int32_t TabStops = 8;
  bool WordWrap = true;
  TAlignment Alignment = TAlignment::taLeftJustify;
  bool Justified = false;
  int32_t LeftMargin = 8;
  int32_t RightMargin = 8;
  int32_t ColumnWrap = 0;
  TPelLineBreak LineBreak = TPelLineBreak::pbCRLF;
  char NullReplacement = '\0';
  uint32_t ProgressInterval = 300;
  bool Modified = false;
  // Geometry that the window keeps up to date.
  int32_t ClientWidth = 100;
  int32_t LineHeight = 16;
  int32_t TopOffset = 0;
  int32_t HorzOffset = 0;
  int32_t VertOffset = 0;
  int32_t AvgCharWidth = 1;
  int32_t ExtentChunk = 256;
  // Column block and virtual caret column.
  bool BlockActive = false;
  int32_t BlockStartColumn = 0;
  int32_t BlockStopColumn = 0;
  int32_t VirtualColumn = 0;
  // The caret's x kept for moves up and down (NoCaretX: none). A caret put
  // anywhere by SetSelStart, and every edit, forget it.
  static constexpr int32_t NoCaretX = INT32_MIN;
  int32_t RememberedX = NoCaretX;

  std::function<void(TPelMemoCore&)> OnChange;

  // ---- observers and messages (PelMemoHooks)
  TPelMemoHooks MessageHooks, ChangeHooks;
  // Messages of this memo being handled at the moment.
  int32_t MessageNesting = 0;
  // The message in hand, as MessageHooks see it before and after its handling.
  TMemoMessage Message;
  // Sends the memo a message of its own. Without a window it is dispatched with
  // nothing to handle it, so that MessageHooks see it; the window handles it as an event.
  virtual void SendMemoMessage(uint32_t Msg, intptr_t WParam = 0, intptr_t LParam = 0);
  std::function<void(TPelMemoCore&, const char*&)> OnBeforeChange;
  std::function<void(TPelMemoCore&, int32_t, int32_t)> OnParse;
  std::function<void(TPelMemoCore&)> OnProgress;

  // Selection ends: SelStartNav never after SelEndNav; the caret is one of them.
  std::unique_ptr<TPelNavigator> SelStartNav;
  std::unique_ptr<TPelNavigator> SelEndNav;
  TPelNavigator* CaretNav = nullptr;

 protected:
  bool OwnNavigator(const TPelNavigator* N) const {
    return N == SelStartNav.get() || N == SelEndNav.get() || N == PasteAnchorNav.get() || N == KeptStartNav.get() ||
           N == KeptEndNav.get();
  }
  void PutSelection(int32_t Anchor, int32_t Other);
  void RecordUndo(int32_t OldStart, int32_t& OpenRecord);
  void TrimUndoSpace(int32_t& OpenRecord);
  void DeleteUndoRecordTracked(int32_t I, int32_t& OpenRecord);
  void AdjustNavigators(int32_t OldStart, int32_t OldEnd, int32_t OldEndPar, int32_t OldEndOffset, int32_t CharDelta,
                        int32_t ParDelta);

  uint32_t Options = pmoWrapCaret | pmoInsertKeyActive | pmoWideOverwriteCaret | pmoAutoScrollBars;
  std::bitset<256> Separators;
  int32_t SelLength = 0;
  int32_t UpdateCount = 0;

  std::vector<TUndoRecord> UndoList;
  int32_t UndoIndex = 0;
  int32_t UndoBytes = 0;
  int32_t UndoMaxLevel = 1024;
  int32_t UndoMaxSpace = 65536;
  bool InUndo = false;
  bool UndoGroupBreak = false;
  bool KeepCodes = false;

  // The caret apart from the selection, and a selection kept across a paste.
  std::unique_ptr<TPelNavigator> PasteAnchorNav;
  bool CaretApart = false;
  std::unique_ptr<TPelNavigator> KeptStartNav, KeptEndNav;
  bool KeptCaretAtStart = true;
  bool KeptBlock = false;
  int32_t KeptColumn1 = 0, KeptColumn2 = 0;  // block columns relative to the ends' columns

  // Highlighting state (PelMemoParse.cpp).
  void ParseParagraph(int32_t I, bool Keywords);
  TStyleRecord ScanRegions(int32_t I);
  void ScanKeywords(int32_t I);
  void ReparseAfterEdit(int32_t Par);
  void CancelCodePairsAfterEdit(int32_t From, int32_t To);
  void MarkPending(int32_t Par);
  TpmUpperCase UpperCaseType = TpmUpperCase::pmuAscii;
  bool NoCodePairCleanup = false;
  int32_t LastContext = 0;
  int32_t UpperPar = -1;  // paragraph of the upper-case cache
  int32_t UpperStart = 0;
  std::string UpperText;
};
