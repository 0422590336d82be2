#pragma once
// What the memo's keys and mouse mean, decided without Qt: keys arrive as
// virtual-key codes with a shift state, characters as Latin-1 codes; the window
// carries the decisions out. Also the automatic scrolling beyond the window's edges.
#include <cstdint>

// Virtual-key codes of the keys the memo knows.
namespace vk {
inline constexpr uint16_t Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18, Prior = 33, Next = 34,
                          End = 35, Home = 36, Left = 37, Up = 38, Right = 39, Down = 40, Insert = 45, Delete = 46;
// Letters are their capitals' codes ('A' .. 'Z').
}  // namespace vk

// Shift state of a key or a mouse event.
using TShiftState = uint8_t;
inline constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64;

// The memo's state that the decisions read.
struct TMemoInputState {
  uint32_t Options = 0;
  bool ReadOnly = false;
  bool DisplayOnly = false;
  bool EnableHotKeys = true;
  bool WordWrap = false;
  bool BlockActive = false;
  bool HasSelection = false;
  bool Dragging = false;
  int32_t UpdateCount = 0;
};

enum class TKeyAction : uint8_t {
  None,         // not the memo's key: left to key press (or to the window)
  Ignore,       // consumed, nothing happens
  PassOn,       // handed on to the window (Alt+Tab and the like)
  Undo,
  Redo,
  InsertTab,        // Ctrl+T
  InsertPageBreak,  // Ctrl+P: CR LF, character 16, CR LF
  ToggleStyle,      // Ctrl+B, I, U, H, F: a style code around the selection (Code)
  Backspace,
  Delete,
  CutSelection,      // Shift+Delete with a selection
  ExtendToLineEnd,   // Ctrl+Delete (when the selection lies inside one display line)
  Paste,             // Shift+Insert
  Copy,              // Ctrl+Insert
  ToggleOverwrite,   // Insert with pmoInsertKeyActive
  Left,
  Right,
  Up,
  Down,
  Home,
  End,
  PageUp,
  PageDown,
  // DisplayOnly: the keys only scroll.
  ScrollPageUp,
  ScrollPageDown,
  ScrollLineUp,
  ScrollLineDown,
  ScrollHome,
  ScrollEnd,
  ScrollLeft,
  ScrollRight,
};

struct TKeyDecision {
  TKeyAction Action = TKeyAction::None;
  bool Ctrl = false;        // word or text-wide variant
  bool Extend = false;      // Shift: the selection grows or shrinks from its anchor
  bool StartBlock = false;  // Shift+Alt+arrow: a column block starts at the caret column first
  // Without Shift: the selection stays (pmoPersistentBlocks) instead of collapsing.
  bool KeepSelection = false;
  // Home and End end a column block (unless pmoPersistentBlocks), with Shift too:
  // theirs is not a block extension.
  bool EndBlock = false;
  uint8_t Code = 0;  // the style code of ToggleStyle
};

// Key down: the memo's own keys.
TKeyDecision DecideKeyDown(uint16_t Key, TShiftState Shift, const TMemoInputState& S);

enum class TCharAction : uint8_t { Ignore, Copy, CheckIntegrity, Tab, Enter, Paste, Cut, Type };

// Key press: a character (control characters as their codes).
TCharAction DecideKeyPress(unsigned char Ch, const TMemoInputState& S);
// True when a key press keeps the selection as a paste does (pmoNoOverwriteBlocks).
bool KeepsSelectionOnKeyPress(unsigned char Ch, const TMemoInputState& S);

// DisplayOnly scrolling: the new top line (vertical keys) or horizontal offset.
struct TDisplayScroll {
  bool Vertical = true;
  int32_t Target = 0;
};
TDisplayScroll DisplayOnlyScroll(TKeyAction Action, bool Ctrl, int32_t TopLine, int32_t VisibleLines, int32_t LineCount,
                                 int32_t HorzOffset, int64_t Widest, int32_t ClientWidth, int32_t RightMargin);

// Automatic scrolling while the button is down beyond an edge of the client area.
struct TAutoScrollStep {
  int32_t Dir = 0;  // 0 none, 1 up, 2 down, 3 left, 4 right
  int32_t Speed = 0;
};
// Dragging (drag-and-drop) scrolls only within 24 pixels beyond an edge (27 above).
TAutoScrollStep AutoScrollFor(int32_t X, int32_t Y, int32_t ClientWidth, int32_t ClientHeight, bool Dragging);
// Milliseconds between steps at a speed: 1 = 400 ... 7 = 30; 0 and above 7: none.
int32_t AutoScrollDelay(int32_t Speed);
// The point just beyond the edge that a step replays, so that the selection follows.
void AutoScrollReplayPoint(const TAutoScrollStep& Step, int32_t ClientWidth, int32_t ClientHeight, int32_t& X, int32_t& Y);
