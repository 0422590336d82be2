#pragma once
// Highlighting definitions of the memo: keyword lists, start/stop-key lists and
// the highlighter component through which a descendant may take part in parsing.
// Plain C++; the scans that use these lists are in PelMemoParse.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "memo/PelMemoStrings.h"
#include "memo/PelMemoTypes.h"

class TPelMemoCore;
class TFilerReader;
class TFilerWriter;

// How keys and text are upper-cased for case-insensitive matching.
enum class TpmUpperCase : uint8_t { pmuAscii, pmuAnsi, pmuUserDefined };

// Upper-cases a NUL-terminated text in place; installed by the application for
// pmuUserDefined (while it is unset, pmuUserDefined behaves as pmuAscii).
using TUpperCaseProc = void (*)(char* Text);
extern TUpperCaseProc PelUserUpperCase;

// Upper-cases Count bytes of Text in place by the mode.
void UpperCaseBytes(char* Text, int32_t Count, TpmUpperCase Mode);
std::string UpperCaseCopy(std::string_view Text, TpmUpperCase Mode);

// Option bits of keywords and start/stop keys.
inline constexpr uint8_t koCaseSensitive = 1;
inline constexpr uint8_t koWholeWord = 2;
// Marks the stored form that carries three context integers.
inline constexpr uint8_t koStoredNewForm = 0x80;

// The longest start or stop key: its length (plus one for a separator) must fit
// the 8-bit length fields of a style record.
inline constexpr int32_t MaxStartStopKeyLength = 254;

// The first fields of a keyword, as GetKeyHeader copies them.
struct TKeyHeader {
  uint8_t Options = 0;
  uint8_t FontStyle = 0;
  int32_t KeyValue = 0;
  int16_t KeyWord = 0;
  int32_t Color1 = NoColor;
  int32_t Color2 = NoColor;
};

// One keyword.
struct TKeyInfoLen {
  uint8_t Options = 0;
  uint8_t FontStyle = 0;
  int32_t KeyValue = 0;  // 0: never matched
  int16_t KeyWord = 0;
  int32_t Color1 = NoColor;
  int32_t Color2 = NoColor;
  std::string Keyword;
  std::string MatchKey;  // upper-cased unless case-sensitive
  int32_t KeyLength = 0;
  int32_t Context1 = 0, Context2 = 0, Context3 = 0;
};

class TKeywordList : public TStrings {
 public:
  std::string Get(int32_t I) override;
  int32_t GetCount() override { return static_cast<int32_t>(Items.size()); }
  void Put(int32_t I, const std::string& S) override;
  void Delete(int32_t I) override;
  void Insert(int32_t I, const std::string& S) override;
  void Clear() override;
  void SetUpdateState(bool Updating) override;
  // From another keyword list every record is copied whole.
  void Assign(TStrings& Source) override;

  // Record I (the caller re-applies the update state after changing options or the keyword).
  TKeyInfoLen& Key(int32_t I);
  const TKeyInfoLen& Key(int32_t I) const;
  void GetKeyHeader(int32_t I, TKeyHeader& Header) const;
  // Adds a keyword with its header; returns its index.
  int32_t AddKeyword(const std::string& Word, const TKeyHeader& Header);
  void SetUpperCaseType(TpmUpperCase Mode);
  TpmUpperCase GetUpperCaseType() const { return UpperCaseType; }
  // Recomputes the match keys, MaxKeyLength and HasCaseInsensitive.
  void Prepare();

  // The stored "Strings" property; stored only when the list has records.
  bool Stored() const { return !Items.empty(); }
  void ReadStrings(TFilerReader& Reader);
  void WriteStrings(TFilerWriter& Writer) const;

  std::vector<std::unique_ptr<TKeyInfoLen>> Items;
  bool Updating = false;
  TpmUpperCase UpperCaseType = TpmUpperCase::pmuAscii;
  int32_t MaxKeyLength = 0;
  // Keywords may also be highlighted inside styles opened by the highlighter's
  // own contexts (never inside a start/stop-key region with a key value).
  bool KeywordsInContexts = false;
  bool HasCaseInsensitive = false;
};

// One start/stop key.
struct StartStopInfo {
  uint8_t Options = 0;
  uint8_t FontStyle = 0;
  int32_t KeyValue = 0;
  int16_t KeyWord = 0;
  int32_t Color1 = NoColor;
  int32_t Color2 = NoColor;
  std::string StartMatch;  // upper-cased unless case-sensitive
  std::string StopMatch;
  int16_t StartLength = 0;
  int16_t StopLength = 0;
  std::string StartKey;
  std::string StopKey;
  int32_t Context1 = 0, Context2 = 0, Context3 = 0;
  int16_t FirstAlternative = -1;  // earlier key with the same start match and options
  bool EndsAtParEnd = false;      // the paragraph break also closes the region
  bool StartSepBefore = false, StartSepAfter = false;
  bool StopSepBefore = false, StopSepAfter = false;
};

class TStartStopKeyList {
 public:
  // Refuses (EListError) a start or stop key longer than MaxStartStopKeyLength.
  int32_t AddKey(const std::string& StartKey, const std::string& StopKey, bool EndsAtParEnd, int32_t Color2, int32_t Color1,
                 int16_t KeyWord, int32_t KeyValue, uint8_t FontStyle, uint8_t Options);
  void Clear();
  int32_t Count() const { return static_cast<int32_t>(Items.size()); }
  StartStopInfo& Key(int32_t I);
  const StartStopInfo& Key(int32_t I) const;
  void SetUpperCaseType(TpmUpperCase Mode);
  TpmUpperCase GetUpperCaseType() const { return UpperCaseType; }
  // Derives the separator flags from the memo's separators; Prepared := true.
  void Prepare(const TPelMemoCore& Memo);

  bool Stored() const { return !Items.empty(); }
  void ReadKeys(TFilerReader& Reader);
  void WriteKeys(TFilerWriter& Writer) const;

 private:
  // Key I's FirstAlternative from the match texts of the keys before it.
  void DeriveFirstAlternative(int32_t I);

 public:
  std::vector<StartStopInfo> Items;
  TpmUpperCase UpperCaseType = TpmUpperCase::pmuAscii;
  int16_t MaxStartLength = 0;
  int16_t MaxStopLength = 0;
  bool Prepared = false;
};

// What a highlighter hook sees of a scan and may change.
struct TParseScan {
  int32_t Par = 0;           // paragraph being scanned
  int32_t Offset = 0;        // scan position inside it
  TStyleRecord Style;        // style in effect there
};

// Shared by several memos; its hooks do nothing here. A descendant may open its
// own contexts (non-negative entries of a style's context stack).
class TPelHighlighter {
 public:
  virtual ~TPelHighlighter();
  // Before a keyword scan, with the keyword count.
  virtual void KeywordsHook(TPelMemoCore& Memo, int32_t KeywordCount);
  // When no start key matched: true when the hook found something; it then gives
  // in Scan the position and the style in effect from there on.
  virtual bool StartScanHook(TPelMemoCore& Memo, TParseScan& Scan, int32_t KeyCount);
  // When the open context is not a start/stop key: true when it found the stop;
  // it then gives in Scan the position after the stop and the style from there on.
  virtual bool StopScanHook(TPelMemoCore& Memo, TParseScan& Scan);
  virtual void SpareHook();

  std::vector<TPelMemoCore*> Memos;
};
