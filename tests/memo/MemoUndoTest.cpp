// Undo and redo: replaying random edits both ways, grouping, trimming by level
// and by space, and discarding trailing blanks.
#include <gtest/gtest.h>

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

void Type(TPelMemoCore& M, const std::string& Chars) {
  for (char c : Chars) {
    const char t[2] = {c, '\0'};
    M.SetSelTextBuf(t);
  }
}

std::string RandomText(std::mt19937& Rng, int MaxLen) {
  static const char alphabet[] = "abc  \t\r\n";
  std::string t;
  const int n = static_cast<int>(Rng() % static_cast<unsigned>(MaxLen + 1));
  for (int i = 0; i < n; ++i) t.push_back(alphabet[Rng() % (sizeof alphabet - 1)]);
  return t;
}

// N random edits (selections replaced, deletions, runs of typing), then undo all
// and redo all, comparing the text byte for byte.
void RoundTrip(uint32_t Seed, bool Discard) {
  std::mt19937 rng(Seed);
  TPelMemoCore m;
  if (Discard) m.SetOptions(m.GetOptions() | pmoDiscardTrailingSpaces);
  m.SetUndoMaxSpace(1 << 30);
  LoadText(m, "first line  \r\nsecond\t\r\n\r\nfourth line with words");
  const std::string original = m.GetText();
  std::vector<std::string> states{original};
  for (int step = 0; step < 120; ++step) {
    const int32_t len = m.GetTextLength();
    int32_t a = static_cast<int32_t>(rng() % static_cast<unsigned>(len + 1));
    int32_t b = static_cast<int32_t>(rng() % static_cast<unsigned>(len + 1));
    if (a > b) std::swap(a, b);
    m.SetSelStart(a);
    switch (rng() % 3) {
      case 0:
        m.SetSelLength(b - a);
        m.SetSelTextBuf(RandomText(rng, 6).c_str());
        break;
      case 1:
        m.SetSelLength(b - a);
        m.SetSelTextBuf(nullptr);
        break;
      default:
        Type(m, RandomText(rng, 5));
        break;
    }
    ASSERT_NO_THROW(m.CheckIntegrity());
  }
  const std::string final = m.GetText();
  int undos = 0;
  while (m.CanUndo()) {
    m.Undo();
    ASSERT_NO_THROW(m.CheckIntegrity());
    ++undos;
  }
  EXPECT_EQ(m.GetText(), original) << "seed " << Seed;
  EXPECT_GT(undos, 0);
  int redos = 0;
  while (m.CanRedo()) {
    m.Redo();
    ASSERT_NO_THROW(m.CheckIntegrity());
    ++redos;
  }
  EXPECT_EQ(redos, undos);
  EXPECT_EQ(m.GetText(), final) << "seed " << Seed;
}

}  // namespace

TEST(MemoUndo, RandomEditsUndoToTheOriginalAndRedoToTheFinalText) {
  for (uint32_t seed = 1; seed <= 25; ++seed) RoundTrip(seed, false);
}

TEST(MemoUndo, WithTrailingBlanksDiscardedUndoStillRestoresEveryByte) {
  for (uint32_t seed = 100; seed <= 125; ++seed) RoundTrip(seed, true);
}

TEST(MemoUndo, DiscardedBlanksBeforeABreakAreInTheRecord) {
  TPelMemoCore m;
  m.SetOptions(m.GetOptions() | pmoDiscardTrailingSpaces);
  m.SetTextBuf("ab  cd");
  m.ClearUndo();
  // Enter after "ab  ": the blanks before the caret go with the break.
  m.SetSelStart(4);
  m.SetSelTextBuf("\r\n");
  EXPECT_EQ(m.GetText(), "ab\r\ncd");
  ASSERT_EQ(m.UndoCount(), 1);
  const TUndoRecord& r = m.GetUndoRecord(0);
  EXPECT_EQ(r.Start, 2);
  EXPECT_EQ(r.Stop, 4);
  EXPECT_EQ(r.Text, "  ");
  m.Undo();
  EXPECT_EQ(m.GetText(), "ab  cd");
  m.Redo();
  EXPECT_EQ(m.GetText(), "ab\r\ncd");
}

TEST(MemoUndo, ARecordThatChangedNothingDoesNotSwallowTheOneBefore) {
  TPelMemoCore m;
  m.SetOptions(m.GetOptions() | pmoDiscardTrailingSpaces);
  Type(m, "a");
  m.SetSelStart(1);
  Type(m, " ");  // a blank at the paragraph end is discarded: a record of nothing
  EXPECT_EQ(m.GetText(), "a");
  ASSERT_EQ(m.UndoCount(), 2);
  m.Undo();
  EXPECT_EQ(m.GetText(), "a");
  EXPECT_TRUE(m.CanUndo()) << "the typing of a is still undoable";
  m.Undo();
  EXPECT_EQ(m.GetText(), "");
  m.Redo();
  m.Redo();
  EXPECT_EQ(m.GetText(), "a");
  EXPECT_FALSE(m.CanRedo());
}

TEST(MemoUndo, TypingIsOneStepAndAClickStartsAnother) {
  TPelMemoCore m;
  Type(m, "abc");
  EXPECT_EQ(m.UndoCount(), 1);
  m.Undo();
  EXPECT_EQ(m.GetText(), "");
  EXPECT_FALSE(m.CanUndo());
  m.Redo();
  EXPECT_EQ(m.GetText(), "abc");
  EXPECT_EQ(m.GetSelStart(), 3);

  TPelMemoCore n;
  Type(n, "ab");
  n.SetSelStart(0);  // a click elsewhere
  n.SetSelStart(2);  // and back
  Type(n, "c");
  EXPECT_EQ(n.GetText(), "abc");
  n.Undo();
  EXPECT_EQ(n.GetText(), "ab");
  EXPECT_TRUE(n.CanUndo());
  n.Undo();
  EXPECT_EQ(n.GetText(), "");
  EXPECT_FALSE(n.CanUndo());
}

TEST(MemoUndo, TypingWithKeptSelectionsIsOneStep) {
  // Each key keeps the selection as a paste does; a character typed after the last
  // one still extends the same record.
  for (const uint32_t kept : {uint32_t{pmoNoOverwriteBlocks}, uint32_t{pmoNoOverwriteBlocks | pmoPersistentBlocks}}) {
    SCOPED_TRACE(kept);
    TPelMemoCore m;
    m.SetOptions(m.GetOptions() | kept);
    for (const char c : std::string("abc")) {
      m.SaveSelectionForPaste();
      const char t[2] = {c, '\0'};
      m.SetSelTextBuf(t);
      m.RestoreSelectionAfterPaste();
    }
    EXPECT_EQ(m.GetText(), "abc");
    EXPECT_EQ(m.GetCaretPos(), 3);
    m.Undo();
    EXPECT_EQ(m.GetText(), "");
    EXPECT_FALSE(m.CanUndo());
  }
}

TEST(MemoUndo, ReplacingASelectionMakesOneRecordWithTheRemovedText) {
  TPelMemoCore m;
  LoadText(m, "0123456789");
  m.SetSelStart(2);
  m.SetSelLength(5);
  m.SetSelTextBuf("x");
  ASSERT_EQ(m.UndoCount(), 1);
  const TUndoRecord& r = m.GetUndoRecord(0);
  EXPECT_EQ(r.Start, 2);
  EXPECT_EQ(r.Stop, 3);
  EXPECT_EQ(r.Text, "23456");
  EXPECT_FALSE(r.Grouped);
  EXPECT_EQ(m.GetUndoBytes(), 5 + 13);
  m.Undo();
  EXPECT_EQ(m.GetText(), "0123456789");
  EXPECT_TRUE(m.CanRedo());
  EXPECT_EQ(m.GetUndoRecord(0).Text, "x") << "the record now holds the inverse edit";
}

TEST(MemoUndo, AnEditAfterUndoDropsTheRedoTail) {
  TPelMemoCore m;
  Type(m, "ab");
  m.SetSelStart(2);
  Type(m, "cd");
  m.Undo();
  EXPECT_TRUE(m.CanRedo());
  m.SetSelStart(0);
  Type(m, "X");
  EXPECT_FALSE(m.CanRedo());
  EXPECT_EQ(m.GetText(), "Xab");
  EXPECT_EQ(m.UndoCount(), 2);
}

TEST(MemoUndo, TrimmingByLevel) {
  TPelMemoCore m;
  m.SetUndoMaxLevel(3);
  for (int i = 0; i < 6; ++i) {
    m.SetSelStart(m.GetTextLength());
    Type(m, std::string(1, static_cast<char>('a' + i)));
  }
  EXPECT_EQ(m.GetText(), "abcdef");
  EXPECT_EQ(m.UndoCount(), 4) << "at most the level + 1 after an edit";
  m.SetUndoMaxLevel(3);  // the setter trims to the level itself
  EXPECT_EQ(m.UndoCount(), 3);
  while (m.CanUndo()) m.Undo();
  EXPECT_EQ(m.GetText(), "abc");
  // Lowering the level below the undo index drops the oldest, and redo records first.
  m.Redo();
  m.SetUndoMaxLevel(1);
  EXPECT_EQ(m.UndoCount(), 1);
  EXPECT_EQ(m.GetUndoIndex(), 1);
  // Level 0 records nothing.
  m.SetUndoMaxLevel(0);
  Type(m, "z");
  EXPECT_EQ(m.UndoCount(), 0);
  try {
    m.SetUndoMaxLevel(134217728);
    FAIL() << "expected Undo set too high";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "Undo set too high");
  }
  EXPECT_EQ(m.GetUndoMaxLevel(), 0);
  EXPECT_NO_THROW(m.SetUndoMaxLevel(134217727));
}

TEST(MemoUndo, TrimmingBySpaceKeepsTheNewRecordComplete) {
  TPelMemoCore m;
  LoadText(m, std::string(50, 'a') + std::string(30, 'b') + "c");
  m.SetUndoMaxSpace(100);
  // Delete the 50 a's: a record of 50 + 13 = 63 bytes.
  m.SetSelStart(0);
  m.SetSelLength(50);
  m.SetSelTextBuf(nullptr);
  EXPECT_EQ(m.GetUndoBytes(), 63);
  // Replace the 30 b's by "XY": 43 more bytes, 106 > 100, so the oldest goes and
  // the new record, now at index 0, still gets its stop.
  m.SetSelStart(0);
  m.SetSelLength(30);
  m.SetSelTextBuf("XY");
  ASSERT_EQ(m.UndoCount(), 1);
  EXPECT_EQ(m.GetUndoBytes(), 43);
  EXPECT_EQ(m.GetUndoRecord(0).Start, 0);
  EXPECT_EQ(m.GetUndoRecord(0).Stop, 2);
  m.Undo();
  EXPECT_EQ(m.GetText(), std::string(30, 'b') + "c");
  EXPECT_FALSE(m.CanUndo());
  // A single record larger than the space is dropped at once.
  m.SetSelStart(0);
  m.SetSelLength(31);
  m.SetSelTextBuf("q");
  m.SetUndoMaxSpace(40);
  m.SetSelStart(0);
  m.SetSelLength(1);
  std::string big(60, 'z');
  m.SetSelTextBuf(big.c_str());
  m.SetSelStart(0);
  m.SetSelLength(60);
  m.SetSelTextBuf(nullptr);  // a 73-byte record
  EXPECT_EQ(m.GetText(), "");
  EXPECT_LE(m.GetUndoBytes(), 40);
  for (int32_t i = 0; i < m.UndoCount(); ++i) EXPECT_NE(m.GetUndoRecord(i).Text.size(), 60u);
}

TEST(MemoUndo, SpaceSetterDropsRedoRecordsFirst) {
  TPelMemoCore m;
  Type(m, "abc");
  m.SetSelStart(0);
  m.SetSelLength(3);
  m.SetSelTextBuf("0123456789");  // record of 3 + 13 = 16 bytes
  m.Undo();                        // record 1 holds the 10 characters: 23 bytes, a redo record
  EXPECT_EQ(m.GetUndoBytes(), 13 + 23);
  m.SetUndoMaxSpace(20);
  EXPECT_EQ(m.UndoCount(), 1);
  EXPECT_FALSE(m.CanRedo());
  EXPECT_TRUE(m.CanUndo());
}

TEST(MemoUndo, ClearUndoAndLoadingForgetEverything) {
  TPelMemoCore m;
  Type(m, "abc");
  m.ClearUndo();
  EXPECT_FALSE(m.CanUndo());
  EXPECT_EQ(m.GetUndoBytes(), 0);
  Type(m, "d");
  LoadText(m, "new");
  EXPECT_FALSE(m.CanUndo());
  EXPECT_FALSE(m.CanRedo());
}

TEST(MemoUndo, GroupedRecordsUndoAndRedoAsOneStep) {
  TPelMemoCore m;
  LoadText(m, "abcdef");
  // A move of "ab" to the end: a deletion and an insertion, the second grouped.
  m.SetSelStart(0);
  m.SetSelLength(2);
  m.SetSelTextBuf(nullptr);
  m.SetSelStart(4);
  m.SetSelTextBuf("ab");
  ASSERT_EQ(m.UndoCount(), 2);
  m.MarkUndoGrouped(1);
  EXPECT_EQ(m.GetText(), "cdefab");
  m.Undo();
  EXPECT_EQ(m.GetText(), "abcdef");
  EXPECT_FALSE(m.CanUndo());
  m.Redo();
  EXPECT_EQ(m.GetText(), "cdefab");
  EXPECT_FALSE(m.CanRedo());
  m.Undo();
  EXPECT_EQ(m.GetText(), "abcdef") << "still grouped after a redo";
}
