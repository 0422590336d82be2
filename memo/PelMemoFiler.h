#pragma once
// A small filer for the memo's stored properties: a byte stream of tagged values
// (lists, strings, wide strings, integers, booleans), written and read in order.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

class TPelMemoCore;

enum class TValueType : uint8_t { vaNull = 0, vaList = 1, vaInt = 2, vaString = 3, vaWString = 4, vaFalse = 5, vaTrue = 6 };

// A stored form that does not read by the rules.
class EFilerError : public std::runtime_error {
 public:
  explicit EFilerError(const std::string& Msg) : std::runtime_error(Msg) {}
};

class TFilerWriter {
 public:
  void WriteListBegin();
  void WriteListEnd();
  void WriteString(std::string_view S);
  void WriteWideString(std::u16string_view S);
  void WriteInteger(int32_t V);
  void WriteBoolean(bool V);
  const std::string& Bytes() const { return Data; }

 private:
  void Put32(uint32_t V);
  std::string Data;
};

class TFilerReader {
 public:
  explicit TFilerReader(std::string Bytes) : Data(std::move(Bytes)) {}
  // The type of the next value (vaNull also at the end of the data).
  TValueType NextValue() const;
  bool EndOfList() const { return NextValue() == TValueType::vaNull; }
  void ReadListBegin();
  void ReadListEnd();
  std::string ReadString();
  std::u16string ReadWideString();
  int32_t ReadInteger();
  bool ReadBoolean();
  bool AtEnd() const { return Pos >= Data.size(); }

 private:
  void Expect(TValueType T);
  uint32_t Get32();
  std::string Data;
  size_t Pos = 0;
};

// The stored "Strings" of the memo's Lines: one string per paragraph. Stored
// only when the text is not empty.
bool LinesStored(const TPelMemoCore& Memo);
void WriteLinesStrings(TPelMemoCore& Memo, TFilerWriter& Writer);
// A piece ending in #5 continues in the next piece; while the memo is empty each
// paragraph read replaces paragraph 0.
void ReadLinesStrings(TPelMemoCore& Memo, TFilerReader& Reader);
