// The keys of the memo's window: Qt's keys, modifiers and the memo's state in the
// terms of the memo's key and character decisions (PelMemoInput), and those
// decisions carried out.
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <algorithm>

#include "memo/PelMemoWidget.h"

// ---- Qt's keys in the memo's terms ----------------------------------------------------

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
    case Qt::ImCursorRectangle: return ShownCaretRect();
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
        // At a wrapped line's end the caret stays on that line.
        TPelNavigator at(Paragraphs);
        at.Memo = this;
        at.Assign(e);
        at.SetLineOffset(lastLine ? GetParLength(p) - l.Start : l.Stop - l.Start);
        const int32_t start = SelStartNav->Pos;
        SetSelStart(at.Pos);
        SetSelLength(start - at.Pos);
        KeepCaretLine(at);
        break;
      }
      [[fallthrough]];
    }
    case TKeyAction::Delete: {
      const int32_t virt = VirtualColumn;
      const bool keep = HasOption(pmoNoOverwriteBlocks) && SelLength != 0;
      if (keep) SaveSelectionForPaste();
      if (SelLength == 0) BlockActive = false;  // an empty block selects nothing
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
      if (SelLength == 0) BlockActive = false;  // an empty block selects nothing
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
      // Columns that the deleted text took beyond one a character (those of its
      // tabs) are lost to the caret; with pmoKeepColumnPos it keeps them as
      // virtual columns and stays where it stood.
      const int32_t lost = HasOption(pmoKeepColumnPos) && !WordWrap && !keep ? LostColumns() : 0;
      ClearSelection();
      if (keep) RestoreSelectionAfterPaste();
      if (lost > 0) VirtualColumn = lost;
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
      // The block starts at the caret's column, virtual columns included.
      const int32_t virt = VirtualColumn;
      SetSelStart(GetCaretPos());
      VirtualColumn = virt;
      UpdateCaret();
      BlockStartColumn = BlockStopColumn = CaretBlockColumn();
    }
    BlockActive = true;
  }
  bool block = BlockActive && !D.EndBlock;
  TPelNavigator& c = CaretPosNav();
  const int32_t from = c.Pos;
  // Where the caret goes: a position, or (Up, Down, the Page keys, Home and End) a
  // place on a display line that the caret keeps, also at the line's end where it wraps.
  TPelNavigator to(this);  // registered: it follows the layouts on the way
  to.Assign(c);
  int32_t virt = 0;
  bool keepRemembered = false;
  const int32_t avg = std::max(1, AvgCharWidth);
  switch (D.Action) {
    case TKeyAction::Left:
    case TKeyAction::Right: {
      RememberedX = NoCaretX;
      // Without Shift the step starts from the caret (the selection collapses
      // there after the move); a column block ends first, for Left unless block
      // selection is on, for Right unless blocks persist.
      if (!D.Extend && !HasOption(D.Action == TKeyAction::Left ? pmoBlockSelection : pmoPersistentBlocks)) block = false;
      TPelNavigator n(Paragraphs);
      n.Memo = this;
      n.SetPos(from);
      const TParagraph& par = *c.GetPar();
      const int32_t len = GetParLength(par);
      int32_t off = c.GetParOffset();
      // A step is one visible character: with PassOverCodes the codes next to the
      // caret on its way are passed first, and those beyond the character after it.
      const bool passCodes = PassOverCodes && GetStaticFormat() && !D.Ctrl && VirtualColumn == 0;
      auto codeAt = [&](int32_t O) { return IsStyleCode(static_cast<unsigned char>(GetParChars(par)[O])); };
      if (passCodes && D.Action == TKeyAction::Left)
        while (off > 0 && off <= len && codeAt(off - 1)) --off;
      if (passCodes && D.Action == TKeyAction::Right)
        while (off < len && codeAt(off)) ++off;
      const int32_t at = from + off - c.GetParOffset();  // where the step starts
      if (D.Action == TKeyAction::Left) {
        if (at == 0 && VirtualColumn == 0) {
          // Nothing to move to: the key goes on to the window, a selection collapses.
          if (!D.Extend && !D.KeepSelection && SelLength != 0) MoveCaret(from, false);
          return false;
        }
        if (D.Ctrl) {
          n.PrevWord();
        } else if (VirtualColumn > 0) {
          virt = VirtualColumn - 1;
        } else if (off == 0) {
          n.SetPos(at - 2);
        } else if (HasOption(pmoDiscardTrailingSpaces) && !block && (GetParChars(par)[off - 1] == ' ' || GetParChars(par)[off - 1] == '\t')) {
          // A run of blanks before the caret is passed in one step.
          const char* t = GetParChars(par);
          int32_t o = off;
          while (o > 0 && (t[o - 1] == ' ' || t[o - 1] == '\t')) --o;
          n.SetPos(par.StartPos + o);
        } else {
          n.SetPos(at - 1);
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
          n.SetPos(std::min(GetTextLength(), at + 2));
        } else {
          n.SetPos(at + 1);
          if (PassOverCodes && GetStaticFormat())
            while (n.GetParOffset() < len && IsStyleCode(static_cast<unsigned char>(GetCharAt(n.Pos)))) n.SetPos(n.Pos + 1);
          if (HasOption(pmoDiscardTrailingSpaces) && !block) {
            const char* t = GetParChars(par);
            while (n.GetParOffset() < len && (t[n.GetParOffset()] == ' ' || t[n.GetParOffset()] == '\t')) n.SetPos(n.Pos + 1);
          }
        }
      }
      to.SetPos(n.Pos);
      break;
    }
    case TKeyAction::Up:
    case TKeyAction::Down: {
      const int32_t line = c.GetLineIndex();
      if (D.Action == TKeyAction::Up && line == 0) return false;
      if (D.Action == TKeyAction::Down && line >= GetDisplayLineCount() - 1) return true;
      if (RememberedX == NoCaretX) RememberedX = CaretX;
      NavToCaretLineX(to, D.Action == TKeyAction::Up ? -1 : 1, RememberedX);
      if ((HasOption(pmoKeepColumnPos) || block) && !WordWrap) virt = std::max(RememberedX - to.GetXOnLine(), 0) / avg;
      keepRemembered = true;
      break;
    }
    case TKeyAction::Home:
    case TKeyAction::End: {
      RememberedX = NoCaretX;
      if (D.Ctrl) {
        to.SetPos(D.Action == TKeyAction::Home ? 0 : GetTextLength());
      } else {
        const LineInfo l = *to.GetLinesList().GetLine(to.GetParLineIndex());
        to.SetLineOffset(D.Action == TKeyAction::End ? l.Stop - l.Start : 0);
      }
      break;
    }
    case TKeyAction::PageUp:
    case TKeyAction::PageDown: {
      FormatPageAway(D.Action == TKeyAction::PageUp);
      const int32_t v = VisibleLines();
      const bool up = D.Action == TKeyAction::PageUp;
      const bool inWindow = CaretY >= 0 && CaretY < viewport()->height();
      if (RememberedX == NoCaretX) RememberedX = CaretX;
      // The lines a page away are laid out before the target is counted.
      NavToCaretLineX(to, up ? 1 - v : v - 1, RememberedX);
      if (!D.Ctrl && inWindow) {
        const int32_t lines = GetDisplayLineCount();
        const int32_t y = up ? std::max(VertOffset - (v - 1) * LineHeight, 0)
                             : std::min(VertOffset + (v - 1) * LineHeight, std::max(0, (lines - 1) * LineHeight));
        ScrollTo(y, HorzOffset, ScrollTime);
      }
      keepRemembered = true;
      break;
    }
    default: return true;
  }
  const int32_t rem = RememberedX;
  const int32_t target = to.Pos;
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
    BlockActive = block;
    PlaceCaretApart(target);
  } else {
    BlockActive = false;
    MoveCaret(target, false);
  }
  KeepCaretLine(to);
  VirtualColumn = virt;
  RememberedX = keepRemembered ? rem : NoCaretX;
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
        if (HasOption(pmoSmartTabs)) {
          SelectionOutOfBreak();
          SetSelText(GetSelText() + SmartTabBlanks());
        } else {
          SetSelText("\t");  // inserted, in overwrite mode too
        }
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
