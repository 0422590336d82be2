#include "memo/PelMemoInput.h"

#include <algorithm>

#include "memo/PelMemoCore.h"

TKeyDecision DecideKeyDown(uint16_t Key, TShiftState Shift, const TMemoInputState& S) {
  TKeyDecision d;
  if (S.UpdateCount > 0) {
    d.Action = TKeyAction::Ignore;
    return d;
  }
  const bool shift = Shift & ssShift, ctrl = Shift & ssCtrl, alt = Shift & ssAlt;
  d.Ctrl = ctrl;
  d.Extend = shift;
  d.KeepSelection = !shift && (S.Options & pmoPersistentBlocks);

  if (S.DisplayOnly) {
    switch (Key) {
      case vk::Prior: d.Action = TKeyAction::ScrollPageUp; break;
      case vk::Next: d.Action = TKeyAction::ScrollPageDown; break;
      case vk::Up: d.Action = TKeyAction::ScrollLineUp; break;
      case vk::Down: d.Action = TKeyAction::ScrollLineDown; break;
      case vk::Home: d.Action = TKeyAction::ScrollHome; break;
      case vk::End: d.Action = TKeyAction::ScrollEnd; break;
      case vk::Left: d.Action = TKeyAction::ScrollLeft; break;
      case vk::Right: d.Action = TKeyAction::ScrollRight; break;
      default: break;
    }
    return d;
  }

  // Hot keys.
  if (ctrl && !alt && !S.ReadOnly && S.EnableHotKeys) {
    switch (Key) {
      case 'T': d.Action = TKeyAction::InsertTab; return d;
      case 'P': d.Action = TKeyAction::InsertPageBreak; return d;
      case 'Z': d.Action = shift ? TKeyAction::Redo : TKeyAction::Undo; return d;
      case 'B': d.Code = 2; break;
      case 'I': d.Code = 1; break;
      case 'U': d.Code = 21; break;
      case 'H': d.Code = 3; break;
      case 'F': d.Code = 4; break;
      default: break;
    }
    if (d.Code != 0) {
      d.Action = TKeyAction::ToggleStyle;
      return d;
    }
  }
  if (Key > 47) return d;  // left to key press

  const bool blockKeys = (S.Options & pmoBlockSelection) && !S.WordWrap;
  switch (Key) {
    case vk::Back:
      d.Action = S.ReadOnly ? TKeyAction::Ignore : TKeyAction::Backspace;
      break;
    case vk::Tab:
      if (alt) d.Action = TKeyAction::PassOn;
      break;
    case vk::Prior:
    case vk::Next:
      if (!alt) d.Action = Key == vk::Prior ? TKeyAction::PageUp : TKeyAction::PageDown;
      break;
    case vk::Home:
    case vk::End:
      if (!alt) {
        d.Action = Key == vk::Home ? TKeyAction::Home : TKeyAction::End;
        d.EndBlock = !(S.Options & pmoPersistentBlocks);
      }
      break;
    case vk::Left:
    case vk::Right:
    case vk::Up:
    case vk::Down: {
      bool block = S.BlockActive;
      if (shift && alt && blockKeys && !block) {
        d.StartBlock = true;
        block = true;
      }
      if (alt && !block) break;
      d.Action = Key == vk::Left    ? TKeyAction::Left
                 : Key == vk::Right ? TKeyAction::Right
                 : Key == vk::Up    ? TKeyAction::Up
                                    : TKeyAction::Down;
      break;
    }
    case vk::Insert:
      if (shift)
        d.Action = S.ReadOnly ? TKeyAction::Ignore : TKeyAction::Paste;
      else if (ctrl)
        d.Action = TKeyAction::Copy;
      else if (S.Options & pmoInsertKeyActive)
        d.Action = TKeyAction::ToggleOverwrite;
      else
        d.Action = TKeyAction::Ignore;
      break;
    case vk::Delete:
      if (S.ReadOnly)
        d.Action = TKeyAction::Ignore;
      else if (shift && S.HasSelection)
        d.Action = TKeyAction::CutSelection;
      else if (ctrl && S.HasSelection)
        d.Action = TKeyAction::ExtendToLineEnd;
      else
        d.Action = TKeyAction::Delete;
      break;
    default: break;
  }
  return d;
}

TCharAction DecideKeyPress(unsigned char Ch, const TMemoInputState& S) {
  if (S.UpdateCount > 0 || S.Dragging || S.DisplayOnly) return TCharAction::Ignore;
  if (S.ReadOnly) return Ch == 3 ? TCharAction::Copy : TCharAction::Ignore;
  switch (Ch) {
    case 3: return TCharAction::Copy;
    case 5: return TCharAction::CheckIntegrity;
    case 9: return TCharAction::Tab;
    case 13: return TCharAction::Enter;
    case 22: return TCharAction::Paste;
    case 24: return TCharAction::Cut;
    default: break;
  }
  if (Ch < 32 || Ch == 127) return TCharAction::Ignore;
  return TCharAction::Type;
}

bool KeepsSelectionOnKeyPress(unsigned char Ch, const TMemoInputState& S) {
  return (S.Options & pmoNoOverwriteBlocks) && Ch != 3 && Ch != 22 && Ch != 24;
}

TDisplayScroll DisplayOnlyScroll(TKeyAction Action, bool Ctrl, int32_t TopLine, int32_t VisibleLines, int32_t LineCount,
                                 int32_t HorzOffset, int64_t Widest, int32_t ClientWidth, int32_t RightMargin) {
  TDisplayScroll r;
  const int32_t lastPage = std::max(LineCount - VisibleLines + 1, 0);
  const int32_t far = static_cast<int32_t>(std::max<int64_t>(Widest - ClientWidth + RightMargin, 0));
  const int32_t step = ClientWidth / 5 + 1;
  switch (Action) {
    case TKeyAction::ScrollPageUp: r.Target = Ctrl ? 0 : std::max(TopLine - VisibleLines + 1, 0); break;
    case TKeyAction::ScrollPageDown: r.Target = Ctrl ? lastPage : std::min(lastPage, TopLine + VisibleLines - 1); break;
    case TKeyAction::ScrollLineUp: r.Target = std::max(TopLine - 1, 0); break;
    case TKeyAction::ScrollLineDown: r.Target = std::max(0, std::min(TopLine + 1, lastPage)); break;
    case TKeyAction::ScrollHome:
      r.Vertical = false;
      r.Target = 0;
      break;
    case TKeyAction::ScrollEnd:
      r.Vertical = false;
      r.Target = far;
      break;
    case TKeyAction::ScrollLeft:
      r.Vertical = false;
      r.Target = std::max(0, std::min(far, HorzOffset - step));
      break;
    case TKeyAction::ScrollRight:
      r.Vertical = false;
      r.Target = std::max(0, std::min(far, HorzOffset + step));
      break;
    default:
      r.Target = TopLine;
      break;
  }
  return r;
}

TAutoScrollStep AutoScrollFor(int32_t X, int32_t Y, int32_t ClientWidth, int32_t ClientHeight, bool Dragging) {
  TAutoScrollStep s;
  const bool xOutside = X < -3 || X > ClientWidth + 3;
  if (Y < -3 && !xOutside) {
    s.Dir = 1;
    s.Speed = -Y / 3;
    if (Dragging && Y < -27) s.Dir = 0;
  } else if (Y > ClientHeight && !xOutside) {
    s.Dir = 2;
    s.Speed = (Y - ClientHeight) / 3;
    if (Dragging && Y > ClientHeight + 24) s.Dir = 0;
  } else if (X < 0) {
    s.Dir = 3;
    s.Speed = -X / 3;
    if (Dragging && X < -24) s.Dir = 0;
  } else if (X > ClientWidth) {
    s.Dir = 4;
    s.Speed = (X - ClientWidth) / 3;
    if (Dragging && X > ClientWidth + 24) s.Dir = 0;
  }
  if (s.Dir == 0) s.Speed = 0;
  return s;
}

int32_t AutoScrollDelay(int32_t Speed) {
  static const int32_t delays[] = {0, 400, 300, 200, 130, 78, 48, 30};
  return Speed >= 1 && Speed <= 7 ? delays[Speed] : 0;
}

void AutoScrollReplayPoint(const TAutoScrollStep& Step, int32_t ClientWidth, int32_t ClientHeight, int32_t& X, int32_t& Y) {
  const int32_t beyond = 3 * Step.Speed;
  switch (Step.Dir) {
    case 1: Y = -beyond - 1; break;
    case 2: Y = ClientHeight + beyond; break;
    case 3: X = -beyond - 1; break;
    case 4: X = ClientWidth + beyond; break;
    default: break;
  }
}
