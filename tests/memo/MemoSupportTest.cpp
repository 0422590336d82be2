// Style codes, style-record counting, chunked measuring, text helpers, the
// Latin-1 code page, formatting without measuring and the store's self-check.
#include <gtest/gtest.h>

#include <string>

#include "memo/PelMemoCore.h"
#include "memo/PelMemoSupport.h"
#include "memo/PelStream.h"
#include "platform/Latin1.h"

namespace {

class TCountingMeasurer : public TTextMeasurer {
 public:
  void SelectFont(uint8_t, const TStyleRecord*) override {}
  int32_t TextExtent(const char*, int32_t Count) override {
    ++Calls;
    Pieces += std::to_string(Count) + " ";
    return Count * 3 + 1;  // not additive: shows how the text was cut
  }
  int Calls = 0;
  std::string Pieces;
};

}  // namespace

TEST(StyleCodes, ToggleAndStrip) {
  uint8_t s = 0;
  EXPECT_TRUE(ToggleStyleByCode(s, 2));
  EXPECT_TRUE(ToggleStyleByCode(s, 2));
  EXPECT_EQ(s, 0) << "two equal codes cancel";
  EXPECT_TRUE(ToggleStyleByCode(s, 21));
  EXPECT_EQ(s, StyleUnderline) << "code 21 is underline";
  EXPECT_FALSE(ToggleStyleByCode(s, 9));
  EXPECT_EQ(s, StyleUnderline) << "a tab toggles nothing";
  for (unsigned char c = 0; c < 26; ++c) EXPECT_EQ(ToggleStyleByCode(s, c), c == 1 || c == 2 || c == 3 || c == 4 || c == 21) << int(c);
  EXPECT_EQ(ToggleStyleBit(0, 4), StyleHighlight);
  EXPECT_EQ(StripFormatCodes("\x01\x02\x03\x04\x15"), "");
  EXPECT_EQ(StripFormatCodes("\x02" "ab\t\x05" "c\x15"), "ab\t\x05" "c");
  EXPECT_EQ(StripFormatCodes("plain"), "plain");
}

TEST(StyleRecords, CountedCopiesAndTheDefault) {
  TStyleRecord* a = CopyStyle(&DefaultStyle);
  EXPECT_EQ(a->CountOrOffset, 1);
  EXPECT_EQ(a->Color1, -1);
  ++a->CountOrOffset;
  ReleaseStyle(a);
  EXPECT_EQ(a->CountOrOffset, 1);
  ReleaseStyle(a);  // freed; the sanitizer build would catch a double release
  ReleaseStyle(&DefaultStyle);
  ReleaseStyle(nullptr);
  EXPECT_EQ(DefaultStyle.CountOrOffset, 0);
  TStyleRecord ctx;
  ctx.Flags = 0xC0;
  ctx.Depth = 3;
  EXPECT_EQ(GetStyleContext(ctx), 3);
  ctx.Flags = 0x80;
  EXPECT_EQ(GetStyleContext(ctx), -1);
}

TEST(TextHelpers, ChunkedExtent) {
  TCountingMeasurer m;
  EXPECT_EQ(TextExtentChunked(m, "abc", 0, 4), 0);
  EXPECT_EQ(m.Calls, 0) << "no platform call for nothing";
  EXPECT_EQ(TextExtentChunked(m, "abcdefghij", 10, 4), (4 * 3 + 1) * 2 + 2 * 3 + 1);
  EXPECT_EQ(m.Pieces, "4 4 2 ");
}

TEST(TextHelpers, ScanUpperClampAndMinMax) {
  const char* t = "abcb";
  EXPECT_EQ(StrScan(t, 'b'), t + 1);
  EXPECT_EQ(StrScan(t, 'z'), nullptr);
  EXPECT_EQ(StrScan(nullptr, 'a'), nullptr);
  EXPECT_EQ(StrScan(t, '\0'), nullptr);
  char u[] = "ab\xe9\xff\xdf\xf7z";
  CharUpperNil(u);
  EXPECT_STREQ(u, "AB\xc9\xff\xdf\xf7Z");
  CharUpperNil(nullptr);
  TRect16 r{-40000, 5, 40000, 6};
  ClampRectTo16Bit(r);
  EXPECT_EQ(r.Left, -32768);
  EXPECT_EQ(r.Right, 32767);
  EXPECT_EQ(r.Top, 5);
  EXPECT_EQ(IntMax(-1, 2), 2);
  EXPECT_EQ(IntMin(-1, 2), -1);
}

TEST(Latin1, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string text = Latin1ToUtf16(all);
  ASSERT_EQ(text.size(), 256u);
  for (int b = 0; b < 256; ++b) EXPECT_EQ(text[static_cast<size_t>(b)], static_cast<char16_t>(b));
  EXPECT_EQ(Utf16ToLatin1(text), all);
  EXPECT_EQ(Utf16ToLatin1(u"a\u20ACb"), "a?b") << "outside Latin-1: the fallback";
}

TEST(Latin1, UpperCase) {
  // The bytes that change, from python3: for b in range(256), chr(b).upper() when
  // that is one character within Latin-1 and differs from chr(b): 0x61..0x7A,
  // 0xE0..0xF6 and 0xF8..0xFE, each minus 0x20 (56 bytes).
  int changed = 0;
  for (int b = 0; b < 256; ++b) {
    const bool expectChange = (b >= 0x61 && b <= 0x7A) || (b >= 0xE0 && b <= 0xFE && b != 0xF7);
    const unsigned char u = Latin1Upper(static_cast<unsigned char>(b));
    if (expectChange) {
      EXPECT_EQ(u, b - 0x20) << b;
      ++changed;
    } else {
      EXPECT_EQ(u, b) << b;
    }
  }
  EXPECT_EQ(changed, 56);
}

TEST(Formatting, WithoutMeasuringEveryParagraphIsOneLine) {
  TPelMemoCore m;
  TMemoryStream s(std::string("abcdef\r\nxy"));
  m.LoadTextFromStream(s);
  TParagraph& p = m.Paragraphs.Par(0);
  TLinesList ll;
  ll.Par = &p;
  ll.SetCount(3);
  m.Paragraphs.TotalLines += 2;
  m.Paragraphs.ShiftLineIndices(1, 2);
  EXPECT_EQ(m.FormatParagraph(0), -2);
  EXPECT_EQ(GetLineCount(p), 1);
  EXPECT_EQ(GetFirstLineInfo(p).Stop, 6);
  EXPECT_EQ(GetFirstLineInfo(p).Width, 0);
  EXPECT_TRUE(p.Flags & pfFormatted);
  EXPECT_TRUE(p.Flags & pfParsed);
  EXPECT_EQ(m.Paragraphs.TotalLines, 2) << "the store's total follows; the first lines are the caller's";
  EXPECT_EQ(m.Paragraphs.Par(1).FirstLine, 3);
  m.FormatRange(0, 1, true);
  EXPECT_EQ(m.Paragraphs.Par(1).FirstLine, 1);
  EXPECT_NO_THROW(m.CheckIntegrity());
}

TEST(Integrity, EachFaultHasItsMessage) {
  TPelMemoCore m;
  EXPECT_NO_THROW(m.CheckIntegrity()) << "a consistent empty memo";
  TMemoryStream s(std::string("ab\r\ncd\r\nef"));
  m.LoadTextFromStream(s);
  EXPECT_NO_THROW(m.CheckIntegrity());
  auto message = [&]() -> std::string {
    try {
      m.CheckIntegrity();
    } catch (const EPelMemoError& e) {
      return e.what();
    }
    return "none";
  };
  TParagraph& p1 = m.Paragraphs.Par(1);
  ++p1.FirstLine;
  EXPECT_EQ(message(), "Error 1PelMemo 1.0");
  --p1.FirstLine;
  ++p1.StartPos;
  EXPECT_EQ(message(), "Error 2 in PelMemo 1.0");
  --p1.StartPos;
  TLinesList ll;
  ll.Par = &p1;
  ll.SetCount(2);
  LineInfo l0;
  l0.Stop = 1;
  LineInfo l1;
  l1.Start = 0;
  l1.Stop = 2;
  ll.PutLine(0, l0);
  ll.PutLine(1, l1);
  EXPECT_EQ(message(), "Error 3 in PelMemo 1.0");
  l1.Start = 1;
  l1.Stop = 1;
  ll.PutLine(1, l1);
  EXPECT_EQ(message(), "Error 4 in PelMemo 1.0");
  m.FormatParagraph(1);
  m.Paragraphs.TotalLines = 3;
  EXPECT_NO_THROW(m.CheckIntegrity());
  m.Paragraphs.TotalChars += 1;
  EXPECT_EQ(message(), "Error 5 in PelMemo 1.0");
  m.Paragraphs.TotalChars -= 1;
  m.Paragraphs.TotalLines = 4;
  EXPECT_EQ(message(), "Error 6 in PelMemo 1.0");
}

TEST(MemoCore, SelectionBasics) {
  TPelMemoCore m;
  TMemoryStream s(std::string("hello\r\nworld"));
  m.LoadTextFromStream(s);
  m.SelectAll();
  EXPECT_EQ(m.GetSelStart(), 12);
  EXPECT_EQ(m.GetSelLength(), -12);
  EXPECT_EQ(m.GetSelText(), "hello\r\nworld");
  m.SetSelStart(3);
  m.SetSelLength(100);
  EXPECT_EQ(m.GetSelLength(), 9) << "clamped to the text end";
  EXPECT_EQ(m.GetSelStart(), 3) << "the caret stays at the anchor";
  m.SetSelLength(-100);
  EXPECT_EQ(m.GetSelLength(), -3);
  EXPECT_EQ(m.GetSelText(), "hel");
  m.SetSelStart(-5);
  EXPECT_EQ(m.GetSelStart(), 0);
  EXPECT_EQ(m.GetTextRange(3, 9), "lo\r\nwo");
  EXPECT_EQ(m.GetTextRange(9, 3), "");
  EXPECT_EQ(m.GetCharAt(5), '\r');
  EXPECT_EQ(m.GetCharAt(6), '\n');
  m.MoveToPar(7);
  EXPECT_EQ(m.GetSelStart(), 7) << "clamped to the last paragraph";
  EXPECT_EQ(m.GetCaretPar(), 1);
  TPelMemoCore empty;
  empty.SelectAll();
  EXPECT_EQ(empty.GetSelLength(), 0);
  EXPECT_EQ(empty.GetSelStart(), 0);
}

TEST(MemoCore, CaretColumnsAndVirtualColumns) {
  TPelMemoCore m;
  TMemoryStream s(std::string("a\tbc\r\nxy"));
  m.LoadTextFromStream(s);
  m.TabStops = 4;
  m.SetSelStart(3);
  EXPECT_EQ(m.GetCaretColumn(), 5);
  m.SetCaretColumn(2);
  EXPECT_EQ(m.GetSelStart(), 1) << "inside the tab: before it";
  m.SetOptions(m.GetOptions() | pmoKeepColumnPos | pmoPutExtraSpaces);
  m.WordWrap = false;
  m.SetSelStart(7);
  m.SetCaretColumn(5);
  EXPECT_EQ(m.GetSelStart(), 8);
  EXPECT_EQ(m.VirtualColumn, 3);
  EXPECT_EQ(m.GetCaretColumn(), 5);
  m.SetSelText("z");
  EXPECT_EQ(m.GetParText(1), "xy   z") << "typed at a virtual column, padded with blanks";
}

TEST(MemoCore, StaticFormatSwitchReloadsTheText) {
  TPelMemoCore m;
  m.SetStaticFormat(true);
  EXPECT_TRUE(m.GetStaticFormat()) << "an empty memo only stores the flag";
  m.SetStaticFormat(false);
  TMemoryStream s(std::string("a\x02" "b\r\nc"));
  m.LoadTextFromStream(s);
  m.Modified = false;
  m.SetStaticFormat(true);
  EXPECT_EQ(GetParStaticStyle(m.Paragraphs.Par(1)), StyleBold);
  EXPECT_FALSE(m.Modified);
  EXPECT_EQ(m.GetText(), "a\x02" "b\r\nc");
}

TEST(MemoCore, SwitchingOnDiscardingDropsTrailingBlanks) {
  TPelMemoCore m;
  TMemoryStream s(std::string("a  \r\nb\t"));
  m.LoadTextFromStream(s);
  m.SetOptions(m.GetOptions() | pmoDiscardTrailingSpaces | pmoAutoLineBreak);
  EXPECT_EQ(m.GetText(), "a\r\nb");
  TMemoryStream lf(std::string("x\ny"));
  m.LoadTextFromStream(lf);
  EXPECT_EQ(m.LineBreak, TPelLineBreak::pbLF) << "taken from the text with automatic line breaks";
}

TEST(MemoCore, LoadingResetsNavigatorsAndReports) {
  TPelMemoCore m;
  TMemoryStream first(std::string("abc\r\ndef"));
  m.LoadTextFromStream(first);
  TPelNavigator n(&m);
  n.SetPos(6);
  n.GetParIndex();
  m.SetSelStart(5);
  m.SetSelLength(2);
  int changes = 0;
  std::pair<int32_t, int32_t> parsed{-1, -1};
  m.OnChange = [&](TPelMemoCore&) { ++changes; };
  m.OnParse = [&](TPelMemoCore&, int32_t A, int32_t B) { parsed = {A, B}; };
  m.Modified = false;
  TMemoryStream second(std::string("xy"));
  m.LoadTextFromStream(second);
  EXPECT_EQ(n.Pos, 0);
  EXPECT_EQ(n.GetParIndex(), 0);
  EXPECT_EQ(m.GetSelStart(), 0);
  EXPECT_EQ(m.GetSelLength(), 0);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(parsed, (std::pair<int32_t, int32_t>{0, 2}));
  EXPECT_TRUE(m.Modified);
  m.CheckIntegrity();
}

TEST(MemoCore, CaretLinesAndBlockText) {
  TPelMemoCore m;
  TMemoryStream s(std::string("abcdef\r\nab\r\nxyz"));
  m.LoadTextFromStream(s);
  m.SetCaretLine(2);
  EXPECT_EQ(m.GetSelStart(), m.GetParStart(2));
  EXPECT_EQ(m.GetCaretLine(), 2);
  m.SetCaretLine(50);
  EXPECT_EQ(m.GetCaretLine(), 2);
  EXPECT_EQ(m.GetDisplayLine(1), "ab");
  EXPECT_THROW(m.GetDisplayLine(3), EListError);
  // Columns 2 .. 4 over the three rows: "cd", nothing (the row ends first), "z".
  m.SetSelStart(2);
  m.SetSelLength(m.GetParStart(2) + 3 - 2);
  m.BlockActive = true;
  m.BlockStartColumn = 2;
  m.BlockStopColumn = 4;
  EXPECT_EQ(m.GetSelText(), "cd\r\n\r\nz\r\n");
}

namespace {
// Records what the memo tells its window.
class TRecordingHost : public TPelMemoHost {
 public:
  void TextDisplayChanged(int32_t FirstLine, int32_t LineDelta) override {
    Log += "display " + std::to_string(FirstLine) + " " + std::to_string(LineDelta) + "; ";
  }
  void Changed() override { Log += "changed; "; }
  void ScrollInView() override { Log += "scroll; "; }
  std::string Log;
};
}  // namespace

TEST(MemoCore, AnEditReachesTheWindowThroughItsHost) {
  TPelMemoCore m;
  TMemoryStream s(std::string("a\r\nb\r\nc"));
  m.LoadTextFromStream(s);
  TRecordingHost host;
  m.Host = &host;
  m.SetSelStart(m.GetParStart(1));
  m.SetSelTextBuf("x\r\ny\r\n");
  // Changed from display line 1 on, two lines more; then the change; then the caret in view.
  EXPECT_EQ(host.Log, "display 1 2; changed; scroll; ");
  host.Log.clear();
  m.BeginUpdate();
  m.SetSelTextBuf("z");
  EXPECT_EQ(host.Log, "");
  m.EndUpdate();
  EXPECT_EQ(host.Log, "display 3 0; changed; scroll; ");
  m.Host = nullptr;
}
