// Style codes, highlights and their fonts in the memo's window: a line is as wide
// where it is broken as where the navigator and the painting put its characters,
// an edit that adds or removes a code restyles what follows as a fresh load would,
// the wide overwrite caret and the trailing blanks of wrapped lines, full-line
// selection, Left and Right over codes, and ResetFormatting after the lists change.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <memory>
#include <string>

#include "memo/PelMemoParse.h"
#include "tests/memo/MemoTestFont.h"
#include "tests/memo/MemoWidgetFixture.h"

namespace {

const char* const Words =
    "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu xi omicron pi rho sigma tau upsilon phi chi "
    "psi omega";

class MemoStyleCode : public TMemoWidgetFixture {
 protected:
  void Prepare() override {
    M->SetMemoFont(MemoTestPropFont());
    M->SetAltFont(MemoTestPropFont());
    M->SetUpdateMode(TpmUpdateMode::umImmediate);
    M->SetStaticFormat(true);
  }
  void SetUp() override {
    TMemoWidgetFixture::SetUp();
    ASSERT_EQ(QFontInfo(M->font()).family(), QStringLiteral("DejaVu Sans")) << "fonts-dejavu-core is not installed";
  }
  static LineInfo Line(TPelMemo& Memo, int32_t L) {
    TPelNavigator n(&Memo);
    n.SetLineIndex(L);
    return *n.GetLinesList().GetLine(n.GetParLineIndex());
  }
  // The navigator's x of offset Off (from the line start) on display line L.
  static int32_t XOn(TPelMemo& Memo, int32_t L, int32_t Off) {
    TPelNavigator n(&Memo);
    n.SetLineIndex(L);
    n.SetLineOffset(Off);
    return n.GetXOnLine();
  }
  // The offset (in its paragraph) after the last character of line L that is not a blank.
  static int32_t InkEnd(TPelMemo& Memo, int32_t L) {
    TPelNavigator n(&Memo);
    n.SetLineIndex(L);
    const LineInfo l = *n.GetLinesList().GetLine(n.GetParLineIndex());
    const std::string_view t = Memo.Paragraphs.ParText(n.GetParIndex());
    int32_t e = l.Stop;
    while (e > l.Start && t[static_cast<size_t>(e - 1)] == ' ') --e;
    return e;
  }
  // A memo with the same properties, given the same text afresh.
  std::unique_ptr<TPelMemo> Fresh() {
    auto f = std::make_unique<TPelMemo>();
    f->SetMemoFont(M->font());
    f->SetAltFont(M->GetAltFont());
    f->SetUpdateMode(TpmUpdateMode::umImmediate);
    f->SetStaticFormat(true);
    f->SetWordWrap(M->WordWrap);
    f->SetAlignment(M->Alignment);
    f->resize(M->size());
    f->show();
    QApplication::processEvents();
    TMemoryStream s(M->GetText());
    f->LoadTextFromStream(s);
    return f;
  }
};

}  // namespace

TEST_F(MemoStyleCode, BlanksOfAWrappedRunCountInTheFontInForce) {
  // The alternate font's, a bold code's and a bold region's blanks: every line is as
  // wide as the navigator measures it, so it fits, and right-aligned it ends at the margin.
  M->SetAltFont(MemoTestPropFont(20));
  M->StartStopKeys.AddKey("[", "]", false, NoColor, NoColor, 0, 5, 1, 0);
  struct TRow {
    std::string Text;
    TAlignment Align;
  };
  const TRow rows[] = {
      {"plain \4a b c d e f g h i j k l m n o p q r s t u v w x y z\4 end", TAlignment::taLeftJustify},
      {std::string("\2") + Words + "\2", TAlignment::taRightJustify},
      {std::string("[") + Words + "]", TAlignment::taRightJustify},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(static_cast<int>(r.Align));
    M->SetAlignment(r.Align);
    Load(r.Text);
    ASSERT_GT(M->GetDisplayLineCount(), 1);
    for (int32_t k = 0; k < M->GetDisplayLineCount(); ++k) {
      SCOPED_TRACE(k);
      const LineInfo l = Line(*M, k);
      const int32_t end = XOn(*M, k, InkEnd(*M, k) - l.Start);
      EXPECT_EQ(end - XOn(*M, k, 0), l.Width);
      EXPECT_LE(end, M->ClientWidth - M->RightMargin);
      if (r.Align == TAlignment::taRightJustify) {
        EXPECT_EQ(end, M->ClientWidth - M->RightMargin);
      }
    }
  }
}

TEST_F(MemoStyleCode, AnEditOfACodeRestylesTheParagraphsAfterIt) {
  // Each edit adds or removes one code; the following paragraphs start, are broken
  // and measure as in the same text loaded afresh.
  M->SetWordWrap(false);
  struct TRow {
    int32_t Start, Length;
    const char* Insert;  // nullptr: the Delete key, "" the Backspace key
  };
  const TRow rows[] = {{4, 1, nullptr}, {5, 0, ""}, {0, 0, "\2"}, {2, 5, nullptr}};
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.Start);
    Load("one \2two\r\nthree words\r\nfour \2five\r\nsix");
    M->SetSelStart(r.Start);
    M->SetSelLength(r.Length);
    if (r.Insert == nullptr)
      Key(Qt::Key_Delete);
    else if (*r.Insert == '\0')
      Key(Qt::Key_Backspace);
    else
      M->SetSelText(r.Insert);
    auto f = Fresh();
    ASSERT_EQ(M->GetText(), f->GetText());
    ASSERT_EQ(M->GetDisplayLineCount(), f->GetDisplayLineCount());
    for (int32_t i = 0; i < M->GetParCount(); ++i)
      EXPECT_EQ(GetParStaticStyle(M->Paragraphs.Par(i)), GetParStaticStyle(f->Paragraphs.Par(i))) << i;
    for (int32_t k = 0; k < M->GetDisplayLineCount(); ++k) {
      const LineInfo a = Line(*M, k), b = Line(*f, k);
      EXPECT_EQ(a.Style, b.Style) << k;
      EXPECT_EQ(a.Width, b.Width) << k;
      EXPECT_EQ(XOn(*M, k, a.Stop - a.Start), XOn(*f, k, b.Stop - b.Start)) << k;
    }
  }
}

TEST_F(MemoStyleCode, TheWideOverwriteCaretTakesAKeywordsFont) {
  TKeyHeader h;
  h.KeyValue = 1;
  h.FontStyle = 1;  // bold
  M->Keywords.AddKeyword("MMMM", h);
  Load("MMMM x");
  M->SetOverwrite(true);
  QFont bold = MemoTestPropFont();
  bold.setBold(true);
  bold.setKerning(false);
  const int32_t wide = QFontMetrics(bold).horizontalAdvance(QLatin1Char('M'));
  ASSERT_NE(wide, QFontMetrics(MemoTestPropFont()).horizontalAdvance(QLatin1Char('M')));
  for (int32_t at : {0, 1, 3}) {
    M->SetSelStart(at);
    EXPECT_EQ(M->GetCaretWidth(), wide) << at;
  }
}

TEST_F(MemoStyleCode, NothingOfARunIsDrawnUnderAWrappedLinesTrailingBlanks) {
  // An underline (code 21) and a highlight's background (code 3) end at the last
  // letter of a wrapped line; the room of its trailing blank stays background.
  M->clearFocus();
  M->SetHighlightColors(QColor(0, 0, 0), QColor(0, 0, 0xFF));
  std::string words;
  for (int i = 0; i < 40; ++i) words += "mum ";
  words += "mum";
  for (const char code : {'\25', '\3'}) {
    SCOPED_TRACE(static_cast<int>(code));
    Load(code + words + code);
    ASSERT_GT(M->GetDisplayLineCount(), 1);
    const LineInfo l = Line(*M, 0);
    const int32_t ink = XOn(*M, 0, InkEnd(*M, 0) - l.Start), stop = XOn(*M, 0, l.Stop - l.Start);
    ASSERT_GT(stop - ink, 2);
    M->viewport()->repaint();
    const QImage img = Grab();
    const QRgb back = M->GetColor().rgb();
    int drawn = 0;
    for (int y = 0; y < M->GetLineHeight(); ++y)
      for (int x = ink + 1; x < stop - 1; ++x) drawn += img.pixel(x, y) != back;
    EXPECT_EQ(drawn, 0);
    // The same run is drawn under the letters before it (they have no descenders).
    int before = 0;
    for (int x = XOn(*M, 0, 0); x < ink; ++x) {
      bool under = false;
      for (int y = M->Baseline() + 1; y < M->GetLineHeight(); ++y) under = under || img.pixel(x, y) != back;
      before += under;
    }
    EXPECT_GT(before, (ink - XOn(*M, 0, 0)) / 2);
  }
}

TEST_F(MemoStyleCode, FullLineSelectionFromALineStartLeavesTheLineAbove) {
  M->SetMemoFont(MemoTestFont());
  M->SetHideSelection(false);
  M->SetColumnWrap(26);
  Load("alpha beta gamma delta epsilon zeta eta theta iota kappa\r\nmore");
  const LineInfo second = Line(*M, 1);
  ASSERT_GT(second.Start, 0);
  for (const bool system : {false, true}) {
    SCOPED_TRACE(system);
    M->SetOptions(pmoFullLineSelect | pmoAutoScrollBars | (system ? uint32_t{pmoWindowsSelColors} : 0u));
    M->SetSelStart(second.Start);
    M->SetSelLength(second.Stop - second.Start + 3);  // on past the line's end
    M->viewport()->repaint();
    const QImage img = Grab();
    const int y = M->GetLineHeight() / 2, x = img.width() - 3;
    EXPECT_EQ(img.pixel(x, y), M->GetColor().rgb());                     // the line above
    EXPECT_NE(img.pixel(x, y + M->GetLineHeight()), M->GetColor().rgb());  // the selected line, to the edge
  }
}

TEST_F(MemoStyleCode, LeftAndRightOverCodesMoveOneVisibleCharacter) {
  M->SetMemoFont(MemoTestFont());
  M->SetWordWrap(false);
  Load("ab\2cd\r\n\2\2xy");
  ASSERT_TRUE(M->PassOverCodes);
  const int32_t n = M->GetTextLength();
  for (int32_t p = 0; p <= n; ++p) {
    if (M->GetCharAt(p) == '\n' && p > 0) continue;  // inside a break
    for (const int key : {Qt::Key_Left, Qt::Key_Right}) {
      SCOPED_TRACE(testing::Message() << p << (key == Qt::Key_Left ? " left" : " right"));
      M->SetSelStart(p);
      const int32_t x = M->GetCaretX(), line = M->GetCaretLine();
      Key(key);
      const bool atEnd = key == Qt::Key_Left ? p == 0 : p == n;
      if (!atEnd) {
        EXPECT_TRUE(M->GetCaretX() != x || M->GetCaretLine() != line) << "to " << M->GetSelStart();
      }
    }
  }
}

TEST_F(MemoStyleCode, ResetFormattingDropsTheColoursOfListsThatAreGone) {
  M->SetWordWrap(false);
  M->StartStopKeys.AddKey("/*", "*/", false, NoColor, 0x808080, 0, 1, 0, 0);
  M->StartStopKeys.AddKey("//", "", true, NoColor, 0x808080, 0, 2, 0, 0);
  M->Keywords.AddKeyword("foo", Colored(3, 0xFF0000));
  Load("int foo; /* a foo\r\nbar FOO baz */ foo\r\n// foo end\r\nfoo");
  M->viewport()->repaint();
  ASSERT_GT(GetAttrCount(M->Paragraphs.Par(0)), 0);
  M->Keywords.Clear();
  M->StartStopKeys.Clear();
  M->ResetFormatting();
  M->viewport()->repaint();
  for (int32_t i = 0; i < M->GetParCount(); ++i) {
    EXPECT_EQ(GetAttrCount(M->Paragraphs.Par(i)), 0) << i;
    EXPECT_FALSE(GetParStartStyle(M->Paragraphs.Par(i))->Flags & sfHighlight) << i;
  }
  // Its lines are laid out anew; the paragraph at the top of the view stays there.
  M->SetWordWrap(true);
  std::string text;
  for (int i = 0; i < 300; ++i) text += std::to_string(i) + " " + Words + "\r\n";
  Load(text);
  M->ScrollTo(120 * M->GetLineHeight(), 0, 0);
  TPelNavigator top(M.get());
  top.SetLineIndex(M->GetTopLine());
  const int32_t par = top.GetParIndex();
  ASSERT_GT(par, 10);
  M->ResetFormatting();
  top.SetLineIndex(M->GetTopLine());
  EXPECT_EQ(top.GetParIndex(), par);
  EXPECT_NO_THROW(M->CheckIntegrity());
}
