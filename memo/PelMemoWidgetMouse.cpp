// The mouse in the memo's window: positions from points, the cursors, clicks,
// line selection, column blocks, drag-and-drop, automatic scrolling beyond the
// edges (both ended when the focus goes), word selection, context clicks and the
// default context menu.
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <algorithm>

#include "memo/PelMemoWidget.h"
#include "platform/Clipboard.h"

// ---- positions from the mouse -----------------------------------------------------------

void TPelMemo::DropPointTo(int32_t X, int32_t Y) {
  // The caret stands apart from the dragged selection, on the line under the mouse
  // even at that line's end.
  TPelNavigator at(Paragraphs);
  at.Memo = this;
  NavFromPoint(at, X, Y);
  PlaceCaretApart(at.Pos);
  KeepCaretLine(at);
}

int32_t TPelMemo::PosFromPoint(int32_t X, int32_t Y) {
  TPelNavigator nav(Paragraphs);
  nav.Memo = this;
  NavFromPoint(nav, X, Y);
  return nav.Pos;
}

void TPelMemo::NavFromPoint(TPelNavigator& Nav, int32_t X, int32_t Y) {
  if (Y + VertOffset < 0) {
    NavToLineX(Nav, 0, X);
    return;
  }
  // The line is counted after its paragraph is laid out (which may move the view
  // to keep the text at its top).
  const int32_t lh = std::max(1, LineHeight);
  EnsureLinesFormatted((VertOffset + Y) / lh, (VertOffset + Y) / lh);
  const int32_t line = (VertOffset + Y) / lh;
  if (line >= GetDisplayLineCount())
    Nav.SetPos(GetTextLength());
  else
    NavToLineX(Nav, line, X);
}

bool TPelMemo::AtLineStop(TPelNavigator& Nav) {
  return Nav.GetParOffset() >= static_cast<int32_t>(Nav.GetLinesList().GetLine(Nav.GetParLineIndex())->Stop);
}

int32_t TPelMemo::ColumnsBeyond(TPelNavigator& Nav, int32_t X) const {
  return std::max(X - Nav.GetXOnLine(), 0) / std::max(1, AvgCharWidth);
}

// ---- cursors ------------------------------------------------------------------------------

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

void TPelMemo::SetMouseCursor(const QCursor& C) { viewport()->setCursor(C); }

void TPelMemo::RestoreMouseCursor() { viewport()->setCursor(Qt::IBeamCursor); }

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
  TPelNavigator at(Paragraphs);
  at.Memo = this;
  NavFromPoint(at, pt.x(), pt.y());
  MouseDownPos = at.Pos;
  RememberedX = NoCaretX;
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
    } else if (GetLineSelectAnchor() >= 0) {
      // The line is selected from its start, where the caret stays (a drag then
      // moves the other end).
      const int32_t anchor = GetLineSelectAnchor();
      SelectLines(anchor, anchor);
      const int32_t from = SelStartNav->Pos, to = SelEndNav->Pos;
      SetSelStart(from);
      SetSelLength(to - from);
    } else {
      MoveCaret(at, shift);
      BlockActive = (E->modifiers() & Qt::AltModifier) && HasOption(pmoBlockSelection) && !WordWrap;
      if (HasOption(pmoKeepColumnPos) || BlockActive) {
        // Beyond the line end or on a tab the caret stands where the click was.
        const TParagraph& par = *CaretNav->GetPar();
        const int32_t off = CaretNav->GetParOffset();
        const bool onTab = off < GetParLength(par) && GetParChars(par)[off] == '\t';
        if (AtLineStop(*CaretNav) || onTab) VirtualColumn = ColumnsBeyond(at, pt.x());
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
      // Held at the line's start, so that it names the same text whatever is laid out meanwhile.
      if (!LineSelectAnchor) LineSelectAnchor = std::make_unique<TPelNavigator>(this);
      LineSelectAnchor->SetLineIndex(line);
      OverSelection = false;
      SetMouseCursor(RightArrowCursor());
      return;
    }
    LineSelectAnchor.reset();
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
    DropPointTo(pt.x(), pt.y());
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
    DropPointTo(std::max(0, std::min(x, viewport()->width() - 1)), std::max(0, std::min(y, viewport()->height() - 1)));
  } else {
    DragTo(QPoint(x, y));
  }
}

void TPelMemo::DragTo(QPoint pt) {
  // Only the selection's moving end follows the mouse; the view moves by the
  // automatic scrolling's steps alone (and into the caret when the button goes up).
  Rapid = true;
  if (GetLineSelectAnchor() >= 0) {
    // Whole display lines from the anchor's to the hovered one.
    const int32_t line = std::max(0, (VertOffset + pt.y()) / std::max(1, LineHeight));
    SelectLines(GetLineSelectAnchor(), std::min(line, GetDisplayLineCount() - 1));
    UpdateCaret();
    viewport()->update();
    Rapid = false;
    return;
  }
  TPelNavigator at(Paragraphs);
  at.Memo = this;
  NavFromPoint(at, pt.x(), pt.y());
  int32_t pos = at.Pos;
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
    MoveCaret(at, true);
  }
  if (block) {
    BlockActive = true;
    // Columns beyond the line end only: over a tab the block ends at the tab.
    VirtualColumn = AtLineStop(at) ? ColumnsBeyond(at, pt.x()) : 0;
    UpdateCaret();
    // The block ends at the caret's column, as the keys end it (the mouse may be up
    // to half a character short of the caret).
    BlockStopColumn = CaretBlockColumn();
  }
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
    // The memo may have become read-only while the button was down: no drop then.
    if (!DragOutside && !ReadOnly && !DisplayOnly) {
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

int32_t TPelMemo::WordEdge(int32_t Pos, bool Forward) {
  TPelNavigator n(Paragraphs);
  n.Memo = this;
  n.SetPos(std::max(0, std::min(Pos, GetTextLength())));
  if (Forward)
    n.WordEnd();
  else
    n.WordStart();
  return n.Pos;
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
  if (E->reason() == QContextMenuEvent::Mouse && ClickContext(PosFromPoint(E->pos().x(), E->pos().y()), true)) return;
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

