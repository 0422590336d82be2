#include "memo/PelMemoFiler.h"

#include "memo/PelMemoCore.h"
#include "platform/Latin1.h"

namespace {
const char* const ReadError = "Error reading stored memo property";
}

// ---- writer -----------------------------------------------------------------------------

void TFilerWriter::Put32(uint32_t V) {
  for (int i = 0; i < 4; ++i) Data.push_back(static_cast<char>((V >> (8 * i)) & 0xFF));
}

void TFilerWriter::WriteListBegin() { Data.push_back(static_cast<char>(TValueType::vaList)); }

void TFilerWriter::WriteListEnd() { Data.push_back(static_cast<char>(TValueType::vaNull)); }

void TFilerWriter::WriteString(std::string_view S) {
  Data.push_back(static_cast<char>(TValueType::vaString));
  Put32(static_cast<uint32_t>(S.size()));
  Data.append(S);
}

void TFilerWriter::WriteWideString(std::u16string_view S) {
  Data.push_back(static_cast<char>(TValueType::vaWString));
  Put32(static_cast<uint32_t>(S.size()));
  for (char16_t c : S) {
    Data.push_back(static_cast<char>(c & 0xFF));
    Data.push_back(static_cast<char>(c >> 8));
  }
}

void TFilerWriter::WriteInteger(int32_t V) {
  Data.push_back(static_cast<char>(TValueType::vaInt));
  Put32(static_cast<uint32_t>(V));
}

void TFilerWriter::WriteBoolean(bool V) { Data.push_back(static_cast<char>(V ? TValueType::vaTrue : TValueType::vaFalse)); }

// ---- reader -----------------------------------------------------------------------------

TValueType TFilerReader::NextValue() const {
  if (Pos >= Data.size()) return TValueType::vaNull;
  const auto t = static_cast<uint8_t>(Data[Pos]);
  if (t > static_cast<uint8_t>(TValueType::vaTrue)) throw EFilerError(ReadError);
  return static_cast<TValueType>(t);
}

void TFilerReader::Expect(TValueType T) {
  if (Pos >= Data.size() || NextValue() != T) throw EFilerError(ReadError);
  ++Pos;
}

uint32_t TFilerReader::Get32() {
  if (Data.size() - Pos < 4) throw EFilerError(ReadError);
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(Data[Pos++])) << (8 * i);
  return v;
}

void TFilerReader::ReadListBegin() { Expect(TValueType::vaList); }

void TFilerReader::ReadListEnd() { Expect(TValueType::vaNull); }

std::string TFilerReader::ReadString() {
  Expect(TValueType::vaString);
  const uint32_t n = Get32();
  if (Data.size() - Pos < n) throw EFilerError(ReadError);
  std::string s = Data.substr(Pos, n);
  Pos += n;
  return s;
}

std::u16string TFilerReader::ReadWideString() {
  Expect(TValueType::vaWString);
  const uint32_t n = Get32();
  if ((Data.size() - Pos) / 2 < n) throw EFilerError(ReadError);
  std::u16string s(n, u'\0');
  for (uint32_t i = 0; i < n; ++i) {
    s[i] = static_cast<char16_t>(static_cast<uint8_t>(Data[Pos]) | (static_cast<uint8_t>(Data[Pos + 1]) << 8));
    Pos += 2;
  }
  return s;
}

int32_t TFilerReader::ReadInteger() {
  Expect(TValueType::vaInt);
  return static_cast<int32_t>(Get32());
}

bool TFilerReader::ReadBoolean() {
  const TValueType t = NextValue();
  if (t != TValueType::vaTrue && t != TValueType::vaFalse) throw EFilerError(ReadError);
  ++Pos;
  return t == TValueType::vaTrue;
}

// ---- the memo's Lines ---------------------------------------------------------------------

bool LinesStored(const TPelMemoCore& Memo) { return Memo.GetTextLength() > 0; }

void WriteLinesStrings(TPelMemoCore& Memo, TFilerWriter& Writer) {
  Writer.WriteListBegin();
  for (int32_t i = 0; i < Memo.GetParCount(); ++i) Writer.WriteString(Memo.GetParText(i));
  Writer.WriteListEnd();
}

void ReadLinesStrings(TPelMemoCore& Memo, TFilerReader& Reader) {
  Reader.ReadListBegin();
  Memo.BeginUpdate();
  try {
    Memo.Clear();
    while (!Reader.EndOfList()) {
      std::string par;
      if (Reader.NextValue() == TValueType::vaWString) {
        par = Utf16ToLatin1(Reader.ReadWideString());
      } else {
        for (;;) {
          std::string piece = Reader.ReadString();
          const bool more = !piece.empty() && piece.back() == '\5';
          if (more) piece.pop_back();
          par += piece;
          if (!more || Reader.EndOfList() || Reader.NextValue() != TValueType::vaString) break;
        }
      }
      Memo.SetParTextBuf(Memo.GetTextLength() >= 1 ? Memo.GetParCount() : 0, par.c_str());
    }
    Reader.ReadListEnd();
  } catch (...) {
    Memo.EndUpdate();
    throw;
  }
  Memo.EndUpdate();
}
