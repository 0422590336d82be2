// The memo's stored properties: "Strings" of the lines, "Strings" of keyword
// lists and "Keys" of start/stop-key lists, written and read back, and the
// older forms and reading rules that a reader must accept.
#include <gtest/gtest.h>

#include <string>

#include "memo/PelHighlighter.h"
#include "memo/PelMemoCore.h"
#include "memo/PelMemoFiler.h"
#include "memo/PelStream.h"

namespace {
void LoadText(TPelMemoCore& M, const std::string& Bytes) {
  TMemoryStream s(Bytes);
  M.LoadTextFromStream(s);
}
}  // namespace

TEST(Filer, ValuesRoundTripAndBadDataIsRefused) {
  TFilerWriter w;
  w.WriteListBegin();
  w.WriteString(std::string("a\0b", 3));
  w.WriteWideString(u"\u00e9\u20ac");
  w.WriteInteger(-5);
  w.WriteBoolean(true);
  w.WriteListEnd();
  TFilerReader r(w.Bytes());
  r.ReadListBegin();
  EXPECT_EQ(r.NextValue(), TValueType::vaString);
  EXPECT_EQ(r.ReadString(), std::string("a\0b", 3));
  EXPECT_EQ(r.NextValue(), TValueType::vaWString);
  EXPECT_EQ(r.ReadWideString(), u"\u00e9\u20ac");
  EXPECT_EQ(r.ReadInteger(), -5);
  EXPECT_TRUE(r.ReadBoolean());
  EXPECT_TRUE(r.EndOfList());
  r.ReadListEnd();
  EXPECT_TRUE(r.AtEnd());
  // Wrong types and cut-off data raise a filer error, never read past the end.
  TFilerReader bad(w.Bytes());
  EXPECT_THROW(bad.ReadString(), EFilerError);
  TFilerReader cut(w.Bytes().substr(0, 4));
  cut.ReadListBegin();
  EXPECT_THROW(cut.ReadString(), EFilerError);
  TFilerReader junk(std::string("\x09", 1));
  EXPECT_THROW(junk.NextValue(), EFilerError);
}

TEST(StoredLines, RoundTripAndTheReadingRules) {
  TPelMemoCore m;
  EXPECT_FALSE(LinesStored(m));
  LoadText(m, "first\r\n\r\nthird\r\n");
  EXPECT_TRUE(LinesStored(m));
  TFilerWriter w;
  WriteLinesStrings(m, w);
  TPelMemoCore n;
  LoadText(n, "old text");
  TFilerReader r(w.Bytes());
  ReadLinesStrings(n, r);
  EXPECT_EQ(n.GetText(), "first\r\n\r\nthird\r\n");
  EXPECT_EQ(n.GetUpdateCount(), 0);

  // A piece ending in #5 continues in the next; an empty piece ends the paragraph.
  TFilerWriter p;
  p.WriteListBegin();
  p.WriteString("abc\5");
  p.WriteString("def");
  p.WriteString("gh\5");
  p.WriteString("");
  p.WriteWideString(u"w\u00fc\u20ac");
  p.WriteListEnd();
  TFilerReader pr(p.Bytes());
  ReadLinesStrings(n, pr);
  EXPECT_EQ(n.GetText(), "abcdef\r\ngh\r\nw\xFC?");

  // Leading empty strings do not survive: each replaces the one empty paragraph.
  TFilerWriter e;
  e.WriteListBegin();
  e.WriteString("");
  e.WriteString("");
  e.WriteString("x");
  e.WriteString("");
  e.WriteString("y");
  e.WriteListEnd();
  TFilerReader er(e.Bytes());
  ReadLinesStrings(n, er);
  EXPECT_EQ(n.GetText(), "x\r\n\r\ny");
}

TEST(StoredKeywords, RoundTripAndOlderForms) {
  TKeywordList k;
  TKeyHeader h;
  h.Options = koCaseSensitive | koWholeWord;
  h.FontStyle = 3;
  h.KeyValue = 77;
  h.KeyWord = -2;
  h.Color1 = 0x123456;
  h.Color2 = NoColor;
  k.AddKeyword("Alpha", h);
  k.Add("beta");
  k.Key(1).Context1 = 1;
  k.Key(1).Context2 = 2;
  k.Key(1).Context3 = 3;
  EXPECT_TRUE(k.Stored());
  TFilerWriter w;
  k.WriteStrings(w);
  TKeywordList back;
  back.Add("gone");
  TFilerReader r(w.Bytes());
  back.ReadStrings(r);
  ASSERT_EQ(back.GetCount(), 2);
  const TKeyInfoLen& a = back.Key(0);
  EXPECT_EQ(a.Keyword, "Alpha");
  EXPECT_EQ(a.MatchKey, "Alpha");
  EXPECT_EQ(a.Options, koCaseSensitive | koWholeWord);  // bit 7 only marks the form
  EXPECT_EQ(a.FontStyle, 3);
  EXPECT_EQ(a.KeyValue, 77);
  EXPECT_EQ(a.KeyWord, -2);
  EXPECT_EQ(a.Color1, 0x123456);
  EXPECT_EQ(a.Color2, NoColor);
  EXPECT_EQ(back.Key(1).MatchKey, "BETA");
  EXPECT_EQ(back.Key(1).Context3, 3);
  EXPECT_EQ(back.MaxKeyLength, 5);

  // Older forms: options below 128, with or without two contexts after the colours.
  TFilerWriter o;
  o.WriteListBegin();
  o.WriteString("one");
  for (int v : {1, 0, 5, 0, 10, 20}) o.WriteInteger(v);
  o.WriteInteger(8);
  o.WriteInteger(9);
  o.WriteWideString(u"two");
  for (int v : {0, 0, 6, 0, 11, 21}) o.WriteInteger(v);
  o.WriteListEnd();
  TFilerReader orr(o.Bytes());
  back.ReadStrings(orr);
  ASSERT_EQ(back.GetCount(), 2);
  EXPECT_EQ(back.Key(0).Context1, 8);
  EXPECT_EQ(back.Key(0).Context2, 9);
  EXPECT_EQ(back.Key(0).Context3, 0);
  EXPECT_EQ(back.Key(1).Keyword, "two");
  EXPECT_EQ(back.Key(1).KeyValue, 6);
  EXPECT_EQ(back.Key(1).Context1, 0);
  EXPECT_EQ(back.Key(1).Color2, 21);
}

TEST(StoredKeys, RoundTripStoresMatchTextsAndReadsOlderForms) {
  TStartStopKeyList l;
  l.AddKey("/*", "*/", false, 2, 1, 4, 9, 1, koCaseSensitive);
  l.AddKey("rem", "", true, NoColor, 5, 0, 8, 0, koWholeWord);
  l.Key(1).Context2 = 12;
  TFilerWriter w;
  l.WriteKeys(w);
  TStartStopKeyList back;
  back.AddKey("x", "y", false, 0, 0, 0, 1, 0, 0);
  TFilerReader r(w.Bytes());
  back.ReadKeys(r);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_FALSE(back.Prepared);
  const StartStopInfo& a = back.Key(0);
  EXPECT_EQ(a.StartKey, "/*");
  EXPECT_EQ(a.StopKey, "*/");
  EXPECT_EQ(a.Color1, 1);
  EXPECT_EQ(a.Color2, 2);
  EXPECT_EQ(a.KeyWord, 4);
  EXPECT_EQ(a.KeyValue, 9);
  EXPECT_EQ(a.FontStyle, 1);
  EXPECT_EQ(a.Options, koCaseSensitive);
  EXPECT_FALSE(a.EndsAtParEnd);
  const StartStopInfo& b = back.Key(1);
  EXPECT_EQ(b.StartKey, "REM");  // the match text is what is stored
  EXPECT_TRUE(b.EndsAtParEnd);
  EXPECT_EQ(b.Context2, 12);
  EXPECT_EQ(back.MaxStopLength, 2);

  // The older form: two contexts before the boolean, none after it.
  TFilerWriter o;
  o.WriteListBegin();
  o.WriteString("{");
  o.WriteWideString(u"}");
  for (int v : {0, 0, 3, 0, 7, 8, 30, 31}) o.WriteInteger(v);
  o.WriteBoolean(false);
  o.WriteString("'");
  o.WriteString("'");
  for (int v : {1, 0, 4, 0, 7, 8}) o.WriteInteger(v);
  o.WriteBoolean(true);
  o.WriteListEnd();
  TFilerReader orr(o.Bytes());
  back.ReadKeys(orr);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Key(0).StopKey, "}");
  EXPECT_EQ(back.Key(0).Context1, 30);
  EXPECT_EQ(back.Key(0).Context2, 31);
  EXPECT_EQ(back.Key(1).Context1, 0);
  EXPECT_TRUE(back.Key(1).EndsAtParEnd);
  EXPECT_EQ(back.Key(1).FirstAlternative, -1);
}
