// Lines laid out anew by whatever asks for them (a property, painting, the keys, the
// background slices, an edit) and what must follow: the caret drawn on its own line
// and at its x, the horizontal range from the widest line there is, the pending range
// that the background works off, and its progress reports. The reference is a memo
// given the same text and properties afresh, or the caret's own navigator.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/memo/MemoTestFont.h"
#include "tests/memo/MemoWidgetFixture.h"

namespace {

using TSetup = std::function<void(TPelMemo&)>;

// Four paragraphs with tabs, the second wider than the window.
const std::string TabText =
    "\tindented\tword\r\na\tbb\tccc\tdddd\teeeee\tf a\tbb\tccc\tdddd\teeeee\tf a\tbb\tccc\tdddd\teeeee\tf\r\nx\t\ty\r\n"
    "words\twords";

// Paragraphs of twenty words each (four fit the window's height, six do not).
std::string WordText(int Pars) {
  std::string t;
  for (int p = 0; p < Pars; ++p) {
    if (p) t += "\r\n";
    for (int k = 0; k < 2; ++k) t += "alpha beta gamma delta epsilon zeta eta theta iota kappa ";
  }
  return t;
}

class MemoLayoutPath : public TMemoWidgetFixture {
 protected:
  void Prepare() override {
    M->SetMemoFont(MemoTestFont());
    M->Clock = Ticks();
  }
  // A clock that moves on a millisecond each time it is read: a slice lays out a
  // couple of dozen paragraphs whatever the machine's speed.
  static std::function<uint32_t()> Ticks() {
    return [t = uint32_t(0)]() mutable { return ++t; };
  }
  // A memo of the fixture's size given its properties, then the text.
  static std::unique_ptr<TPelMemo> Fresh(const TSetup& Setup, const std::string& Text) {
    auto m = ShownMemo(
        [&](TPelMemo& Memo) {
          Memo.Clock = Ticks();
          Setup(Memo);
        },
        Text);
    SettleMemo(*m);
    return m;
  }
  // The horizontal range and bar, and the widest line, as a fresh memo has them.
  void ExpectHorzAsFresh(const TSetup& Setup) {
    SettleMemo(*M);
    const auto fresh = Fresh(Setup, M->GetText());
    EXPECT_EQ(M->Layout().WidestWidth, fresh->Layout().WidestWidth);
    EXPECT_EQ(M->HorzRange().Max, fresh->HorzRange().Max);
    EXPECT_EQ(M->horizontalScrollBar()->maximum(), fresh->horizontalScrollBar()->maximum());
    EXPECT_EQ(M->horizontalScrollBar()->isVisible(), fresh->horizontalScrollBar()->isVisible());
  }
};

// Every property that lays the text out again, with layout left to the background
// and to painting: once it has settled the caret is drawn on its line at its x.
TEST_F(MemoLayoutPath, TheCaretFollowsARelayoutByAnyProperty) {
  ExpectMemoTestFont(M->font());
  struct TRow {
    const char* Name;
    std::string Text;
    bool Wrap;
    int32_t Caret;
    std::function<void(TPelMemo&)> Change;
    TAlignment Align = TAlignment::taLeftJustify;
  };
  const TRow rows[] = {
      {"left margin", TabText, true, 212, [](TPelMemo& m) { m.SetLeftMargin(140); }},
      {"column wrap", TabText, true, 70, [](TPelMemo& m) { m.SetColumnWrap(20); }},
      {"word wrap off", WordText(6), true, 690, [](TPelMemo& m) { m.SetWordWrap(false); }},
      {"right alignment", WordText(6), false, 70, [](TPelMemo& m) { m.SetAlignment(TAlignment::taRightJustify); }},
      {"centred", WordText(6), false, 70, [](TPelMemo& m) { m.SetAlignment(TAlignment::taCenter); }},
      // The vertical bar appears and narrows the window.
      {"bars that stay", WordText(4), true, 70, [](TPelMemo& m) { m.SetOptions(m.GetOptions() & ~pmoAutoScrollBars); },
       TAlignment::taRightJustify},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.Name);
    M->SetWordWrap(r.Wrap);
    M->SetAlignment(r.Align);
    M->SetLeftMargin(8);
    M->SetColumnWrap(0);
    M->SetOptions(M->GetOptions() | pmoAutoScrollBars);
    Load(r.Text);
    SettleMemo(*M);
    M->SetSelStart(r.Caret);
    ExpectCaretDrawnAtNavigator(*M);
    r.Change(*M);
    ExpectCaretDrawnAtNavigator(*M);
  }
}

// The widest line found by any layout (painting's included) sets the horizontal range.
// (Bars that stay: a bar that hides would resize the window and set the range again.)
TEST_F(MemoLayoutPath, TheHorizontalBarFollowsTheWidestLineOfAnyLayout) {
  struct TRow {
    const char* Name;
    bool WrapFirst;
    std::function<void(TPelMemo&)> Change;
  };
  const TRow rows[] = {
      {"word wrap off", true, [](TPelMemo& m) { m.SetWordWrap(false); }},
      {"tab stops", false, [](TPelMemo& m) { m.SetTabStops(4); }},
      {"larger font", false,
       [](TPelMemo& m) {
         QFont f = MemoTestFont();
         f.setPointSize(12);
         m.SetMemoFont(f);
       }},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.Name);
    M->SetMemoFont(MemoTestFont());
    M->SetTabStops(8);
    M->SetScrollBars(TScrollStyle::ssBoth);
    M->SetOptions(M->GetOptions() & ~pmoAutoScrollBars);
    M->SetWordWrap(r.WrapFirst);
    Load(TabText);
    SettleMemo(*M);
    r.Change(*M);
    ExpectHorzAsFresh([&](TPelMemo& m) {
      m.SetScrollBars(TScrollStyle::ssBoth);
      m.SetOptions(m.GetOptions() & ~pmoAutoScrollBars);
      m.SetWordWrap(r.WrapFirst);
      r.Change(m);
    });
  }
}

// Justified puts the view at the left, and the bar with it.
TEST_F(MemoLayoutPath, JustifiedPutsTheBarAtTheLeftWithTheView) {
  M->SetScrollBars(TScrollStyle::ssBoth);
  M->SetWordWrap(false);
  const std::string wide(240, 'w');
  Load(wide + "\r\n" + wide);
  SettleMemo(*M);
  M->SetSelStart(200);
  M->ScrollInView();
  ASSERT_GT(M->HorzOffset, 0);
  ASSERT_GT(M->horizontalScrollBar()->value(), 0);
  M->SetJustified(true);
  EXPECT_EQ(M->HorzOffset, 0);
  EXPECT_EQ(M->horizontalScrollBar()->value(), 0);
}

// An edit that removes the widest paragraph, or merges it into another, leaves the
// horizontal range of the text that is left.
TEST_F(MemoLayoutPath, TheHorizontalRangeForgetsADeletedWidestParagraph) {
  std::string wide;
  for (int i = 0; wide.size() < 240; ++i) wide += "word" + std::to_string(i) + " ";
  wide.resize(240);
  const std::string text = "short\r\n" + wide + "\r\nshort";
  struct TRow {
    const char* Name;
    bool Wrap;
    int32_t ColumnWrap;
    bool All;
  };
  const TRow rows[] = {
      {"merged", false, 0, false},
      {"all replaced", false, 0, true},
      {"merged, pixel columns", false, -700, false},
      {"merged, wrapped at pixel columns", true, -700, false},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.Name);
    const TSetup setup = [&](TPelMemo& m) {
      m.SetScrollBars(TScrollStyle::ssBoth);
      m.SetWordWrap(r.Wrap);
      m.SetColumnWrap(r.ColumnWrap);
    };
    setup(*M);
    Load(text);
    SettleMemo(*M);
    ASSERT_TRUE(M->horizontalScrollBar()->isVisible());
    if (r.All) {
      M->SelectAll();
      Key(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    } else {
      M->SetSelStart(5);
      M->SetSelLength(242);
      Key(Qt::Key_Delete);
    }
    ExpectHorzAsFresh(setup);
  }
}

// Paragraphs deleted or joined above the pending range leave none of it behind.
TEST_F(MemoLayoutPath, AnEditAboveThePendingRangeLeavesNoParagraphUnformatted) {
  const std::string text = NumberedPars(300, WrapWords, "") + "\r\n";
  M->SetColumnWrap(26);
  for (const bool join : {false, true}) {
    SCOPED_TRACE(join ? "Backspace joins two" : "a selection deleted");
    Load(text);
    // Settled first: the scroll bar that comes with the text lays everything out
    // again when the window takes it, and would make up for a lost pending range.
    SettleMemo(*M);
    M->Reformat();
    M->RunFormatSlice();
    const int32_t pending = M->Paragraphs.PendingFirstPar;
    ASSERT_GT(pending, 20);
    ASSERT_TRUE(M->FormatPending());
    if (join) {
      M->SetSelStart(M->GetParStart(pending / 2));
      Key(Qt::Key_Backspace);
    } else {
      M->SetSelStart(0);
      M->SetSelLength(M->GetParStart(pending / 2));
      Key(Qt::Key_Delete);
    }
    SettleMemo(*M);
    for (int32_t i = 0; i < M->GetParCount(); ++i)
      ASSERT_TRUE(M->Paragraphs.Par(i).Flags & pfFormatted) << "paragraph " << i << " never laid out";
    const int32_t lines = M->GetDisplayLineCount();
    M->FormatRange(0, M->GetParCount() - 1, true);
    EXPECT_EQ(lines, M->GetDisplayLineCount());
  }
}

// Background formatting reports progress every ProgressInterval milliseconds, and
// once more when it is done.
TEST_F(MemoLayoutPath, BackgroundFormattingReportsProgressOnTheWay) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "row " + std::to_string(i) + "\r\n";
  Load(text);
  SettleMemo(*M);
  int calls = 0;
  M->OnProgress = [&](TPelMemoCore&) { ++calls; };
  for (const uint32_t interval : {1u, 100000u}) {
    SCOPED_TRACE(interval);
    M->ProgressInterval = interval;
    calls = 0;
    M->Reformat();
    int slices = 0;
    for (; M->FormatPending() && slices < 1000; ++slices) M->RunFormatSlice();
    ASSERT_GT(slices, 3);
    // Each slice takes longer than the short interval; the long one never passes.
    EXPECT_EQ(calls, interval == 1 ? slices + 1 : 1);
  }
}

// A larger or smaller alternative font without word wrap: the widths measured in it
// and the horizontal range are those of a memo given that font first.
TEST_F(MemoLayoutPath, AnAltFontSetAfterTheTextWidensOrNarrowsTheRange) {
  const std::string text = "x\r\nab\4" + std::string(30, 'W') + "\4cd\r\nshort";
  for (const int size : {24, 4}) {
    SCOPED_TRACE(size);
    QFont alt(QStringLiteral("DejaVu Sans"));
    alt.setPointSize(size);
    const TSetup setup = [](TPelMemo& m) {
      m.SetScrollBars(TScrollStyle::ssBoth);
      m.SetWordWrap(false);
      m.SetAltFont(MemoTestFont());
      m.SetStaticFormat(true);
    };
    setup(*M);
    Load(text);
    SettleMemo(*M);
    M->SetAltFont(alt);
    ExpectHorzAsFresh([&](TPelMemo& m) {
      setup(m);
      m.SetAltFont(alt);
    });
  }
}

// Page Up with the text above not laid out yet: the paragraphs a page away are laid
// out first, so that the caret lands in the window, drawn on its line, a page up.
TEST_F(MemoLayoutPath, PageUpWithLayoutPendingLandsInTheWindow) {
  const std::string text = NumberedPars(2000);
  M->SetColumnWrap(26);
  for (const TpmUpdateMode mode : {TpmUpdateMode::umOnNeed, TpmUpdateMode::umBackground}) {
    SCOPED_TRACE(mode == TpmUpdateMode::umOnNeed ? "on need" : "background");
    M->SetUpdateMode(mode);
    Load(text);
    Key(Qt::Key_End, Qt::ControlModifier);
    std::vector<int32_t> stops{M->GetSelStart()};
    for (int page = 0; page < 2; ++page) {
      Key(Qt::Key_PageUp);
      stops.push_back(M->GetSelStart());
      // Events and a few slices, not all of them.
      for (int i = 0; i < 3 && M->FormatPending(); ++i) M->RunFormatSlice();
      M->viewport()->repaint();
      QApplication::processEvents();
      const int32_t y = M->GetCaretLine() * M->GetLineHeight() - M->VertOffset;
      EXPECT_EQ(M->GetCaretY(), y);
      EXPECT_GE(y, 0);
      EXPECT_LE(y, M->viewport()->height() - M->GetLineHeight());
    }
    // Each a page up, counted in the lines as they are laid out in the end.
    SettleMemo(*M);
    TPelNavigator n(M.get());
    for (size_t k = 1; k < stops.size(); ++k) {
      n.SetPos(stops[k - 1]);
      const int32_t from = n.GetLineIndex();
      n.SetPos(stops[k]);
      EXPECT_EQ(from - n.GetLineIndex(), M->VisibleLines() - 1) << "page " << k;
    }
  }
}

}  // namespace
