#pragma once
// Small routines shared by the memo's text model, formatting and painting: the
// in-text style codes, style-record counting, chunked measuring and text helpers.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "memo/PelMemoTypes.h"

// Style bits of the in-text style byte.
inline constexpr uint8_t StyleBold = 1;        // code 2
inline constexpr uint8_t StyleItalic = 2;      // code 1
inline constexpr uint8_t StyleUnderline = 4;   // code 21
inline constexpr uint8_t StyleHighlight = 16;  // code 3
inline constexpr uint8_t StyleAltFont = 32;    // code 4
// Bits that select the measuring font (the highlight bit changes colours only).
inline constexpr uint8_t StyleFontMask = 0xEF;

// True for the five style codes 1, 2, 3, 4 and 21.
constexpr bool IsStyleCode(unsigned char Ch) { return (Ch >= 1 && Ch <= 4) || Ch == 21; }
// The style bit a code toggles (0 for other bytes).
constexpr uint8_t StyleBitOfCode(unsigned char Ch) {
  switch (Ch) {
    case 1: return StyleItalic;
    case 2: return StyleBold;
    case 3: return StyleHighlight;
    case 4: return StyleAltFont;
    case 21: return StyleUnderline;
    default: return 0;
  }
}

uint8_t ToggleStyleBit(uint8_t Style, int Bit);
bool ToggleStyleByCode(uint8_t& Style, unsigned char Code);
// The style byte after the codes of Count bytes of Text.
uint8_t AdvanceStyle(uint8_t Style, const char* Text, int32_t Count);
std::string StripFormatCodes(std::string_view Text);

void ReleaseStyle(TStyleRecord* Style);
TStyleRecord* CopyStyle(const TStyleRecord* Style);

// Measures text in the font the caller selected. The memo's widget supplies one
// drawing on its canvas; tests supply fixed widths.
class TTextMeasurer {
 public:
  virtual ~TTextMeasurer() = default;
  // Selects the font for an in-text style byte and an attribute style (nullptr: default).
  virtual void SelectFont(uint8_t StaticStyle, const TStyleRecord* Attr) = 0;
  // Width in pixels of Count bytes of Text in the selected font.
  virtual int32_t TextExtent(const char* Text, int32_t Count) = 0;
};

// Sum of the extents of consecutive pieces of at most Chunk characters; 0 for Count < 1.
int32_t TextExtentChunked(TTextMeasurer& Measurer, const char* Text, int32_t Count, int32_t Chunk);

// The one measure of runs of text: the width of characters and blanks (no tabs, no
// style codes) in the font in force for an in-text style byte and the attribute
// record in effect (nullptr, or a record that is no highlight: the style byte alone
// chooses). The formatter, the navigator's x, the painting and the caret all measure
// through it, so a line is as wide where it is broken as where it is drawn and where
// the caret stands on it. A meter serves one pass over a paragraph: it selects a font
// only when the style in force changes, and nothing else may select one meanwhile.
class TRunMeter {
 public:
  TRunMeter(TTextMeasurer& Measurer, int32_t Chunk) : M(Measurer), Chunk(Chunk) {}
  // Inline: the formatter asks once a word and once a blank.
  int32_t Width(uint8_t Style, const TStyleRecord* Attr, const char* Text, int32_t Count) {
    if (Attr && !(Attr->Flags & 0x80)) Attr = nullptr;
    if (SelStyle < 0 || ((SelStyle ^ Style) & StyleFontMask) != 0 || Attr != SelAttr) Select(Style, Attr);
    if (Count == 1) {
      if (*Text != ' ') return M.TextExtent(Text, 1);
      if (Space < 0) Space = M.TextExtent(" ", 1);
      return Space;
    }
    return TextExtentChunked(M, Text, Count, Chunk);
  }

 private:
  void Select(uint8_t Style, const TStyleRecord* Attr);
  TTextMeasurer& M;
  int32_t Chunk;
  int32_t SelStyle = -1;
  const TStyleRecord* SelAttr = nullptr;
  int32_t Space = -1;  // a blank's width in the selected font, once measured
};

struct TRect16 {
  int32_t Left, Top, Right, Bottom;
};
void ClampRectTo16Bit(TRect16& Rect);

const char* StrScan(const char* Text, char Ch);
// Upper-cases a NUL-terminated text in place, Latin-1 code page.
void CharUpperNil(char* Text);

constexpr int32_t IntMax(int32_t A, int32_t B) { return A > B ? A : B; }
constexpr int32_t IntMin(int32_t A, int32_t B) { return A < B ? A : B; }

// Flag bit of a highlighting style that asks for the zig-zag special underline.
inline constexpr uint8_t SpecUnderlineFlag = 0x10;

struct TZigzagPoint {
  int32_t X, Y;
  bool operator==(const TZigzagPoint&) const = default;
};
// The corners of a zig-zag line from X1 to X2 (clamped to -32768 .. 32767): it
// starts at (X1, Y + Step) and goes up to Y and down to Y + Step every Step
// pixels; the last segment is cut where it passes X2. With X2 <= X1 only the
// starting point.
std::vector<TZigzagPoint> ZigzagPoints(int32_t X1, int32_t X2, int32_t Step, int32_t Y);
