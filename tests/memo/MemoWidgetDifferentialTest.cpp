// The memo against itself, with no expected value written by hand: an edited memo
// against the same text loaded afresh into a new memo with the same properties; a
// memo that lays its text out later (on need, in the background) against one that
// lays it out at once; and where the caret is drawn against where its navigator
// says it is. Each side is the other's oracle; the random sequences have fixed seeds.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "memo/PelMemoWidget.h"
#include "memo/PelStream.h"
#include "platform/Clipboard.h"
#include "platform/Prompts.h"
#include "tests/memo/MemoTestFont.h"
#include "tests/memo/MemoWidgetFixture.h"

namespace {

// The properties a memo is given before its text.
struct TSetup {
  bool Wrap = true;
  int32_t ColumnWrap = 0;
  TAlignment Align = TAlignment::taLeftJustify;
  bool Justified = false;
  bool Codes = false;
  bool Keywords = false;
  TScrollStyle Bars = TScrollStyle::ssBoth;
  TpmUpdateMode Mode = TpmUpdateMode::umImmediate;
  uint32_t ExtraOptions = 0, ClearOptions = 0;
  int32_t LeftMargin = 8, TabStops = 8, AltPoints = 16, Height = 300;
  std::string Describe() const {
    std::ostringstream s;
    s << "wrap " << Wrap << " column " << ColumnWrap << " align " << int(Align) << " justified " << Justified << " codes "
      << Codes << " keywords " << Keywords << " mode " << int(Mode) << " bars " << int(Bars) << " options +" << ExtraOptions
      << " -" << ClearOptions << " margin " << LeftMargin << " tabs " << TabStops << " alt " << AltPoints;
    return s.str();
  }
};

void SetKeywords(TPelMemo& M, bool On) {
  M.Keywords.Clear();
  M.StartStopKeys.Clear();
  if (!On) return;
  M.Keywords.AddKeyword("kw", Colored(1, 0xFF0000, NoColor, 1));
  M.Keywords.AddKeyword("big", Colored(2, 0x0000FF));
  M.StartStopKeys.AddKey("/*", "*/", false, NoColor, 0x00C000, 0, 3, 0, 0);
}

// A memo given S's properties, then Text. Clock (when given) is the memo's clock from
// before the text, so that no background slice runs on the real one. The selection
// is painted whether or not the memo has the focus, so that pictures can be compared.
std::unique_ptr<TPelMemo> MakeMemo(const TSetup& S, const std::string& Text, std::function<uint32_t()> Clock = {}) {
  auto setup = [&](TPelMemo& m) {
    if (Clock) m.Clock = Clock;
    m.SetHideSelection(false);
    m.SetAltFont(MemoTestPropFont(S.AltPoints));
    m.SetLeftMargin(S.LeftMargin);
    m.SetTabStops(S.TabStops);
    m.SetUpdateMode(S.Mode);
    m.SetScrollBars(S.Bars);
    m.SetWordWrap(S.Wrap);
    m.SetColumnWrap(S.ColumnWrap);
    m.SetAlignment(S.Align);
    m.SetJustified(S.Justified);
    m.SetOptions((m.GetOptions() | S.ExtraOptions) & ~S.ClearOptions);
    if (S.Codes) m.SetStaticFormat(true);
    SetKeywords(m, S.Keywords);
  };
  auto m = ShownMemo(setup, Text, QSize(400, S.Height));
  m->setFocus();
  QApplication::processEvents();
  return m;
}


void Key(TPelMemo& M, int K, Qt::KeyboardModifiers Mods = Qt::NoModifier, const QString& Text = {}) {
  QKeyEvent e(QEvent::KeyPress, K, Mods, Text);
  QApplication::sendEvent(&M, &e);
}

void Mouse(TPelMemo& M, QEvent::Type T, QPoint P, Qt::MouseButtons Buttons, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
  QMouseEvent e(T, QPointF(P), M.viewport()->mapToGlobal(QPointF(P)), Qt::LeftButton, Buttons, Mods);
  QApplication::sendEvent(M.viewport(), &e);
}

// What a laid-out memo shows, in terms that do not depend on how it got there.
struct TShown {
  std::vector<std::string> Pars;
  std::vector<std::vector<std::vector<int32_t>>> Lines;  // per line: start, stop, width, full width, style
  std::vector<int32_t> StartStyles;
  std::vector<bool> Formatted;
  std::vector<std::vector<std::vector<int32_t>>> Attrs;  // per record: offset, colours, key value
  std::vector<std::vector<int32_t>> XLine;              // per position: x (unscrolled), display line
  int32_t TotalLines = 0;
  int32_t HorzMax = 0, VertMax = 0;
  bool HorzBar = false;
};

TShown Shown(TPelMemo& M) {
  TShown s;
  s.TotalLines = M.GetDisplayLineCount();
  s.HorzMax = M.HorzRange().Max;
  s.VertMax = M.VertRange().Max;
  s.HorzBar = M.horizontalScrollBar()->isVisible();
  TPelNavigator nav(&M);
  for (int32_t i = 0; i < M.GetParCount(); ++i) {
    const TParagraph& p = M.Paragraphs.Par(i);
    s.Pars.push_back(M.GetParText(i));
    s.StartStyles.push_back(GetParStaticStyle(p));
    s.Formatted.push_back((p.Flags & pfFormatted) != 0);
    std::vector<std::vector<int32_t>> lines;
    TLinesList ll;
    ll.Par = &M.Paragraphs.Par(i);
    for (int32_t l = 0; l < ll.Count(); ++l) {
      LineInfo li;
      ll.GetLineCopy(l, li);
      lines.push_back({li.Start, li.Stop, li.Width, li.FullWidth, li.Style});
    }
    s.Lines.push_back(lines);
    std::vector<std::vector<int32_t>> attrs;
    for (int32_t a = 0; a < GetAttrCount(p); ++a) {
      const TStyleRecord& r = p.Extra->Attributes[static_cast<size_t>(a)];
      attrs.push_back({r.CountOrOffset, r.Color1, r.Color2, r.KeyValue});
    }
    s.Attrs.push_back(attrs);
    const int32_t start = M.GetParStart(i);
    for (int32_t o = 0; o <= static_cast<int32_t>(s.Pars.back().size()); ++o) {
      nav.SetPos(start + o);
      s.XLine.push_back({nav.GetXOnLine() + M.HorzOffset, nav.GetLineIndex()});
    }
  }
  return s;
}

// The viewport as painted, with the given rectangles (the carets) blanked out.
QImage Painted(TPelMemo& M, const std::vector<QRect>& Blank) {
  QImage img = GrabViewport(M);
  for (const QRect& r : Blank)
    for (int y = std::max(0, r.top()); y <= std::min(img.height() - 1, r.bottom()); ++y)
      for (int x = std::max(0, r.left()); x <= std::min(img.width() - 1, r.right()); ++x) img.setPixel(x, y, 0xFF00FF);
  return img;
}

// The fresh memo F in M's view with M's selection, painted as M paints: the caret
// (it blinks, and its shape follows the overwrite mode) is left out of both.
void ExpectPaintedAlike(TPelMemo& M, TPelMemo& F) {
  F.SetSelStart(M.SelStartNav->Pos);
  F.SetSelLength(M.SelEndNav->Pos - M.SelStartNav->Pos);
  F.BlockActive = M.BlockActive;
  F.BlockStartColumn = M.BlockStartColumn;
  F.BlockStopColumn = M.BlockStopColumn;
  F.ScrollTo(M.VertOffset, M.HorzOffset, 0);
  SettleMemo(F);
  ASSERT_EQ(F.VertOffset, M.VertOffset) << "the same view";
  ASSERT_EQ(F.HorzOffset, M.HorzOffset) << "the same view";
  ASSERT_EQ(F.viewport()->size(), M.viewport()->size());
  const std::vector<QRect> carets{M.ShownCaretRect(), F.ShownCaretRect()};
  const QImage a = Painted(M, carets), b = Painted(F, carets);
  int differ = 0;
  QPoint first;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y) && differ++ == 0) first = QPoint(x, y);
  ASSERT_EQ(differ, 0) << "pixels painted otherwise than the fresh memo paints, the first at " << first.x() << ","
                       << first.y() << " (view at " << M.HorzOffset << "," << M.VertOffset << ")";
}

// The edited memo against a fresh one given its text: paragraphs, breaks, widths,
// starting styles, colours, the x and line of every position, the scroll ranges,
// and the painted view.
void ExpectAsFresh(TPelMemo& M, const TSetup& S) {
  SettleMemo(M);
  auto fresh = MakeMemo(S, M.GetText());
  SettleMemo(*fresh);
  const TShown a = Shown(M), b = Shown(*fresh);
  for (const std::string& p : a.Pars) ASSERT_EQ(p.find_first_of("\r\n"), std::string::npos) << "a break inside a paragraph";
  ASSERT_EQ(a.Pars, b.Pars);
  ASSERT_EQ(a.StartStyles, b.StartStyles) << "starting styles";
  ASSERT_EQ(a.Formatted, b.Formatted) << "paragraphs laid out";
  ASSERT_EQ(a.Attrs, b.Attrs) << "attribute records";
  ASSERT_EQ(a.Lines, b.Lines) << "display lines";
  ASSERT_EQ(a.TotalLines, b.TotalLines);
  ASSERT_EQ(a.XLine, b.XLine) << "x and line of the positions";
  ASSERT_EQ(a.HorzMax, b.HorzMax) << "horizontal range";
  ASSERT_EQ(a.HorzBar, b.HorzBar) << "horizontal bar";
  ASSERT_EQ(a.VertMax, b.VertMax) << "vertical range";
  ExpectPaintedAlike(M, *fresh);
}

// How much of the view's height the text's lines fill (0 or less: none).
int32_t TextHeightShown(TPelMemo& M) {
  return std::min(M.GetDisplayLineCount() * M.GetLineHeight() - M.VertOffset, M.viewport()->height());
}

// Moves the view at random, as a user drags the thumbs of the bars that show.
void RandomScroll(TPelMemo& M, std::mt19937& Rng) {
  for (QScrollBar* b : {M.verticalScrollBar(), M.horizontalScrollBar()})
    if (b->isVisible() && b->maximum() > b->minimum())
      b->setValue(b->minimum() + static_cast<int>(Rng() % static_cast<unsigned>(b->maximum() - b->minimum() + 1)));
}

const char* const Words[] = {"alpha", "beta", "kw", "gamma", "big", "delta", "/*", "*/", "epsilon", "zeta"};

std::string RandomText(std::mt19937& Rng, int Pars, bool Codes) {
  std::string t;
  for (int p = 0; p < Pars; ++p) {
    if (p) t += "\r\n";
    const int n = static_cast<int>(Rng() % 14);
    for (int w = 0; w < n; ++w) {
      if (w) t += ' ';
      if (Codes && Rng() % 6 == 0) t += "\2\4"[Rng() % 2];
      t += Words[Rng() % 10];
    }
  }
  return t;
}

// One random step of typing, deleting, pasting, cutting, undoing, styling, dragging
// or moving; moves and drags check their own rule on the way.
void RandomStep(TPelMemo& M, const TSetup& S, std::mt19937& Rng, std::string& Did) {
  const int32_t len = M.GetTextLength();
  auto select = [&]() {
    const int32_t a = static_cast<int32_t>(Rng() % (len + 1));
    M.SetSelStart(a);
    M.SetSelLength(static_cast<int32_t>(Rng() % (len - a + 1)) % 30);
  };
  switch (Rng() % 22) {
    case 0: {
      const std::string w = std::string(" ") + Words[Rng() % 10];
      Did = "type '" + w + "'";
      for (char c : w) Key(M, c == ' ' ? Qt::Key_Space : Qt::Key_A, Qt::NoModifier, QString(QChar(c)));
      break;
    }
    case 1: Did = "Backspace"; Key(M, Qt::Key_Backspace); break;
    case 2: Did = "Delete"; Key(M, Qt::Key_Delete); break;
    case 3: Did = "Enter"; Key(M, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")); break;
    case 4: {
      select();
      std::string t = Rng() % 2 ? std::string(Words[Rng() % 10]) + "\r\n" + Words[Rng() % 10] : std::string(" kw ");
      if (S.Codes && Rng() % 2) t = std::string(1, "\2\4"[Rng() % 2]);
      Did = "paste over " + std::to_string(M.GetSelStart()) + "+" + std::to_string(M.GetSelLength());
      WriteClipboardText(t);
      M.PasteFromClipboard();
      break;
    }
    case 5: {
      select();
      Did = "delete selection " + std::to_string(M.GetSelStart()) + "+" + std::to_string(M.GetSelLength());
      Key(M, Qt::Key_Delete);
      break;
    }
    case 6: {
      if (!S.Codes) break;
      select();
      const int k = static_cast<int>(Rng() % 3);
      Did = std::string("Ctrl+") + "BIU"[k] + " on " + std::to_string(M.GetSelStart()) + "+" + std::to_string(M.GetSelLength());
      Key(M, (const int[]){Qt::Key_B, Qt::Key_I, Qt::Key_U}[k], Qt::ControlModifier);
      break;
    }
    case 7:
    case 8: {
      // Left and Right move one visible character: the caret's x or line changes,
      // but where only style codes lie between the caret and the text's end.
      const bool right = Rng() % 2;
      SettleMemo(M);
      M.SetSelStart(M.GetSelStart());
      TPelNavigator& c = M.CaretPosNav();
      const int32_t pos = c.Pos, x = c.GetXOnLine() + M.HorzOffset, line = c.GetLineIndex();
      Did = std::string(right ? "Right" : "Left") + " from " + std::to_string(pos);
      const std::string rest = right ? M.GetTextRange(pos, len) : M.GetTextRange(0, pos);
      bool visible = false;
      for (char ch : rest) visible |= !(S.Codes && IsStyleCode(ch));
      Key(M, right ? Qt::Key_Right : Qt::Key_Left);
      SettleMemo(M);
      TPelNavigator& d = M.CaretPosNav();
      if (visible) {
        ASSERT_TRUE(d.GetXOnLine() + M.HorzOffset != x || d.GetLineIndex() != line)
            << Did << " to " << d.Pos << " did not move on screen; text near: "
            << QByteArray::fromStdString(M.GetTextRange(std::max(0, pos - 8), std::min(len, pos + 8))).toHex().constData();
      }
      break;
    }
    case 9: {
      // Up and Down move exactly one display line (none at the first or last).
      const bool down = Rng() % 2;
      SettleMemo(M);
      const int32_t line = M.CaretPosNav().GetLineIndex();
      Did = std::string(down ? "Down" : "Up") + " from line " + std::to_string(line);
      Key(M, down ? Qt::Key_Down : Qt::Key_Up);
      SettleMemo(M);
      const int32_t want = down ? std::min(line + 1, M.GetDisplayLineCount() - 1) : std::max(line - 1, 0);
      ASSERT_EQ(M.CaretPosNav().GetLineIndex(), want) << Did;
      break;
    }
    case 10: {
      // A click within the text's lines lands on the line under it, at any x.
      SettleMemo(M);
      const int32_t lines = TextHeightShown(M);
      if (lines <= 0) break;
      const QPoint p(M.LeftMargin + static_cast<int>(Rng() % 420), static_cast<int>(Rng() % lines));
      Did = "click at " + std::to_string(p.x()) + "," + std::to_string(p.y());
      Mouse(M, QEvent::MouseButtonPress, p, Qt::LeftButton);
      Mouse(M, QEvent::MouseButtonRelease, p, Qt::NoButton);
      SettleMemo(M);
      ASSERT_EQ(M.CaretPosNav().GetLineIndex(), (M.VertOffset + p.y()) / M.GetLineHeight()) << Did;
      break;
    }
    case 11: Did = "End"; Key(M, Qt::Key_End); break;
    case 12: Did = "Undo"; Key(M, Qt::Key_Z, Qt::ControlModifier); break;
    case 13: Did = "Redo"; Key(M, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); break;
    case 14: Did = "Tab"; Key(M, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t")); break;
    case 15: {
      // Overwrite on or off; the typing steps then run in that mode.
      Did = "Insert, type 'ab'";
      Key(M, Qt::Key_Insert);
      Key(M, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
      Key(M, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
      break;
    }
    case 16: {
      select();
      Did = "cut " + std::to_string(M.GetSelStart()) + "+" + std::to_string(M.GetSelLength());
      Key(M, Qt::Key_Delete, Qt::ShiftModifier);
      break;
    }
    case 17: {
      // A drag-and-drop between two points of the view; a move keeps every
      // character of the text, in another order (style codes that meet their pair
      // with nothing between cancel out).
      SettleMemo(M);
      const int32_t shown = TextHeightShown(M);
      if (shown <= 0 || len == 0) break;
      // Inside the view: a drop always lands (a drag that ends outside leaves the
      // selection as this step set it, perhaps from inside a break).
      const int across = std::max(1, M.viewport()->width() - M.LeftMargin);
      auto point = [&] { return QPoint(M.LeftMargin + static_cast<int>(Rng() % across), static_cast<int>(Rng() % shown)); };
      const QPoint from = point(), to = point();
      const bool copy = Rng() % 3 == 0;
      const int ends = static_cast<int>(Rng() % 3);
      const int32_t n = 1 + static_cast<int32_t>(Rng() % 20);
      // A click puts the caret where a press at the point lands; the selection
      // covers it, from there or from between the CR and LF before its paragraph,
      // up to a few characters on or to between the CR and LF after it.
      const int32_t y0 = M.VertOffset, x0 = M.HorzOffset;
      Mouse(M, QEvent::MouseButtonPress, from, Qt::LeftButton);
      Mouse(M, QEvent::MouseButtonRelease, from, Qt::NoButton);
      const int32_t p = M.GetSelStart();
      if (p >= len || M.VertOffset != y0 || M.HorzOffset != x0) break;
      const int32_t par = M.CaretNav->GetParIndex();
      const int32_t parEnd = M.GetParStart(par) + static_cast<int32_t>(M.GetParText(par).size());
      const int32_t a = ends == 1 && par > 0 ? M.GetParStart(par) - 1 : p;
      const int32_t b = ends == 2 && par + 1 < M.GetParCount() ? parEnd + 1 : std::min(p + n, len);
      if (b <= p) break;
      M.SetSelStart(a);
      M.SetSelLength(b - a);
      Did = std::string(copy ? "drag-copy " : "drag ") + std::to_string(p) + "+" + std::to_string(M.GetSelLength()) +
            " to " + std::to_string(to.x()) + "," + std::to_string(to.y());
      std::string before = M.GetText();
      const Qt::KeyboardModifiers mods = copy ? Qt::ControlModifier : Qt::NoModifier;
      Mouse(M, QEvent::MouseMove, from, Qt::NoButton);
      Mouse(M, QEvent::MouseButtonPress, from, Qt::LeftButton, mods);
      ASSERT_TRUE(M.IsDragging()) << Did << ": pressed on the selection";
      Mouse(M, QEvent::MouseMove, to, Qt::LeftButton, mods);
      Mouse(M, QEvent::MouseButtonRelease, to, Qt::NoButton, mods);
      ASSERT_FALSE(M.IsDragging());
      if (!copy) {
        std::string after = M.GetText();
        for (std::string* t : {&before, &after}) {
          t->erase(std::remove_if(t->begin(), t->end(), [](char c) { return IsStyleCode(c); }), t->end());
          std::sort(t->begin(), t->end());
        }
        ASSERT_EQ(after, before) << Did << ": a move lost or gained characters";
      }
      break;
    }
    case 18: {
      // Column blocks where the layout allows them; word moves elsewhere.
      if (M.GetOptions() & pmoBlockSelection) {
        Did = "column block";
        for (int i = 1 + static_cast<int>(Rng() % 4); i > 0; --i) {
          const int k = (const int[]){Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up}[Rng() % 4];
          Did += k == Qt::Key_Right ? " R" : k == Qt::Key_Down ? " D" : k == Qt::Key_Left ? " L" : " U";
          Key(M, k, Qt::ShiftModifier | Qt::AltModifier);
        }
        break;
      }
      [[fallthrough]];
    }
    case 19: {
      const bool right = Rng() % 2;
      Did = right ? "Ctrl+Right" : "Ctrl+Left";
      Key(M, right ? Qt::Key_Right : Qt::Key_Left, Qt::ControlModifier);
      break;
    }
    case 20: {
      const bool down = Rng() % 2;
      Did = down ? "Page Down" : "Page Up";
      Key(M, down ? Qt::Key_PageDown : Qt::Key_PageUp);
      break;
    }
    default: Did = "Home"; Key(M, Qt::Key_Home); break;
  }
}

}  // namespace

class MemoDifferential : public ::testing::Test {
 protected:
  void SetUp() override {
    SetPrompts(&Script);
    ExpectMemoTestFont(MemoTestFont());
  }
  void TearDown() override { SetPrompts(nullptr); }
  TScriptedPrompts Script;
};

// Edits, moves, clicks and drags under every alignment, wrap and style setting, in a
// view scrolled at random: after each step the memo equals the same text loaded
// afresh, painted in the same view, and the caret is drawn where its navigator is.
TEST_F(MemoDifferential, AnEditedMemoShowsWhatAFreshLoadShows) {
  std::mt19937 rng(20261207);
  std::vector<TSetup> setups;
  for (const TAlignment a : {TAlignment::taLeftJustify, TAlignment::taRightJustify, TAlignment::taCenter})
    for (const bool wrap : {true, false}) {
      TSetup s;
      s.Align = a;
      s.Wrap = wrap;
      s.ColumnWrap = wrap ? (a == TAlignment::taCenter ? 26 : 0) : (a == TAlignment::taLeftJustify ? -150 : 0);
      s.Justified = a != TAlignment::taLeftJustify && wrap;
      s.Codes = a != TAlignment::taCenter;
      s.Keywords = wrap || a == TAlignment::taLeftJustify;
      if (!wrap) s.ExtraOptions = pmoBlockSelection;
      // Always more lines than the window holds, so that the vertical bar stays:
      // where lines wrap at the window's width, a bar that comes and goes with the
      // line count could settle either way.
      s.Height = 120;
      setups.push_back(s);
    }
  int steps = 0, scrolledDown = 0, scrolledAcross = 0;
  for (const TSetup& s : setups) {
    SCOPED_TRACE(s.Describe());
    auto m = MakeMemo(s, RandomText(rng, 20, s.Codes));
    for (int step = 0; step < 70; ++step) {
      if (rng() % 3 == 0) RandomScroll(*m, rng);
      ++steps;
      scrolledDown += m->VertOffset > 0;
      scrolledAcross += m->HorzOffset > 0;
      std::string did;
      RandomStep(*m, s, rng, did);
      SCOPED_TRACE("step " + std::to_string(step) + ": " + did);
      if (HasFatalFailure()) return;
      ExpectCaretDrawnAtNavigator(*m);
      ExpectAsFresh(*m, s);
      if (HasFatalFailure()) return;
    }
  }
  // The steps did run in scrolled views.
  EXPECT_GT(scrolledDown, steps / 3);
  EXPECT_GT(scrolledAcross, steps / 20);
}

// The update mode decides when lines are laid out, never where the caret goes: the
// same keys, margin clicks and drags give the same caret and selection in a memo
// that lays out at once and in memos that lay out on need or in the background,
// with background slices run at random points between the steps.
TEST_F(MemoDifferential, DeferredLayoutMovesTheCaretAsImmediateLayoutDoes) {
  const std::string text = NumberedPars(2000);
  std::vector<std::unique_ptr<TPelMemo>> memos;
  for (const TpmUpdateMode mode : {TpmUpdateMode::umImmediate, TpmUpdateMode::umOnNeed, TpmUpdateMode::umBackground}) {
    TSetup s;
    s.ColumnWrap = 26;
    s.Mode = mode;
    // A slow clock from the start: each background slice lays out a few paragraphs only.
    memos.push_back(MakeMemo(s, text, [t = uint32_t(0)]() mutable { return t += 7; }));
  }
  std::mt19937 rng(43);
  const int lh = memos[0]->GetLineHeight();
  int pending = 0;
  for (int step = 0; step < 160; ++step) {
    pending += memos[2]->FormatPending();
    const int kind = static_cast<int>(rng() % 10);
    const int row = static_cast<int>(rng() % 17), row2 = static_cast<int>(rng() % 17);
    const int slices = static_cast<int>(rng() % 3);
    std::string did;
    for (auto& m : memos) {
      switch (kind) {
        case 0: did = "Up"; Key(*m, Qt::Key_Up); break;
        case 1: did = "Down"; Key(*m, Qt::Key_Down); break;
        case 2: did = "Page Up"; Key(*m, Qt::Key_PageUp); break;
        case 3: did = "Page Down"; Key(*m, Qt::Key_PageDown); break;
        case 4: did = step % 2 ? "Ctrl+End" : "Ctrl+Home"; Key(*m, step % 2 ? Qt::Key_End : Qt::Key_Home, Qt::ControlModifier); break;
        case 5: did = "type x"; Key(*m, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")); break;
        case 6: did = "Enter"; Key(*m, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")); break;
        case 7: did = "Backspace"; Key(*m, Qt::Key_Backspace); break;
        case 8: {
          did = "margin click at row " + std::to_string(row);
          const QPoint p(2, row * lh + lh / 2);
          Mouse(*m, QEvent::MouseButtonPress, p, Qt::LeftButton);
          Mouse(*m, QEvent::MouseButtonRelease, p, Qt::NoButton);
          break;
        }
        default: {
          did = "margin drag from row " + std::to_string(row) + " to " + std::to_string(row2);
          const QPoint p(2, row * lh + lh / 2), q(2, row2 * lh + lh / 2);
          Mouse(*m, QEvent::MouseMove, p, Qt::NoButton);
          Mouse(*m, QEvent::MouseButtonPress, p, Qt::LeftButton);
          for (int i = 0; i < slices && m->FormatPending(); ++i) m->RunFormatSlice();
          Mouse(*m, QEvent::MouseMove, q, Qt::LeftButton);
          Mouse(*m, QEvent::MouseButtonRelease, q, Qt::NoButton);
          break;
        }
      }
      for (int i = 0; i < slices && m->FormatPending(); ++i) m->RunFormatSlice();
      m->viewport()->repaint();
    }
    SCOPED_TRACE("step " + std::to_string(step) + ": " + did);
    TPelMemo& ref = *memos[0];
    for (size_t k = 1; k < memos.size(); ++k) {
      TPelMemo& m = *memos[k];
      SCOPED_TRACE(k == 1 ? "on need" : "background");
      ASSERT_EQ(m.GetSelStart(), ref.GetSelStart());
      ASSERT_EQ(m.GetSelLength(), ref.GetSelLength());
      ASSERT_EQ(m.CaretNav == m.SelStartNav.get(), ref.CaretNav == ref.SelStartNav.get()) << "caret end";
      ASSERT_EQ(m.CaretNav->GetParLineIndex(), ref.CaretNav->GetParLineIndex()) << "line of the caret in its paragraph";
      // Drawn on its own line, whatever is laid out yet.
      ASSERT_EQ(m.GetCaretY(), m.CaretNav->GetLineIndex() * lh - m.VertOffset);
      ASSERT_GE(m.GetCaretY(), 0) << "caret out of the window";
      ASSERT_LT(m.GetCaretY(), m.viewport()->height());
    }
  }
  // The background memo did have layout pending while it was compared.
  EXPECT_GT(pending, 160 * 3 / 4);
  for (auto& m : memos) SettleMemo(*m);
  EXPECT_EQ(memos[1]->GetText(), memos[0]->GetText());
  EXPECT_EQ(memos[2]->GetDisplayLineCount(), memos[0]->GetDisplayLineCount());
}

// Every property that lays the text out again, changed on a laid-out memo with the
// caret anywhere, gives what a memo given the value before its text shows, and the
// caret is drawn where its navigator is.
TEST_F(MemoDifferential, APropertyChangedLateShowsWhatItShowsGivenFirst) {
  std::mt19937 rng(46);
  TSetup s;
  s.Codes = true;
  s.Keywords = true;
  // More lines than the window holds in every layout, so that the vertical bar always
  // shows: where lines wrap at the window's width, a bar that comes and goes with the
  // line count could settle either way.
  auto m = MakeMemo(s, RandomText(rng, 25, true) + "\r\na\tbb\tccc\tdddd\teeeee\tf\r\n\tindented\tword\r\n" +
                           std::string(3, ' ') + RandomText(rng, 25, true));
  int scrolled = 0;
  for (int step = 0; step < 90; ++step) {
    m->SetSelStart(static_cast<int32_t>(rng() % static_cast<unsigned>(m->GetTextLength() + 1)));
    RandomScroll(*m, rng);
    scrolled += m->VertOffset > 0;
    std::string did;
    switch (rng() % 10) {
      case 0: did = "word wrap"; s.Wrap = !s.Wrap; m->SetWordWrap(s.Wrap); break;
      case 1: did = "column wrap"; s.ColumnWrap = (const int32_t[]){0, 20, 26, -150, -700}[rng() % 5]; m->SetColumnWrap(s.ColumnWrap); break;
      case 2: did = "alignment"; s.Align = static_cast<TAlignment>(rng() % 3); m->SetAlignment(s.Align); break;
      case 3: did = "justified"; s.Justified = !s.Justified; m->SetJustified(s.Justified); break;
      case 4: did = "tab stops"; s.TabStops = (const int32_t[]){8, 4, 1, 0, -40}[rng() % 5]; m->SetTabStops(s.TabStops); break;
      case 5: did = "left margin"; s.LeftMargin = (const int32_t[]){8, 40, 0}[rng() % 3]; m->SetLeftMargin(s.LeftMargin); break;
      case 6: did = "alternate font"; s.AltPoints = (const int32_t[]){16, 24, 8}[rng() % 3]; m->SetAltFont(MemoTestPropFont(s.AltPoints)); break;
      case 7:
        did = "scroll bars";
        s.Bars = s.Bars == TScrollStyle::ssBoth ? TScrollStyle::ssVertical : TScrollStyle::ssBoth;
        m->SetScrollBars(s.Bars);
        break;
      case 8: did = "automatic scroll bars"; s.ClearOptions ^= pmoAutoScrollBars; m->SetOptions(m->GetOptions() ^ pmoAutoScrollBars); break;
      default:
        did = "keyword lists";
        s.Keywords = !s.Keywords;
        SetKeywords(*m, s.Keywords);
        m->ResetFormatting();
        break;
    }
    SCOPED_TRACE("step " + std::to_string(step) + ": " + did + "; " + s.Describe());
    ExpectCaretDrawnAtNavigator(*m);
    if (HasFatalFailure()) return;
    ExpectAsFresh(*m, s);
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(scrolled, 90 / 2);
}
