// Loading, writing and the block array of the paragraph store.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "memo/PelMemoCore.h"
#include "memo/PelStream.h"

namespace {

struct Loaded {
  TParagraphsList Store;
  TPelLineBreak Break = TPelLineBreak::pbCRLF;
  std::vector<std::string> Pars() const {
    std::vector<std::string> out;
    for (int32_t i = 0; i < Store.GetCount(); ++i) out.emplace_back(Store.ParText(i));
    return out;
  }
};

void Load(Loaded& L, const std::string& Bytes, bool Discard = false, char NullRepl = '\0') {
  TMemoryStream s(Bytes);
  L.Store.LoadFromStream(s, NullRepl, 0, nullptr, L.Break, Discard);
}

// TotalChars of a loaded text: the sum of the lengths plus 2 per break.
int64_t ExpectedTotal(const std::vector<std::string>& Pars) {
  int64_t t = 0;
  for (const auto& p : Pars) t += static_cast<int64_t>(p.size());
  return t + 2 * (static_cast<int64_t>(Pars.size()) - 1);
}

void ExpectConsistent(const TParagraphsList& S) {
  int32_t pos = 0;
  for (int32_t i = 0; i < S.GetCount(); ++i) {
    EXPECT_EQ(S.Par(i).StartPos, pos) << "paragraph " << i;
    EXPECT_EQ(S.Par(i).FirstLine, i);
    pos += GetParLength(S.Par(i)) + 2;
  }
  EXPECT_EQ(S.TotalChars, pos - 2);
  EXPECT_EQ(S.TotalLines, S.GetCount());
}

}  // namespace

TEST(ParagraphLoad, EmptyStreamIsOneEmptyParagraph) {
  Loaded L;
  L.Break = TPelLineBreak::pbLF;
  Load(L, "");
  ASSERT_EQ(L.Store.GetCount(), 1);
  EXPECT_EQ(L.Store.ParText(0), "");
  EXPECT_EQ(L.Store.TotalChars, 0);
  EXPECT_EQ(L.Store.TotalLines, 1);
  EXPECT_EQ(L.Break, TPelLineBreak::pbLF) << "a text without a break leaves the line break as it was";
  EXPECT_EQ(L.Store.ChangeLastPar, 0);
  EXPECT_EQ(L.Store.PendingLastPar, 1);
}

TEST(ParagraphLoad, TheFourKindsOfBreak) {
  struct Case {
    std::string Bytes;
    std::vector<std::string> Pars;
    TPelLineBreak Break;
  } cases[] = {
      {"a\r\n\r\nb", {"a", "", "b"}, TPelLineBreak::pbCRLF},
      {"a\n\rb", {"a", "b"}, TPelLineBreak::pbLFCR},
      {"a\r\rb", {"a", "", "b"}, TPelLineBreak::pbCR},
      {"a\nb\n", {"a", "b", ""}, TPelLineBreak::pbLF},
      // The last break decides.
      {"a\r\nb\nc", {"a", "b", "c"}, TPelLineBreak::pbLF},
      // LF CR LF: one LF CR break, then a lone LF.
      {"a\n\r\nb", {"a", "", "b"}, TPelLineBreak::pbLF},
  };
  for (const Case& c : cases) {
    Loaded L;
    Load(L, c.Bytes);
    EXPECT_EQ(L.Pars(), c.Pars) << c.Bytes;
    EXPECT_EQ(L.Break, c.Break) << c.Bytes;
    EXPECT_EQ(L.Store.TotalChars, ExpectedTotal(c.Pars));
    ExpectConsistent(L.Store);
  }
}

TEST(ParagraphLoad, ParagraphLongerThanAChunkLoadsWhole) {
  // 150,000 bytes in one paragraph between two short ones: it spans three chunks.
  std::string big(150000, 'x');
  for (size_t i = 0; i < big.size(); i += 7) big[i] = static_cast<char>('a' + i % 26);
  Loaded L;
  Load(L, "first\r\n" + big + "\r\nlast");
  ASSERT_EQ(L.Store.GetCount(), 3);
  EXPECT_EQ(L.Store.ParText(0), "first") << "moved into a buffer of its own when the chunk was carried";
  EXPECT_EQ(L.Store.ParText(1), big);
  EXPECT_EQ(L.Store.ParText(2), "last");
  EXPECT_TRUE(L.Store.Par(1).Flags & pfExtended) << "65535 characters or more need the extended form";
  EXPECT_FALSE(L.Store.Par(0).Flags & pfExtended);
  EXPECT_EQ(L.Store.TotalChars, 5 + 2 + 150000 + 2 + 4);
  ExpectConsistent(L.Store);
}

TEST(ParagraphLoad, BreakStraddlingTheChunkBoundaryIsOneBreak) {
  // CR is byte 65499 (the last of the first chunk), LF byte 65500 (the first of the next).
  for (const char* brk : {"\r\n", "\n\r"}) {
    std::string text(65499, 'a');
    text += brk;
    text += "tail";
    Loaded L;
    Load(L, text);
    ASSERT_EQ(L.Store.GetCount(), 2) << "no extra empty paragraph";
    EXPECT_EQ(L.Store.ParText(0).size(), 65499u);
    EXPECT_EQ(L.Store.ParText(1), "tail");
    EXPECT_EQ(L.Break, brk[0] == '\r' ? TPelLineBreak::pbCRLF : TPelLineBreak::pbLFCR);
    ExpectConsistent(L.Store);
  }
  // A lone CR as the last byte of a chunk followed by more text stays one break too.
  std::string text(65499, 'b');
  text += "\rnext";
  Loaded L;
  Load(L, text);
  ASSERT_EQ(L.Store.GetCount(), 2);
  EXPECT_EQ(L.Store.ParText(1), "next");
  EXPECT_EQ(L.Break, TPelLineBreak::pbCR);
}

TEST(ParagraphLoad, ManyChunksOfShortLinesKeepTheirText) {
  // Paragraphs whose texts live in earlier buffers stay intact when buffers are
  // copied or kept; every line carries its own number so a stale address shows.
  std::string text;
  std::vector<std::string> expect;
  for (int i = 0; i < 40000; ++i) {
    std::string line = "line " + std::to_string(i) + std::string(static_cast<size_t>(i % 13), '.');
    expect.push_back(line);
    text += line + (i % 3 == 0 ? "\r\n" : (i % 3 == 1 ? "\n" : "\r"));
  }
  expect.emplace_back();
  Loaded L;
  Load(L, text);
  EXPECT_EQ(L.Pars(), expect);
  EXPECT_EQ(L.Store.TotalChars, ExpectedTotal(expect));
  ExpectConsistent(L.Store);
}

TEST(ParagraphLoad, RandomLongAndShortLinesAcrossChunks) {
  // Lines of 0 .. 30,000 bytes with every kind of break; the expected paragraphs
  // come from an independent reading of the same bytes.
  std::mt19937 rng(5);
  for (int round = 0; round < 6; ++round) {
    std::string text;
    for (int i = 0; i < 40; ++i) {
      const size_t len = rng() % 4 == 0 ? rng() % 30000 : rng() % 50;
      std::string line(len, '\0');
      for (char& c : line) c = static_cast<char>('a' + rng() % 26);
      static const char* const breaks[] = {"\r\n", "\n\r", "\r", "\n"};
      text += line + breaks[rng() % 4];
    }
    // LF after a lone CR (or CR after a lone LF) reads as one pair, so the
    // paragraphs are not simply the lines written: read the bytes independently.
    std::vector<std::string> pars;
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '\r' || c == '\n') {
        pars.push_back(cur);
        cur.clear();
        if (i + 1 < text.size() && text[i + 1] == (c == '\r' ? '\n' : '\r')) ++i;
      } else {
        cur.push_back(c);
      }
    }
    pars.push_back(cur);
    Loaded L;
    Load(L, text);
    EXPECT_EQ(L.Pars(), pars) << "round " << round;
    EXPECT_EQ(L.Store.TotalChars, ExpectedTotal(pars));
    ExpectConsistent(L.Store);
  }
}

TEST(ParagraphLoad, NulEndsTheTextUnlessReplaced) {
  {
    Loaded L;
    TMemoryStream s(std::string("ab\r\ncd\0ef", 9));
    L.Store.LoadFromStream(s, '\0', 0, nullptr, L.Break, false);
    EXPECT_EQ(L.Pars(), (std::vector<std::string>{"ab", "cd"}));
    EXPECT_EQ(s.Position(), 7) << "positioned after the NUL";
  }
  {
    Loaded L;
    Load(L, std::string("ab\0cd", 5), false, '?');
    EXPECT_EQ(L.Pars(), (std::vector<std::string>{"ab?cd"}));
  }
}

TEST(ParagraphLoad, DiscardTrailingSpacesCutsTabsAndBlanks) {
  Loaded L;
  Load(L, "a \t \r\n  b\t\r\n  ", true);
  EXPECT_EQ(L.Pars(), (std::vector<std::string>{"a", "  b", ""}));
  ExpectConsistent(L.Store);
}

TEST(ParagraphLoad, StyleCodesMakeTheNextParagraphsExtended) {
  Loaded L;
  L.Store.StaticFormat = true;
  // Bold on in the first paragraph runs on into the second; off again in the second.
  Load(L, "a\x02" "b\r\nc\x02" "d\r\ne");
  ASSERT_EQ(L.Store.GetCount(), 3);
  EXPECT_EQ(GetParStaticStyle(L.Store.Par(0)), 0);
  EXPECT_EQ(GetParStaticStyle(L.Store.Par(1)), 1);
  EXPECT_TRUE(L.Store.Par(1).Flags & pfExtended);
  EXPECT_EQ(GetParStaticStyle(L.Store.Par(2)), 0);
}

TEST(ParagraphLoad, TooLongForThirtyTwoBitsIsRefused) {
  Loaded L;
  Load(L, "abc");
  L.Store.TotalChars = static_cast<int32_t>(MaxTextChars - 2);  // as if nearly full
  TMemoryStream s(std::string("more text"));
  try {
    L.Store.LoadFromStream(s, '\0', 0, nullptr, L.Break, false);
    FAIL() << "expected Text too long";
  } catch (const EPelMemoError& e) {
    EXPECT_STREQ(e.what(), "Text too long");
  }
}

TEST(ParagraphWrite, RandomTextsComeBackWithCrLfBreaks) {
  std::mt19937 rng(17);
  const char alphabet[] = "ab \t\r\n\x01\xe9";
  for (int round = 0; round < 200; ++round) {
    std::string text;
    const int n = static_cast<int>(rng() % 300);
    for (int i = 0; i < n; ++i) text.push_back(alphabet[rng() % (sizeof alphabet - 1)]);
    // The expected result, by an independent reading: any of CR LF, LF CR, CR, LF
    // is one break, written back as CR LF.
    std::string expect;
    for (size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '\r' || c == '\n') {
        const char other = c == '\r' ? '\n' : '\r';
        if (i + 1 < text.size() && text[i + 1] == other) ++i;
        expect += "\r\n";
      } else {
        expect.push_back(c);
      }
    }
    Loaded L;
    Load(L, text);
    TMemoryStream out;
    ASSERT_TRUE(L.Store.WriteText(out, false, 0, nullptr, TPelLineBreak::pbCRLF, false));
    EXPECT_EQ(out.Bytes(), expect);
  }
}

TEST(ParagraphWrite, BreakKindsStrippedCodesAndTrailingBlanks) {
  Loaded L;
  L.Store.StaticFormat = true;
  Load(L, "a\x02\x01\x02 \r\nb  ");
  TMemoryStream lf;
  L.Store.WriteText(lf, false, 0, nullptr, TPelLineBreak::pbLF, false);
  EXPECT_EQ(lf.Bytes(), "a\x02\x01\x02 \nb  ");
  TMemoryStream stripped;
  L.Store.WriteText(stripped, true, 0, nullptr, TPelLineBreak::pbLFCR, true);
  // The two bold codes are separated only by another code: they cancel.
  EXPECT_EQ(stripped.Bytes(), "a\x01\n\rb");
}

TEST(DynArray, CapacityGrowsByBlocksAndNeverShrinksOnCount) {
  TDynArray2 a(17, 18);
  EXPECT_EQ(a.ItemsPerBlock, 1820);
  a.SetCapacity(0);
  EXPECT_EQ(a.BlockCount(), 1);
  EXPECT_EQ(a.GetCapacity(), 1820);
  a.SetCount(1821);
  EXPECT_EQ(a.BlockCount(), 2);
  void* first = a.GetItem(0);
  a.SetCount(5000);
  EXPECT_EQ(a.GetItem(0), first) << "growing never moves an item";
  a.SetCount(3);
  EXPECT_EQ(a.GetCapacity(), 3 * 1820);
  a.SetCount(-4);
  EXPECT_EQ(a.GetCount(), 0);
  EXPECT_THROW(a.GetItem(0), EListError);
  unsigned char rec[17] = {1, 2, 3};
  EXPECT_EQ(a.Add(rec), 0);
  unsigned char back[17] = {};
  a.GetItemCopy(0, back);
  EXPECT_EQ(back[2], 3);
  try {
    a.GetItem(1);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds");
  }
}

TEST(ParagraphStore, ChangedRangeGrowsAndParsedRangeShrinks) {
  Loaded L;
  Load(L, "a\r\nb\r\nc\r\nd\r\ne");
  L.Store.ChangeLastPar = -1;  // as after the memo took the range
  L.Store.LastParsedPar = 4;
  L.Store.ChangeConsumed = true;
  L.Store.MarkChanged(2, 0, 3);
  EXPECT_EQ(L.Store.ChangeFirstPar, 2);
  EXPECT_EQ(L.Store.ChangeFirstLine, 2);
  EXPECT_EQ(L.Store.ChangeLastPar, 3);
  EXPECT_EQ(L.Store.LastParsedPar, 1);
  EXPECT_FALSE(L.Store.ChangeConsumed);
  L.Store.MarkChanged(4, 0, 4);
  EXPECT_EQ(L.Store.ChangeFirstPar, 2);
  EXPECT_EQ(L.Store.ChangeLastPar, 4);
  EXPECT_EQ(L.Store.LastParsedPar, 1);
  L.Store.MarkChanged(1, 0, 1);
  EXPECT_EQ(L.Store.ChangeFirstPar, 1);
  EXPECT_EQ(L.Store.ChangeFirstLine, 1);
  EXPECT_EQ(L.Store.ChangeLastPar, 4);
  EXPECT_EQ(L.Store.LastParsedPar, 0);

  for (int32_t i = 0; i < 5; ++i) L.Store.Par(i).Flags |= pfFormatted;
  L.Store.MarkAllUnformatted();
  for (int32_t i = 0; i < 5; ++i) EXPECT_FALSE(L.Store.Par(i).Flags & pfFormatted);
  EXPECT_EQ(L.Store.PendingFirstPar, 0);
  EXPECT_EQ(L.Store.PendingLastPar, 4);
  L.Store.Clear();
  EXPECT_EQ(L.Store.GetCount(), 0);
  EXPECT_EQ(L.Store.BlockCount(), 1);
  EXPECT_TRUE(L.Store.TextBuffers.empty());
  EXPECT_EQ(L.Store.PendingLastPar, -1);
}

TEST(ParagraphStore, ShiftsCrossBlockBoundaries) {
  Loaded L;
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "x\r\n";
  Load(L, text);
  ASSERT_GE(L.Store.BlockCount(), 3);
  const int32_t per = L.Store.ItemsPerBlock;
  L.Store.ShiftStartPosAndLines(1000, 7, 3);
  EXPECT_EQ(L.Store.Par(999).StartPos, 999 * 3);
  for (int32_t i : {1000, per - 1, per, 2 * per, 3000}) {
    EXPECT_EQ(L.Store.Par(i).StartPos, i * 3 + 7) << i;
    EXPECT_EQ(L.Store.Par(i).FirstLine, i + 3) << i;
  }
  L.Store.ShiftLineIndices(per, -3);
  EXPECT_EQ(L.Store.Par(per).FirstLine, per);
  EXPECT_EQ(L.Store.Par(per - 1).FirstLine, per + 2);
  L.Store.ShiftStartPos(5000, 1);  // beyond the last: nothing
  EXPECT_EQ(L.Store.Par(3000).StartPos, 3000 * 3 + 7);
}
