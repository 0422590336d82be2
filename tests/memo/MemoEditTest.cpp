// The edit path: random edits against a plain string model, navigators kept in
// place, breaks never split, over-long texts refused, and the store's own cases.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "memo/PelMemoCore.h"
#include "memo/PelStream.h"

namespace {

void LoadText(TPelMemoCore& M, const std::string& Bytes) {
  TMemoryStream s(Bytes);
  M.LoadTextFromStream(s);
}

// The model's view of inserted text: a CR (with an optional LF after it) is a
// break, written CR LF; a lone LF stays a character.
std::string Normalize(const std::string& T) {
  std::string out;
  for (size_t i = 0; i < T.size(); ++i) {
    if (T[i] == '\r') {
      out += "\r\n";
      if (i + 1 < T.size() && T[i + 1] == '\n') ++i;
    } else {
      out.push_back(T[i]);
    }
  }
  return out;
}

std::string RandomText(std::mt19937& Rng, int MaxLen) {
  static const char alphabet[] = "abcxyz \t\r\n";
  std::string t;
  const int n = static_cast<int>(Rng() % static_cast<unsigned>(MaxLen + 1));
  for (int i = 0; i < n; ++i) {
    const unsigned r = Rng() % 20;
    if (r == 0)
      t += "\r\n";
    else
      t.push_back(alphabet[Rng() % (sizeof alphabet - 1)]);
  }
  return t;
}

void Replace(TPelMemoCore& M, int32_t A, int32_t B, const std::string& T) {
  M.SetSelStart(A);
  M.SetSelLength(B - A);
  M.SetSelTextBuf(T.c_str());
}

}  // namespace

TEST(MemoEdit, RandomEditsMatchAStringModelAndShiftNavigators) {
  std::mt19937 rng(20261207);
  for (int round = 0; round < 20; ++round) {
    TPelMemoCore m;
    std::string model = Normalize(RandomText(rng, 60));
    m.SetTextBuf(model.c_str());
    m.ClearUndo();
    ASSERT_EQ(m.GetText(), model);
    std::vector<std::unique_ptr<TPelNavigator>> navs;
    for (int k = 0; k < 6; ++k) navs.push_back(std::make_unique<TPelNavigator>(&m));
    navs[5]->ResetOnEdit = true;
    for (auto& n : navs) n->SetPos(static_cast<int32_t>(rng() % (model.size() + 1)));

    for (int step = 0; step < 150; ++step) {
      const int32_t len = static_cast<int32_t>(model.size());
      int32_t a = static_cast<int32_t>(rng() % static_cast<unsigned>(len + 1));
      int32_t b = static_cast<int32_t>(rng() % static_cast<unsigned>(len + 1));
      if (a > b) std::swap(a, b);
      if (rng() % 3 == 0) b = a;  // plain insertions too
      const std::string t = RandomText(rng, 8);
      // Locate some navigators, leave others unlocated.
      for (auto& n : navs)
        if (rng() % 2) n->GetParIndex();

      // The model: an end between CR and LF moves past the LF, a start before the CR.
      // An empty range between CR and LF is an insertion before the CR.
      int32_t ma = a, mb = b;
      if (ma > 0 && model[static_cast<size_t>(ma - 1)] == '\r') --ma;
      if (mb > 0 && model[static_cast<size_t>(mb - 1)] == '\r') mb = a == b ? ma : mb + 1;
      const std::string ins = Normalize(t);
      const bool nothing = a == b && t.empty();
      std::vector<int32_t> expectNav;
      for (auto& n : navs) {
        int32_t p = n->Pos;
        if (!nothing) {
          if (p > mb)
            p += static_cast<int32_t>(ins.size()) - (mb - ma);
          else if (p >= ma)
            p = ma;
        }
        expectNav.push_back(p);
      }
      if (!nothing) model = model.substr(0, static_cast<size_t>(ma)) + ins + model.substr(static_cast<size_t>(mb));

      Replace(m, a, b, t);
      ASSERT_EQ(m.GetText(), model) << "round " << round << " step " << step;
      ASSERT_NO_THROW(m.CheckIntegrity());
      EXPECT_EQ(m.GetParCount(), static_cast<int32_t>(std::count(model.begin(), model.end(), '\r')) + 1);
      if (!nothing) {
        EXPECT_EQ(m.GetSelStart(), ma + static_cast<int32_t>(ins.size())) << "caret after the inserted text";
      }
      for (size_t k = 0; k < navs.size(); ++k) {
        TPelNavigator& n = *navs[k];
        ASSERT_EQ(n.Pos, expectNav[k]) << "navigator " << k << " step " << step;
        // Its cached paragraph agrees with a fresh search.
        const int32_t par = n.GetParIndex();
        EXPECT_EQ(par, m.Paragraphs.FindPar(n.Pos));
        EXPECT_EQ(n.GetParOffset(), n.Pos - m.Paragraphs.Par(par).StartPos);
        const char expectChar = n.Pos < static_cast<int32_t>(model.size()) ? model[static_cast<size_t>(n.Pos)] : '\r';
        EXPECT_EQ(n.GetChar(), expectChar);
      }
    }
  }
}

TEST(MemoEdit, InsertingABreakSplitsAndALoneLfStays) {
  TPelMemoCore m;
  LoadText(m, "abcd");
  Replace(m, 2, 2, "x\ry");
  EXPECT_EQ(m.GetParCount(), 2);
  EXPECT_EQ(m.GetParText(0), "abx");
  EXPECT_EQ(m.GetParText(1), "ycd");
  EXPECT_EQ(m.GetTextLength(), 8);
  Replace(m, 0, 0, "p\nq");
  EXPECT_EQ(m.GetParCount(), 2);
  EXPECT_EQ(m.GetParText(0), "p\nqabx");
  m.CheckIntegrity();
}

TEST(MemoEdit, EditsBetweenCrAndLfMoveOutOfTheBreak) {
  TPelMemoCore m;
  LoadText(m, "ab\r\ncd");
  // A start between CR and LF goes to the paragraph end.
  Replace(m, 3, 3, "X");
  EXPECT_EQ(m.GetText(), "abX\r\ncd");
  m.CheckIntegrity();
  // An end between CR and LF goes to the next paragraph's start: the break goes.
  Replace(m, 1, 4, "Y");
  EXPECT_EQ(m.GetText(), "aYcd");
  EXPECT_EQ(m.GetParCount(), 1);
  m.CheckIntegrity();
  // Both ends between the same CR and LF: an insertion at the paragraph end.
  LoadText(m, "ab\r\ncd");
  Replace(m, 3, 3, "\r\n");
  EXPECT_EQ(m.GetText(), "ab\r\n\r\ncd");
  m.CheckIntegrity();
}

TEST(MemoEdit, NavigatorsKeepIndicesWhenRecordsMoveAndBlocksShrink) {
  TPelMemoCore m;
  std::string text;
  for (int i = 0; i < 5000; ++i) {
    text += 'p';
    text += std::to_string(i);
    text += "\r\n";
  }
  LoadText(m, text);
  const int32_t blocksBefore = m.Paragraphs.BlockCount();
  TPelNavigator nav(&m);
  nav.SetPos(m.GetParStart(4000) + 1);
  ASSERT_EQ(nav.GetParIndex(), 4000);
  // Delete paragraphs 0 .. 2999: records move down and whole blocks are freed.
  Replace(m, 0, m.GetParStart(3000), "");
  EXPECT_LT(m.Paragraphs.BlockCount(), blocksBefore);
  EXPECT_EQ(nav.GetParIndex(), 1000);
  EXPECT_EQ(nav.ReadText(5), "4000\r");
  // Insert many paragraphs before it: records move up into new blocks.
  Replace(m, 0, 0, text.substr(0, 30000));
  EXPECT_EQ(nav.ReadText(5), "4000\r");
  EXPECT_EQ(nav.GetParIndex(), m.Paragraphs.FindPar(nav.Pos));
  m.CheckIntegrity();
}

TEST(MemoEdit, TooLongTextIsRefusedBeforeAnythingChanges) {
  TPelMemoCore m;
  LoadText(m, "abc\r\ndef");
  Replace(m, 1, 2, "B");
  const int32_t records = m.UndoCount();
  const int32_t real = m.Paragraphs.TotalChars;
  // As if the text were nearly as long as 32 bits allow.
  m.Paragraphs.TotalChars = static_cast<int32_t>(MaxTextChars - 3);
  m.SetSelStart(2);
  try {
    m.SetSelTextBuf("123456");
    FAIL() << "expected Text too long";
  } catch (const EPelMemoError& e) {
    EXPECT_STREQ(e.what(), "Text too long");
  }
  EXPECT_EQ(m.UndoCount(), records);
  EXPECT_EQ(m.Paragraphs.TotalChars, static_cast<int32_t>(MaxTextChars - 3));
  m.Paragraphs.TotalChars = real;
  EXPECT_EQ(m.GetText(), "aBc\r\ndef");
  m.CheckIntegrity();
}

TEST(ParagraphStore, ReplaceTextRefusesAnOverLongTextUntouched) {
  TPelMemoCore m;
  LoadText(m, "abc");
  m.Paragraphs.TotalChars = static_cast<int32_t>(MaxTextChars - 1);  // as if nearly full
  TPelNavigator s(&m), e(&m);
  s.SetPos(1);
  e.SetPos(1);
  bool attrs;
  int32_t pd, cd;
  EXPECT_THROW(m.Paragraphs.ReplaceText("xy", s, attrs, pd, cd, false, false, e), EPelMemoError);
  EXPECT_FALSE(m.Paragraphs.EditInProgress);
  EXPECT_EQ(m.Paragraphs.ChangeLastPar, -1);
  EXPECT_EQ(m.Paragraphs.ParText(0), "abc");
  // Replacing as much as is inserted still fits.
  e.SetPos(3);
  m.Paragraphs.ReplaceText("xy", s, attrs, pd, cd, false, false, e);
  EXPECT_EQ(m.Paragraphs.ParText(0), "axy");
}

TEST(MemoEdit, NothingReplacedByNothingChangesNothing) {
  TPelMemoCore m;
  LoadText(m, "abc");
  int changes = 0;
  m.OnChange = [&](TPelMemoCore&) { ++changes; };
  m.Modified = false;
  m.SetSelStart(1);
  m.SetSelTextBuf(nullptr);
  m.SetSelTextBuf("");
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(m.Modified);
  EXPECT_EQ(m.UndoCount(), 0);
  m.SetSelTextBuf("x");
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(m.Modified);
}

TEST(MemoEdit, BeforeChangeMayReplaceTheText) {
  TPelMemoCore m;
  LoadText(m, "abc");
  m.OnBeforeChange = [](TPelMemoCore&, const char*& T) { T = "Z"; };
  Replace(m, 0, 1, "q");
  EXPECT_EQ(m.GetText(), "Zbc");
}

TEST(MemoEdit, EditsInsideUpdatesReportOneChangeAtTheEnd) {
  TPelMemoCore m;
  LoadText(m, "abc");
  int changes = 0;
  m.OnChange = [&](TPelMemoCore&) { ++changes; };
  m.BeginUpdate();
  Replace(m, 0, 0, "1\r\n");
  Replace(m, 0, 0, "2\r\n");
  EXPECT_EQ(changes, 0);
  m.EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(m.GetText(), "2\r\n1\r\nabc");
  m.CheckIntegrity();
}

TEST(MemoEdit, ColumnBlockIsDeletedRowByRow) {
  TPelMemoCore m;
  LoadText(m, "abcdef\r\nab\r\n\tx");
  m.TabStops = 4;
  // Rows 0 .. 2, columns 1 .. 4 (either order): "bcd", "b", and in "\tx" the tab
  // (columns 0 .. 3, column 1 lies inside it), but not the "x" at column 4.
  m.SetSelStart(1);
  m.SetSelLength(m.GetTextLength() - 1);
  m.BlockActive = true;
  m.BlockStartColumn = 4;
  m.BlockStopColumn = 1;
  m.SetSelTextBuf("Q");
  EXPECT_EQ(m.GetText(), "aef\r\na\r\nQx");
  EXPECT_EQ(m.UndoCount(), 4) << "three rows deleted, then the insertion";
  m.CheckIntegrity();
  while (m.CanUndo()) m.Undo();
  EXPECT_EQ(m.GetText(), "abcdef\r\nab\r\n\tx");
}

TEST(ParagraphStore, KeepStyleReinsertsTheCodesOfDeletedText) {
  TPelMemoCore m;
  m.SetStaticFormat(true);
  LoadText(m, "a\x02" "bc");
  TPelNavigator s(&m), e(&m);
  s.SetPos(0);
  e.SetPos(3);
  bool attrs;
  int32_t pd, cd;
  m.Paragraphs.ReplaceText("", s, attrs, pd, cd, true, false, e);
  EXPECT_EQ(m.Paragraphs.ParText(0), "\x02" "c") << "one bold code keeps c bold";
  EXPECT_EQ(cd, -2);
  EXPECT_EQ(e.Pos, 1) << "the end stands after the re-inserted code";
  // Two codes of the same kind cancel: nothing to re-insert.
  LoadText(m, "\x01x\x01y");
  s.SetPos(0);
  e.SetPos(3);
  m.Paragraphs.ReplaceText("", s, attrs, pd, cd, true, false, e);
  EXPECT_EQ(m.Paragraphs.ParText(0), "y");
  // Codes of every kind come back in the order underline, italic, bold, highlight, font.
  LoadText(m, "\x04\x03\x02\x01\x15z");
  s.SetPos(0);
  e.SetPos(5);
  m.Paragraphs.ReplaceText("", s, attrs, pd, cd, true, false, e);
  EXPECT_EQ(m.Paragraphs.ParText(0), "\x15\x01\x02\x03\x04z");
}

TEST(ParagraphStore, NewParagraphsTakeTheStyleByteRunningIntoThem) {
  TPelMemoCore m;
  m.SetStaticFormat(true);
  LoadText(m, "\x01" "ab");
  // Italic from the paragraph start; the inserted text switches bold on before
  // its break, so the new paragraph starts italic and bold.
  Replace(m, 2, 2, "\x02" "x\ry\rz");
  ASSERT_EQ(m.GetParCount(), 3);
  EXPECT_EQ(GetParStaticStyle(m.Paragraphs.Par(0)), 0);
  EXPECT_EQ(GetParStaticStyle(m.Paragraphs.Par(1)), StyleItalic | StyleBold);
  EXPECT_EQ(GetParStaticStyle(m.Paragraphs.Par(2)), StyleItalic | StyleBold);
  EXPECT_EQ(m.GetParText(2), "zb");
  m.CheckIntegrity();
}

TEST(ParagraphStore, ShortAndExtendedForms) {
  TParagraph p = NewParagraph();
  StoreParText(p, std::string(65534, 'a'));
  EXPECT_FALSE(p.Flags & pfExtended);
  LineInfo l = GetFirstLineInfo(p);
  l.Width = l.FullWidth = 65535;
  SetFirstLineInfo(p, l);
  EXPECT_FALSE(p.Flags & pfExtended) << "one line narrower than 65536 pixels stays short";
  EXPECT_EQ(GetFirstLineInfo(p).Width, 65535);
  l.Width = 65536;
  SetFirstLineInfo(p, l);
  EXPECT_TRUE(p.Flags & pfExtended);
  EXPECT_EQ(GetFirstLineInfo(p).Width, 65536);
  FreeParagraph(p);

  TParagraph q = NewParagraph();
  StoreParText(q, std::string(65535, 'b'));
  EXPECT_TRUE(q.Flags & pfExtended) << "65535 characters need the extended form";
  EXPECT_EQ(GetParLength(q), 65535);
  EXPECT_EQ(GetParTextColor(q), -1);
  EXPECT_EQ(GetFirstLineInfo(q).Stop, 65535);
  FreeParagraph(q);

  // A start style without bit 7 is the default; one with it extends the paragraph.
  TParagraph r = NewParagraph();
  TStyleRecord plain;
  SetParStartStyle(r, &plain, true);
  EXPECT_FALSE(r.Flags & pfExtended);
  EXPECT_EQ(GetParStartStyle(r), &DefaultStyle);
  TStyleRecord* shared = CopyStyle(&plain);
  shared->Flags = 0x80;
  SetParStartStyle(r, shared, false);
  EXPECT_EQ(GetParStartStyle(r), shared);
  EXPECT_EQ(shared->CountOrOffset, 2);
  FreeParagraph(r);
  EXPECT_EQ(shared->CountOrOffset, 1);
  ReleaseStyle(shared);
}

TEST(ParagraphStore, OwnTextBufferFollowsTheSizeRule) {
  TParagraph p = NewParagraph();
  StoreParText(p, std::string(640, 'a'));
  EXPECT_EQ(ParTextBufSize(p.Text), 640 + 10 + 1);
  const char* buf = p.Text;
  StoreParText(p, std::string(645, 'b'));
  EXPECT_EQ(p.Text, buf) << "still fits: edited in place";
  StoreParText(p, std::string(651, 'c'));
  EXPECT_NE(ParTextBufSize(p.Text), 651) << "reaching the size takes a new standard buffer";
  EXPECT_EQ(ParTextBufSize(p.Text), 651 + 10 + 1);
  StoreParText(p, std::string(100, 'd'));
  EXPECT_EQ(ParTextBufSize(p.Text), 100 + 1 + 1) << "far too big: replaced by a standard one";
  EXPECT_EQ(std::string(p.Text), std::string(100, 'd'));
  FreeParagraph(p);
}

TEST(ParagraphStore, AttributeRecordsAroundAnEdit) {
  TPelMemoCore m;
  LoadText(m, "abcdefgh");
  TPelNavigator nav(&m);
  TStyleRecord st;
  st.Flags = 0x80;
  st.KeyValue = 7;
  for (int32_t off : {1, 4, 6}) {
    nav.SetPos(off);
    nav.InsertAttribute(st);
  }
  // Replace "de" (3 .. 5) by "X\rYZ": the record at 4 is dropped, the one at 6
  // moves into the new paragraph at offset 6 - 5 + 2 = 3.
  TPelNavigator s(&m), e(&m);
  s.SetPos(3);
  e.SetPos(5);
  bool removed = false;
  int32_t pd, cd;
  m.Paragraphs.ReplaceText("X\rYZ", s, removed, pd, cd, false, false, e);
  EXPECT_TRUE(removed);
  EXPECT_EQ(pd, 1);
  EXPECT_EQ(cd, 3);
  ASSERT_EQ(GetAttrCount(m.Paragraphs.Par(0)), 1);
  EXPECT_EQ(m.Paragraphs.Par(0).Extra->Attributes[0].CountOrOffset, 1);
  ASSERT_EQ(GetAttrCount(m.Paragraphs.Par(1)), 1);
  EXPECT_EQ(m.Paragraphs.Par(1).Extra->Attributes[0].CountOrOffset, 3);
  EXPECT_EQ(m.Paragraphs.ParText(1), "YZfgh");
  // The new paragraph starts in the style of the record before the start.
  EXPECT_EQ(GetParStartStyle(m.Paragraphs.Par(1))->KeyValue, 7);
  EXPECT_EQ(e.ParIndex, 1);
  EXPECT_EQ(e.ParOffset, 2);
  EXPECT_EQ(e.Pos, m.Paragraphs.Par(1).StartPos + 2);
}
