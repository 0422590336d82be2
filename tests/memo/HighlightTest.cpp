// Keyword and start/stop-key highlighting without a window: the lists, the
// parse passes with their context carried from paragraph to paragraph, styles
// given from outside, and the in-text style codes as edits.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "memo/PelHighlighter.h"
#include "memo/PelMemoCore.h"
#include "memo/PelMemoInput.h"
#include "memo/PelMemoParse.h"
#include "memo/PelStream.h"

namespace {

void LoadText(TPelMemoCore& M, const std::string& Bytes) {
  TMemoryStream s(Bytes);
  M.LoadTextFromStream(s);
}

// Parses and lays out every paragraph that needs it.
void ParseAll(TPelMemoCore& M) {
  M.ParseAttributesTo(M.GetParCount() - 1);
  M.FormatRange(0, M.GetParCount() - 1, false);
}

// The style in effect at the character at absolute offset Pos.
TStyleRecord StyleAt(TPelMemoCore& M, int32_t Pos) {
  TPelNavigator n(M.Paragraphs);
  n.Memo = &M;
  n.SetPos(Pos);
  n.SkipAttributesAtPos();
  return *n.GetAttrStyle();
}

// One character per position of paragraph Par: the key value of the style there
// as a digit ('.' for none), a picture of the highlighting.
std::string KeyMap(TPelMemoCore& M, int32_t Par, int32_t Limit = INT32_MAX) {
  std::string out;
  const int32_t start = M.GetParStart(Par);
  const int32_t len = std::min(Limit, static_cast<int32_t>(M.GetParText(Par).size()));
  for (int32_t i = 0; i < len; ++i) {
    const TStyleRecord s = StyleAt(M, start + i);
    out.push_back((s.Flags & sfHighlight) && s.KeyValue != 0 ? static_cast<char>('0' + s.KeyValue % 10) : '.');
  }
  return out;
}

int32_t StartKeyValue(TPelMemoCore& M, int32_t Par) {
  const TStyleRecord* s = GetParStartStyle(M.Paragraphs.Par(Par));
  return (s->Flags & sfHighlight) ? s->KeyValue : 0;
}

TKeyHeader Header(int32_t KeyValue, uint8_t Options = koWholeWord) {
  TKeyHeader h;
  h.KeyValue = KeyValue;
  h.Options = Options;
  h.Color1 = 0xFF;
  return h;
}

void AddBlockComment(TPelMemoCore& M, int32_t KeyValue = 9) {
  M.StartStopKeys.AddKey("/*", "*/", false, NoColor, 0x808080, 0, KeyValue, 0, 0);
}

void AddLineComment(TPelMemoCore& M, int32_t KeyValue = 8) {
  M.StartStopKeys.AddKey("//", "", true, NoColor, 0x808080, 0, KeyValue, 0, 0);
}

}  // namespace

TEST(KeywordList, DefaultsPreparationAndUpperCasing) {
  TKeywordList k;
  k.Add("begin");
  k.Add("End");
  const TKeyInfoLen& b = k.Key(0);
  EXPECT_EQ(b.KeyValue, 0);
  EXPECT_EQ(b.Options, 0);
  EXPECT_EQ(b.Color1, NoColor);
  EXPECT_EQ(b.Color2, NoColor);
  EXPECT_EQ(b.MatchKey, "BEGIN");
  EXPECT_EQ(k.MaxKeyLength, 5);
  EXPECT_TRUE(k.HasCaseInsensitive);

  k.BeginUpdate();
  k.Key(0).Options = koCaseSensitive;
  k.Key(1).Options = koCaseSensitive;
  EXPECT_EQ(k.Key(0).MatchKey, "BEGIN");  // prepared only when the update ends
  k.EndUpdate();
  EXPECT_EQ(k.Key(0).MatchKey, "begin");
  EXPECT_FALSE(k.HasCaseInsensitive);

  TKeyHeader h;
  k.AddKeyword("caf\xE9", Header(3, 0));
  k.GetKeyHeader(2, h);
  EXPECT_EQ(h.KeyValue, 3);
  EXPECT_EQ(h.Color1, 0xFF);
  EXPECT_EQ(k.Key(2).MatchKey, "CAF\xE9");  // ASCII mode leaves the accented letter
  k.SetUpperCaseType(TpmUpperCase::pmuAnsi);
  EXPECT_EQ(k.Key(2).MatchKey, "CAF\xC9");
  // A user mode without a routine behaves as ASCII; with one, the routine decides.
  k.SetUpperCaseType(TpmUpperCase::pmuUserDefined);
  EXPECT_EQ(k.Key(2).MatchKey, "CAF\xE9");
  PelUserUpperCase = [](char* T) {
    for (; *T; ++T) *T = '#';
  };
  k.Prepare();
  EXPECT_EQ(k.Key(2).MatchKey, "####");
  PelUserUpperCase = nullptr;

  TKeywordList copy;
  copy.Assign(k);
  ASSERT_EQ(copy.GetCount(), 3);
  EXPECT_EQ(copy.Key(2).KeyValue, 3);
  k.Delete(0);
  EXPECT_EQ(k.Get(0), "End");
  EXPECT_THROW(k.Get(5), EListError);
}

TEST(StartStopKeys, FirstAlternativesLengthsAndLimits) {
  TStartStopKeyList l;
  EXPECT_EQ(l.AddKey("<", ">", false, NoColor, NoColor, 0, 1, 0, 0), 0);
  EXPECT_EQ(l.AddKey("<", "/>", false, NoColor, NoColor, 0, 2, 0, 0), 1);
  EXPECT_EQ(l.AddKey("<", ")", false, NoColor, NoColor, 0, 3, 0, koCaseSensitive), 2);
  EXPECT_EQ(l.AddKey("rem", "", true, NoColor, NoColor, 0, 4, 0, 0), 3);
  EXPECT_EQ(l.Key(0).FirstAlternative, -1);
  EXPECT_EQ(l.Key(1).FirstAlternative, 0);
  EXPECT_EQ(l.Key(2).FirstAlternative, -1);  // other options
  EXPECT_EQ(l.Key(3).StartMatch, "REM");
  EXPECT_EQ(l.MaxStartLength, 3);
  EXPECT_EQ(l.MaxStopLength, 2);  // a break closes the line key: CR LF
  EXPECT_FALSE(l.Prepared);
  // A key whose length the style record could not hold is refused.
  EXPECT_NO_THROW(l.AddKey(std::string(254, 'a'), "b", false, NoColor, NoColor, 0, 1, 0, 0));
  EXPECT_THROW(l.AddKey(std::string(255, 'a'), "b", false, NoColor, NoColor, 0, 1, 0, 0), EListError);
  EXPECT_THROW(l.AddKey("a", std::string(255, 'b'), false, NoColor, NoColor, 0, 1, 0, 0), EListError);
  EXPECT_EQ(l.Count(), 5);

  TPelMemoCore m;
  l.Clear();
  l.AddKey("rem", "end", false, NoColor, NoColor, 0, 1, 0, koWholeWord);
  l.AddKey("{", "}", false, NoColor, NoColor, 0, 1, 0, koWholeWord);
  l.Prepare(m);
  EXPECT_TRUE(l.Key(0).StartSepBefore && l.Key(0).StartSepAfter && l.Key(0).StopSepBefore && l.Key(0).StopSepAfter);
  m.SetSeparators(std::string(" {}"));
  l.Prepare(m);
  EXPECT_FALSE(l.Key(1).StartSepBefore || l.Key(1).StartSepAfter || l.Key(1).StopSepBefore);
}

TEST(KeywordPass, KeyValueWholeWordAndCase) {
  TPelMemoCore m;
  m.Keywords.AddKeyword("begin", Header(1));
  m.Keywords.AddKeyword("End", Header(2, koCaseSensitive | koWholeWord));
  m.Keywords.AddKeyword("if", Header(0));        // key value 0: never matched
  m.Keywords.AddKeyword("", Header(4, 0));       // empty: never matched
  m.Keywords.AddKeyword("x+", Header(5, 0));     // not whole word: inside words too
  LoadText(m, "BEGIN Begin begins xbegin begin. if End END end x+y ax+");
  ParseAll(m);
  EXPECT_EQ(KeyMap(m, 0), "11111.11111...............11111.....222.........55...55");
  // The records hold the keyword's style: its index on the context stack.
  const TStyleRecord s = StyleAt(m, 0);
  EXPECT_EQ(GetStyleContext(s), 0);
  EXPECT_EQ(s.Stack[0], 0);
  EXPECT_EQ(s.Color1, 0xFF);
  EXPECT_TRUE(OutsideRegion(s));
}

TEST(KeywordPass, UpperCasingModesDecideAccentedMatches) {
  for (const auto mode : {TpmUpperCase::pmuAscii, TpmUpperCase::pmuAnsi, TpmUpperCase::pmuUserDefined}) {
    TPelMemoCore m;
    m.SetUpperCaseType(mode);
    m.Keywords.AddKeyword("caf\xE9", Header(1));
    LoadText(m, "caf\xE9 CAF\xC9 Caf\xE9");
    ParseAll(m);
    // Only the Latin-1 table knows that the capital of e-acute is E-acute.
    if (mode == TpmUpperCase::pmuAnsi)
      EXPECT_EQ(KeyMap(m, 0), "1111.1111.1111");
    else
      EXPECT_EQ(KeyMap(m, 0), "1111......1111") << static_cast<int>(mode);
  }
}

TEST(KeywordPass, NoKeywordsInsideACommentRegion) {
  for (const bool inContexts : {false, true}) {
    TPelMemoCore m;
    m.Keywords.AddKeyword("int", Header(1));
    m.Keywords.KeywordsInContexts = inContexts;
    AddBlockComment(m);
    LoadText(m, "int a; /* int b */ int");
    ParseAll(m);
    EXPECT_EQ(KeyMap(m, 0), "111....99999999999.111");
  }
  // A region whose key value is 0 does not stop keywords.
  TPelMemoCore m;
  m.Keywords.AddKeyword("int", Header(1));
  m.StartStopKeys.AddKey("<", ">", false, NoColor, NoColor, 0, 0, 0, 0);
  LoadText(m, "< int >");
  ParseAll(m);
  EXPECT_EQ(KeyMap(m, 0), "..111..");
}

TEST(StartStopPass, LineCommentStopsAtTheBreak) {
  TPelMemoCore m;
  AddLineComment(m);
  LoadText(m, "a // note\r\nb\r\nc // x");
  ParseAll(m);
  EXPECT_EQ(KeyMap(m, 0), "..8888888");
  EXPECT_EQ(KeyMap(m, 1), ".");
  EXPECT_EQ(StartKeyValue(m, 1), 0);
  EXPECT_EQ(KeyMap(m, 2), "..8888");
}

TEST(StartStopPass, BlockCommentCarriesOverParagraphsUntilItCloses) {
  TPelMemoCore m;
  AddBlockComment(m);
  m.Keywords.AddKeyword("kw", Header(1));
  LoadText(m, "a\r\nb kw\r\n/*c\r\nd*/ kw\r\ne kw\r\nf");
  ParseAll(m);
  EXPECT_EQ(KeyMap(m, 1), "..11");
  EXPECT_EQ(KeyMap(m, 2), "999");
  EXPECT_EQ(StartKeyValue(m, 3), 9);
  EXPECT_EQ(KeyMap(m, 3), "999.11");
  EXPECT_EQ(StartKeyValue(m, 4), 0);

  // Typing a start key at the top: the next paragraph is marked, and the chain
  // runs paragraph by paragraph until one already starts in the comment style.
  m.SetSelStart(0);
  m.SetSelText("/*");
  EXPECT_EQ(KeyMap(m, 0), "999");
  EXPECT_EQ(StartKeyValue(m, 1), 9);
  EXPECT_FALSE(m.Paragraphs.Par(1).Flags & pfContextParsed);
  EXPECT_GE(m.Paragraphs.PendingLastPar, 1);
  EXPECT_LE(m.Paragraphs.PendingFirstPar, 1);
  EXPECT_TRUE(m.Paragraphs.Par(3).Flags & pfContextParsed);
  ParseAll(m);
  EXPECT_EQ(KeyMap(m, 1), "9999");  // no keyword inside the comment
  EXPECT_EQ(StartKeyValue(m, 2), 9);
  EXPECT_EQ(KeyMap(m, 2), "999");   // "/*" inside a comment opens nothing
  EXPECT_EQ(KeyMap(m, 3), "999.11");
  EXPECT_EQ(StartKeyValue(m, 4), 0);
  EXPECT_EQ(KeyMap(m, 4), "..11");

  // Closing it early: the following paragraphs leave the comment again.
  m.SetSelStart(m.GetParStart(1));
  m.SetSelText("*/");
  ParseAll(m);
  EXPECT_EQ(KeyMap(m, 1), "99..11");
  EXPECT_EQ(StartKeyValue(m, 2), 0);
  EXPECT_EQ(KeyMap(m, 2), "999");
  EXPECT_EQ(KeyMap(m, 3), "999.11");
  EXPECT_EQ(KeyMap(m, 5), ".");
  m.CheckIntegrity();
}

TEST(StartStopPass, CarriedStyleStopsWhenItNoLongerChanges) {
  TPelMemoCore m;
  AddBlockComment(m);
  std::string text = "x\r\n/*\r\n";
  for (int i = 0; i < 50; ++i) text += "line\r\n";
  text += "*/\r\ny";
  LoadText(m, text);
  ParseAll(m);
  ASSERT_EQ(StartKeyValue(m, 20), 9);
  // An edit at the top that leaves the carried style as it was marks nothing below.
  for (int32_t i = 0; i < m.GetParCount(); ++i) m.Paragraphs.Par(i).Flags |= pfFormatted;
  m.Paragraphs.PendingFirstPar = m.GetParCount();
  m.Paragraphs.PendingLastPar = -1;
  m.SetSelStart(0);
  m.SetSelText("z");
  EXPECT_EQ(m.Paragraphs.PendingLastPar, -1);
  for (int32_t i = 2; i < m.GetParCount(); ++i) EXPECT_TRUE(m.Paragraphs.Par(i).Flags & pfContextParsed) << i;
  // Removing the start key marks the next paragraph only; each parsed one marks the next.
  m.SetSelStart(m.GetParStart(1));
  m.SetSelLength(2);
  m.ClearSelection();
  EXPECT_EQ(m.Paragraphs.PendingFirstPar, 2);
  EXPECT_EQ(m.Paragraphs.PendingLastPar, 2);
  m.ParseAttributesTo(10);
  EXPECT_EQ(StartKeyValue(m, 10), 0);
  EXPECT_EQ(StartKeyValue(m, 12), 9);  // not reached yet
  ParseAll(m);
  for (int32_t i = 2; i < m.GetParCount(); ++i) EXPECT_EQ(StartKeyValue(m, i), 0) << i;
}

TEST(StartStopPass, FirstAlternativeContinuesTheRegion) {
  TPelMemoCore m;
  m.StartStopKeys.AddKey("<", ">", false, NoColor, NoColor, 0, 1, 0, 0);
  m.StartStopKeys.AddKey("<", "/>", false, NoColor, NoColor, 0, 2, 0, 0);
  LoadText(m, "a<b>c/>d<e");
  ParseAll(m);
  EXPECT_EQ(KeyMap(m, 0), ".111222.11");
  EXPECT_EQ(StartStopContextBase + 1, StyleAt(m, 4).Stack[0]);
}

TEST(StartStopPass, FirstAlternativesFollowTheUpperCasingMode) {
  // Under ANSI upper-casing both start keys read "<\xC9": the second continues the
  // first's region up to its own stop. Switching the mode later must give what the
  // mode given first gives.
  for (const bool late : {false, true}) {
    SCOPED_TRACE(late ? "switched late" : "given first");
    TPelMemoCore m;
    if (!late) m.SetUpperCaseType(TpmUpperCase::pmuAnsi);
    m.StartStopKeys.AddKey("<\xE9", ">", false, NoColor, NoColor, 0, 1, 0, 0);
    m.StartStopKeys.AddKey("<\xC9", "!", false, NoColor, NoColor, 0, 2, 0, 0);
    LoadText(m, "x <\xE9 a > b ! c");
    ParseAll(m);
    if (late) {
      ASSERT_EQ(KeyMap(m, 0), "..111111......");
      m.SetUpperCaseType(TpmUpperCase::pmuAnsi);
      m.ResetFormatting();
      ParseAll(m);
    }
    EXPECT_EQ(KeyMap(m, 0), "..1111112222..");
    // And back: under ASCII the accented keys differ again.
    m.SetUpperCaseType(TpmUpperCase::pmuAscii);
    m.ResetFormatting();
    ParseAll(m);
    EXPECT_EQ(KeyMap(m, 0), "..111111......");
  }
}

TEST(StartStopPass, WholeWordKeysAndEmptyStartKeys) {
  TPelMemoCore m;
  m.StartStopKeys.AddKey("", "x", false, NoColor, NoColor, 0, 1, 0, 0);  // never opens
  m.StartStopKeys.AddKey("rem", "end", false, NoColor, NoColor, 0, 2, 0, koWholeWord);
  LoadText(m, "prem a rem b endx end c");
  ParseAll(m);
  EXPECT_EQ(KeyMap(m, 0), ".......22222222222222..");
}

TEST(SetStyleRange, GivesAStyleAndRestoresTheOneBefore) {
  TPelMemoCore m;
  LoadText(m, "hello world\r\nsecond");
  TPelNavigator a(&m), b(&m);
  TStyleRecord outer;
  outer.KeyValue = 5;
  outer.Color1 = 0x123456;
  a.SetPos(0);
  b.SetPos(9);
  SetStyleRange(m.Paragraphs, a, b, true, true, outer);
  TStyleRecord inner;
  inner.KeyValue = 6;
  a.SetPos(3);
  b.SetPos(5);
  SetStyleRange(m.Paragraphs, b, a, true, true, inner);  // the order of the ends does not matter
  EXPECT_EQ(KeyMap(m, 0), "555665555..");
  EXPECT_EQ(StyleAt(m, 6).Color1, 0x123456);
  // Over a break: the next paragraph starts in the style.
  a.SetPos(8);
  b.SetPos(m.GetParStart(1) + 2);
  SetStyleRange(m.Paragraphs, a, b, true, true, inner);
  EXPECT_EQ(KeyMap(m, 0), "55566555666");
  EXPECT_EQ(KeyMap(m, 1), "66....");
  EXPECT_EQ(m.Paragraphs.ChangeFirstPar, 0);

  // Highlights given from outside survive the passes.
  AddBlockComment(m);
  m.ResetFormatting();
  ParseAll(m);
  EXPECT_EQ(KeyMap(m, 0), "55566555666");
  m.SetSelStart(m.GetParStart(1) + 6);
  m.SetSelText(" /* c");
  EXPECT_EQ(KeyMap(m, 1), "66.....9999");
  m.SetSelStart(m.GetParStart(0) + 11);
  m.SetSelText("!");  // typed inside the range that runs on over the break
  EXPECT_EQ(KeyMap(m, 0), "555665556666");
}

TEST(SetStyleRange, ResetFormattingForgetsWhatListsThatAreGoneMade) {
  // After the lists change, ResetFormatting leaves the colours a memo given the
  // changed lists first would show. Both lists go (row 0), the keyword list goes
  // (row 1), the keyword pass is switched off (row 2). Rows 1 and 2 keep no
  // start/stop keys: their pass makes every record anew and would hide what the
  // keywords left.
  const std::string text = "int foo; /* a foo\r\nbar FOO baz */ foo\r\n// foo end\r\nfoo";
  auto setUp = [](TPelMemoCore& M, int Row) {
    if (Row == 0) AddBlockComment(M, 1);
    if (Row == 0) AddLineComment(M, 2);
    M.Keywords.AddKeyword("foo", Header(3));
  };
  auto change = [](TPelMemoCore& M, int Row) {
    if (Row < 2) M.Keywords.Clear();
    if (Row == 0) M.StartStopKeys.Clear();
    if (Row == 2) M.ApplyKeyWords = false;
  };
  for (int row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    TPelMemoCore m;
    setUp(m, row);
    LoadText(m, text);
    ParseAll(m);
    ASSERT_EQ(KeyMap(m, 3), "333");
    change(m, row);
    m.ResetFormatting();
    ParseAll(m);
    TPelMemoCore fresh;
    setUp(fresh, row);
    change(fresh, row);
    LoadText(fresh, text);
    ParseAll(fresh);
    for (int32_t i = 0; i < m.GetParCount(); ++i) EXPECT_EQ(KeyMap(m, i), KeyMap(fresh, i)) << i;
  }
}

TEST(StyleHelpers, CompareAllowAndOutside) {
  TStyleRecord a, b;
  EXPECT_TRUE(CompareStyles(a, b));
  b.Color1 = 7;  // colours do not count
  EXPECT_TRUE(CompareStyles(a, b));
  b.Flags = sfHighlight | sfContext;
  EXPECT_FALSE(CompareStyles(a, b));
  a.Flags = sfHighlight | sfContext;
  a.Stack[0] = b.Stack[0] = -32768;
  a.KeyValue = b.KeyValue = 3;
  EXPECT_TRUE(CompareStyles(a, b));
  a.Stack[0] = -32767;
  EXPECT_FALSE(CompareStyles(a, b));
  a.Stack[0] = -32768;
  a.Stack[5] = 9;  // above the top: not compared
  EXPECT_TRUE(CompareStyles(a, b));
  // Keywords: allowed in plain or zero-valued styles; in a highlighter's context only with the flag.
  EXPECT_FALSE(OutsideRegion(a));
  EXPECT_FALSE(KeywordsAllowed(a, true));
  a.Stack[0] = 4;
  EXPECT_TRUE(OutsideRegion(a));
  EXPECT_FALSE(KeywordsAllowed(a, false));
  EXPECT_TRUE(KeywordsAllowed(a, true));
  a.KeyValue = 0;
  EXPECT_TRUE(KeywordsAllowed(a, false));
  EXPECT_TRUE(KeywordsAllowed(DefaultStyle, false));
}

namespace {
// A highlighter that opens its own context 7 at '[' and closes it after ']'.
class TBracketHighlighter : public TPelHighlighter {
 public:
  int KeywordCalls = 0;
  void KeywordsHook(TPelMemoCore&, int32_t) override { ++KeywordCalls; }
  bool StartScanHook(TPelMemoCore& M, TParseScan& S, int32_t) override {
    const std::string t = M.GetParText(S.Par);
    const size_t q = t.find('[', static_cast<size_t>(S.Offset));
    if (q == std::string::npos) return false;
    S.Offset = static_cast<int32_t>(q);
    const int d = GetStyleContext(S.Style) + 1;
    S.Style.Flags = sfHighlight | sfContext;
    S.Style.Depth = static_cast<int8_t>(d);
    S.Style.Stack[d] = 7;
    S.Style.KeyValue = 3;
    return true;
  }
  bool StopScanHook(TPelMemoCore& M, TParseScan& S) override {
    const std::string t = M.GetParText(S.Par);
    const size_t q = t.find(']', static_cast<size_t>(S.Offset));
    if (q == std::string::npos) return false;
    S.Offset = static_cast<int32_t>(q) + 1;
    S.Style = DefaultStyle;
    return true;
  }
};
}  // namespace

namespace {
// The bracket highlighter whose stop hook also upper-cases the next paragraph
// (through the memo's one cache) before it answers.
class TLookAheadHighlighter : public TBracketHighlighter {
 public:
  bool StopScanHook(TPelMemoCore& M, TParseScan& S) override {
    if (S.Par + 1 < M.GetParCount()) {
      const int32_t n = static_cast<int32_t>(M.GetParText(S.Par + 1).size());
      M.GetUpperText(S.Par + 1, 0, n);
    }
    return TBracketHighlighter::StopScanHook(M, S);
  }
};
}  // namespace

TEST(Highlighter, AHookThatUpperCasesAnotherParagraphLeavesTheScanItsOwnText) {
  // A case-insensitive line comment after the context's close; the paragraph after
  // is longer, so that the cache moves when the hook fills it.
  TLookAheadHighlighter h;
  TPelMemoCore m;
  m.SetHighlighter(&h);
  m.StartStopKeys.AddKey("rem", "", true, NoColor, NoColor, 0, 8, 0, 0);
  LoadText(m, "[a\r\nb ] rem c\r\n" + std::string(20, 'y'));
  ParseAll(m);
  EXPECT_EQ(KeyMap(m, 0), "33");
  EXPECT_EQ(KeyMap(m, 1), "333.88888");
  EXPECT_EQ(KeyMap(m, 2), std::string(20, '.'));
}

TEST(Highlighter, HooksOpenContextsWhereKeywordsNeedTheFlag) {
  for (const bool inContexts : {false, true}) {
    TBracketHighlighter h;
    {
      TPelMemoCore m;
      m.SetHighlighter(&h);
      EXPECT_EQ(h.Memos.size(), 1u);
      m.Keywords.AddKeyword("kw", Header(1, 0));
      m.Keywords.KeywordsInContexts = inContexts;
      LoadText(m, "kw [kw] kw");
      ParseAll(m);
      EXPECT_EQ(KeyMap(m, 0), inContexts ? "11.3113.11" : "11.3333.11");
      EXPECT_GT(h.KeywordCalls, 0);
    }
    EXPECT_TRUE(h.Memos.empty());
  }
}

TEST(Highlighter, StartKeysOpenInsideItsContextsAndCloseBackToThem) {
  TBracketHighlighter h;
  TPelMemoCore m;
  m.SetHighlighter(&h);
  AddBlockComment(m);
  // A start key comes before the hook is asked: "[" is not seen while "/*" lies ahead.
  LoadText(m, "[a /* c */ b] d\r\n[x\r\na /* c */ b] d");
  ParseAll(m);
  EXPECT_EQ(KeyMap(m, 0), "...9999999.....");
  // Inside a context carried from the paragraph before, a comment opens before the
  // hook's stop and closes back into the context.
  EXPECT_EQ(KeyMap(m, 1), "33");
  EXPECT_EQ(KeyMap(m, 2), "339999999333..");
  EXPECT_EQ(GetStyleContext(StyleAt(m, m.GetParStart(2) + 9)), 0);
  EXPECT_EQ(StyleAt(m, m.GetParStart(2) + 9).Stack[0], 7);
}

namespace {
// Opens, at '[', a context already 15 deep, which never closes.
class TDeepHighlighter : public TPelHighlighter {
 public:
  bool StartScanHook(TPelMemoCore& M, TParseScan& S, int32_t) override {
    const std::string t = M.GetParText(S.Par);
    const size_t q = t.find('[', static_cast<size_t>(S.Offset));
    if (q == std::string::npos) return false;
    S.Offset = static_cast<int32_t>(q);
    S.Style.Flags = sfHighlight | sfContext;
    S.Style.Depth = MaxContextDepth;
    for (int d = 0; d <= MaxContextDepth; ++d) S.Style.Stack[d] = static_cast<int16_t>(d + 1);
    S.Style.KeyValue = 3;
    return true;
  }
};
}  // namespace

TEST(Highlighter, NothingIsAppliedWhereTheContextStackIsFull) {
  TDeepHighlighter h;
  TPelMemoCore m;
  m.SetHighlighter(&h);
  m.Keywords.AddKeyword("kw", Header(1));
  m.Keywords.KeywordsInContexts = true;
  AddBlockComment(m);
  // (A start key ahead would be taken before the hook is asked: the full
  // context is carried into the next paragraph.)
  LoadText(m, "kw [\r\nkw /* x");
  ParseAll(m);
  EXPECT_EQ(KeyMap(m, 0), "11.3");
  EXPECT_EQ(KeyMap(m, 1), "3333333");
}

TEST(StyleCodes, ToggleAroundASelectionAndTheCaret) {
  TPelMemoCore m;
  m.SetStaticFormat(true);
  LoadText(m, "abcd");
  // Without StaticFormat nothing happens; with it the codes surround the selection.
  m.SetSelStart(1);
  m.SetSelLength(2);
  m.ToggleStyleCode('\2');
  EXPECT_EQ(m.GetText(), "a\2bc\2d");
  EXPECT_EQ(m.GetSelStart(), 1);
  EXPECT_EQ(m.GetSelLength(), 4);
  // A backward selection stays backward.
  m.SetSelStart(4);
  m.SetSelLength(-2);
  m.ToggleStyleCode('\25');
  EXPECT_EQ(m.GetText(), "a\2\25bc\25\2d");
  EXPECT_EQ(m.GetSelLength(), -4);
  EXPECT_EQ(m.GetSelStart(), 6);  // the caret stays at the anchor
  // Toggling the same code around a selection that holds it cancels both pairs.
  m.SetSelStart(2);
  m.SetSelLength(4);
  m.ToggleStyleCode('\25');
  EXPECT_EQ(m.GetText(), "a\2bc\2d");
  EXPECT_EQ(m.GetSelLength(), 2);
  EXPECT_EQ(m.GetSelText(), "bc");
  // An empty selection: the caret between two codes, which stay.
  m.SetSelStart(6);
  m.ToggleStyleCode('\1');
  EXPECT_EQ(m.GetText(), "a\2bc\2d\1\1");
  EXPECT_EQ(m.GetSelStart(), 7);
  m.SetSelText("e");
  EXPECT_EQ(m.GetText(), "a\2bc\2d\1e\1");
  // The style byte follows the codes: bold over bc, italic over e, nothing after.
  TPelNavigator n(&m);
  n.SetPos(3);
  EXPECT_EQ(n.GetStaticStyle(), StyleBold);
  n.SetPos(8);
  EXPECT_EQ(n.GetStaticStyle(), StyleItalic);
  n.SetPos(9);
  EXPECT_EQ(n.GetStaticStyle(), 0);
  // Undo takes the toggles back one by one.
  m.Undo();
  m.Undo();
  EXPECT_EQ(m.GetText(), "a\2bc\2d");
  // A selection that starts between CR and LF: the break it holds is replaced whole
  // and comes back whole, and no paragraph holds a CR or an LF.
  LoadText(m, "ab\r\ncd\r\nef");
  m.SetSelStart(3);
  m.SetSelLength(2);
  m.ToggleStyleCode('\2');
  EXPECT_EQ(m.GetText(), "ab\2\r\nc\2d\r\nef");
  EXPECT_EQ(m.GetParCount(), 3);
  for (int32_t i = 0; i < m.GetParCount(); ++i) EXPECT_EQ(m.GetParText(i).find_first_of("\r\n"), std::string::npos) << i;

  TPelMemoCore plain;
  LoadText(plain, "abcd");
  plain.SetSelStart(1);
  plain.SetSelLength(2);
  plain.ToggleStyleCode('\2');
  EXPECT_EQ(plain.GetText(), "abcd");
}

TEST(StyleCodes, CancelCodePairs) {
  TPelMemoCore m;
  m.SetStaticFormat(true);
  LoadText(m, "a\2\1\2b\3x\3\4\4c\25\25");
  m.CancelCodePairs(0);
  // Equal codes with only codes between them cancel; the highlight pair around x stays.
  EXPECT_EQ(m.GetText(), "a\1b\3x\3c");
  // Typing a code next to its twin cancels both (with text between them it does not).
  m.SetSelStart(2);
  m.SetSelText("\1");
  EXPECT_EQ(m.GetText(), "ab\3x\3c");
  EXPECT_EQ(m.GetSelStart(), 1);
  m.SetSelStart(3);
  m.SetSelText("\3");
  EXPECT_EQ(m.GetText(), "abx\3c");
  // A text made of codes only strips to nothing.
  m.SetTextBuf("\2\1\25\1\2");
  EXPECT_EQ(m.GetText(), "\25");
  EXPECT_EQ(StripFormatCodes(m.GetText()), "");
}

TEST(Context, ClickOnAHighlightWithAContextNumber) {
  TPelMemoCore m;
  TKeyHeader h = Header(1);
  h.KeyWord = 42;
  m.Keywords.AddKeyword("go", h);
  m.Keywords.AddKeyword("stay", Header(2));
  LoadText(m, "x go stay");
  ParseAll(m);
  std::vector<int32_t> got;
  m.OnContext = [&](TPelMemoCore&, int32_t C, int32_t A, int32_t B) { got = {C, A, B}; };
  EXPECT_FALSE(m.ClickContext(0));
  EXPECT_FALSE(m.ClickContext(6));  // key word 0: no context
  EXPECT_TRUE(m.ClickContext(3));
  EXPECT_EQ(got, (std::vector<int32_t>{42, 2, 4}));
}

TEST(UpperText, CacheGrowsAndFollowsEdits) {
  TPelMemoCore m;
  LoadText(m, "abcdef\r\nxyz");
  EXPECT_EQ(std::string(m.GetUpperText(0, 2, 2), 2), "CD");
  EXPECT_EQ(std::string(m.GetUpperText(0, 0, 3), 3), "ABC");
  EXPECT_EQ(std::string(m.GetUpperText(0, 3, 3), 3), "DEF");
  EXPECT_EQ(std::string(m.GetUpperText(1, 1, 5), 2), "YZ");  // clamped to the paragraph
  m.SetSelStart(9);
  m.SetSelText("q");
  EXPECT_EQ(std::string(m.GetUpperText(1, 0, 4), 4), "XQYZ");
}

namespace {

// An independent picture of the highlighting: block comments carried over
// breaks, line comments to the paragraph end, whole-word keyword "kw" elsewhere.
std::vector<std::string> ReferenceMaps(const std::vector<std::string>& Pars) {
  auto isSep = [](char C) { return std::string("\t\n\r $%&,./:;<=>").find(C) != std::string::npos; };
  std::vector<std::string> out;
  bool inBlock = false;
  for (const std::string& t : Pars) {
    std::string m(t.size(), '.');
    size_t pos = 0;
    for (;;) {
      if (inBlock) {
        const size_t q = t.find("*/", pos);
        const size_t end = q == std::string::npos ? t.size() : q + 2;
        for (size_t i = pos; i < end; ++i) m[i] = '9';
        if (q == std::string::npos) break;
        inBlock = false;
        pos = end;
        continue;
      }
      const size_t b = t.find("/*", pos), l = t.find("//", pos);
      if (b != std::string::npos && (l == std::string::npos || b <= l)) {
        for (size_t i = b; i < b + 2; ++i) m[i] = '9';
        inBlock = true;
        pos = b + 2;
        continue;
      }
      if (l != std::string::npos)
        for (size_t i = l; i < t.size(); ++i) m[i] = '8';
      break;
    }
    for (size_t q = t.find("kw"); q != std::string::npos; q = t.find("kw", q + 1))
      if (m[q] == '.' && m[q + 1] == '.' && (q == 0 || isSep(t[q - 1])) && (q + 2 == t.size() || isSep(t[q + 2])))
        m[q] = m[q + 1] = '1';
    out.push_back(m);
  }
  return out;
}

}  // namespace

TEST(ParsePasses, RandomEditsAgreeWithAnIndependentScan) {
  TPelMemoCore m;
  AddBlockComment(m);
  AddLineComment(m);
  m.Keywords.AddKeyword("kw", Header(1));
  LoadText(m, "kw a\r\n/* b kw\r\nc */ kw\r\n// kw\r\nkw");
  std::mt19937 rng(7);
  static const char* const pieces[] = {"/*", "*/", "//", "kw", " ", "a", "\r\n", "*", "/"};
  for (int step = 0; step < 1500; ++step) {
    const int32_t len = m.GetTextLength();
    const int32_t at = static_cast<int32_t>(rng() % static_cast<unsigned>(len + 1));
    m.SetSelStart(at);
    if (rng() % 5 == 0 && len > 0) {
      m.SetSelLength(static_cast<int32_t>(rng() % 2) + 1);
      m.ClearSelection();
    } else {
      m.SetSelText(pieces[rng() % (sizeof pieces / sizeof pieces[0])]);
    }
    // Parsing is done now or later; the result must not depend on when.
    if (rng() % 4 == 0) continue;
    ParseAll(m);
    std::vector<std::string> pars;
    for (int32_t i = 0; i < m.GetParCount(); ++i) pars.push_back(m.GetParText(i));
    const std::vector<std::string> want = ReferenceMaps(pars);
    for (int32_t i = 0; i < m.GetParCount(); ++i)
      ASSERT_EQ(KeyMap(m, i), want[static_cast<size_t>(i)]) << "step " << step << " paragraph " << i << ": " << pars[i];
    m.CheckIntegrity();
  }
}

TEST(Zigzag, CornersCutAtTheEndAndClamped) {
  using P = TZigzagPoint;
  // Worked by hand: step 2 from x 0 to 7 at y 10: up to 10, down to 12, ...;
  // the last segment (6 -> 8, going down) is cut at 7, one pixel short: y 11.
  EXPECT_EQ(ZigzagPoints(0, 7, 2, 10), (std::vector<P>{{0, 12}, {2, 10}, {4, 12}, {6, 10}, {7, 11}}));
  EXPECT_EQ(ZigzagPoints(0, 3, 2, 10), (std::vector<P>{{0, 12}, {2, 10}, {3, 11}}));
  EXPECT_EQ(ZigzagPoints(0, 4, 2, 0), (std::vector<P>{{0, 2}, {2, 0}, {4, 2}}));
  // x2 <= x1: only the pen position.
  EXPECT_EQ(ZigzagPoints(5, 5, 3, 0), (std::vector<P>{{5, 3}}));
  EXPECT_EQ(ZigzagPoints(5, 1, 3, 0), (std::vector<P>{{5, 3}}));
  // Far ends are clamped to 16-bit coordinates.
  const std::vector<P> far = ZigzagPoints(-100000, -32760, 4, 0);
  EXPECT_EQ(far.front(), (P{-32768, 4}));
  EXPECT_EQ(far.back().X, -32760);
  EXPECT_EQ(ZigzagPoints(32760, 100000, 4, 0).back().X, 32767);
}

TEST(ParsePasses, AMegabyteParagraphParsesAndTypesInLinearTime) {
  TPelMemoCore m;
  for (int k = 0; k < 50; ++k) m.Keywords.AddKeyword("kw" + std::to_string(k), Header(k + 1));
  AddBlockComment(m);
  std::string text;
  for (int i = 0; text.size() < 1000000; ++i) {
    text += "kw" + std::to_string(i % 50) + " word ";
    if (i % 1000 == 10) text += "/* note */ ";
  }
  LoadText(m, text);
  const auto t0 = std::chrono::steady_clock::now();
  ParseAll(m);
  const auto t1 = std::chrono::steady_clock::now();
  const int32_t records = GetAttrCount(m.Paragraphs.Par(0));
  EXPECT_GT(records, 100000);  // a record at each keyword and after it
  // Typing re-parses the whole paragraph; it stays in proportion to its length.
  m.SetSelStart(500000);
  double slowest = 0;
  for (int i = 0; i < 5; ++i) {
    const auto a = std::chrono::steady_clock::now();
    m.SetSelText("k");
    slowest = std::max(slowest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - a).count());
  }
  const double parse = std::chrono::duration<double, std::milli>(t1 - t0).count();
  RecordProperty("records", records);
  RecordProperty("parse_ms", static_cast<int>(parse));
  RecordProperty("slowest_key_ms", static_cast<int>(slowest));
  EXPECT_LT(parse, 2000.0);
  EXPECT_LT(slowest, 2000.0);
  EXPECT_EQ(KeyMap(m, 0, 9), "111......");
}

TEST(StyleHotKeys, DecidedWithCtrlOnlyAndWhenEditable) {
  TMemoInputState s;
  const struct {
    char Key;
    uint8_t Code;
  } keys[] = {{'B', 2}, {'I', 1}, {'U', 21}, {'H', 3}, {'F', 4}};
  for (const auto& k : keys) {
    const TKeyDecision d = DecideKeyDown(static_cast<uint16_t>(k.Key), ssCtrl, s);
    EXPECT_EQ(d.Action, TKeyAction::ToggleStyle) << k.Key;
    EXPECT_EQ(d.Code, k.Code) << k.Key;
    EXPECT_NE(DecideKeyDown(static_cast<uint16_t>(k.Key), ssCtrl | ssAlt, s).Action, TKeyAction::ToggleStyle);
    EXPECT_NE(DecideKeyDown(static_cast<uint16_t>(k.Key), 0, s).Action, TKeyAction::ToggleStyle);
  }
  s.ReadOnly = true;
  EXPECT_NE(DecideKeyDown('B', ssCtrl, s).Action, TKeyAction::ToggleStyle);
  s.ReadOnly = false;
  s.EnableHotKeys = false;
  EXPECT_NE(DecideKeyDown('B', ssCtrl, s).Action, TKeyAction::ToggleStyle);
}
