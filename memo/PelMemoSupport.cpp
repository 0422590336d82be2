#include "memo/PelMemoSupport.h"

#include <cstring>

#include "platform/Latin1.h"

TStyleRecord DefaultStyle{};

int GetStyleContext(const TStyleRecord& Style) { return (Style.Flags & 0xC0) == 0xC0 ? Style.Depth : -1; }

uint8_t ToggleStyleBit(uint8_t Style, int Bit) { return static_cast<uint8_t>(Style ^ (1u << (Bit & 7))); }

bool ToggleStyleByCode(uint8_t& Style, unsigned char Code) {
  const uint8_t bit = StyleBitOfCode(Code);
  if (bit == 0) return false;
  Style ^= bit;
  return true;
}

uint8_t AdvanceStyle(uint8_t Style, const char* Text, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) Style ^= StyleBitOfCode(static_cast<unsigned char>(Text[i]));
  return Style;
}

std::string StripFormatCodes(std::string_view Text) {
  std::string out;
  out.reserve(Text.size());
  for (char c : Text)
    if (!IsStyleCode(static_cast<unsigned char>(c))) out.push_back(c);
  return out;
}

void ReleaseStyle(TStyleRecord* Style) {
  if (Style == nullptr || Style == &DefaultStyle) return;
  if (--Style->CountOrOffset <= 0) delete Style;
}

TStyleRecord* CopyStyle(const TStyleRecord* Style) {
  TStyleRecord* copy = new TStyleRecord(Style ? *Style : DefaultStyle);
  copy->CountOrOffset = 1;
  return copy;
}

int32_t TextExtentChunked(TTextMeasurer& Measurer, const char* Text, int32_t Count, int32_t Chunk) {
  if (Count < 1) return 0;
  if (Chunk < 1) Chunk = Count;
  int32_t width = 0;
  while (Count > 0) {
    const int32_t n = Count < Chunk ? Count : Chunk;
    width += Measurer.TextExtent(Text, n);
    Text += n;
    Count -= n;
  }
  return width;
}

void TRunMeter::Select(uint8_t Style, const TStyleRecord* Attr) {
  M.SelectFont(Style, Attr);
  SelStyle = Style;
  SelAttr = Attr;
  Space = -1;
}

static int32_t Clamp16(int32_t V) { return V < -32768 ? -32768 : (V > 32767 ? 32767 : V); }

void ClampRectTo16Bit(TRect16& Rect) {
  Rect.Left = Clamp16(Rect.Left);
  Rect.Right = Clamp16(Rect.Right);
}

const char* StrScan(const char* Text, char Ch) {
  if (Text == nullptr || Ch == '\0') return nullptr;
  return std::strchr(Text, Ch);
}

void CharUpperNil(char* Text) {
  if (Text == nullptr) return;
  for (; *Text; ++Text) *Text = static_cast<char>(Latin1Upper(static_cast<unsigned char>(*Text)));
}

std::vector<TZigzagPoint> ZigzagPoints(int32_t X1, int32_t X2, int32_t Step, int32_t Y) {
  X1 = X1 < -32768 ? -32768 : X1;
  X2 = X2 > 32767 ? 32767 : X2;
  if (Step < 1) Step = 1;
  std::vector<TZigzagPoint> pts{{X1, Y + Step}};
  bool up = true;
  for (int32_t x = X1; x < X2; x += Step, up = !up) {
    const int32_t next = x + Step;
    if (next > X2) {
      // Cut on the segment's own slope.
      const int32_t d = next - X2;
      pts.push_back({X2, up ? Y + d : Y + Step - d});
      break;
    }
    pts.push_back({next, up ? Y : Y + Step});
  }
  return pts;
}
