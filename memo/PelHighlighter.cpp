#include "memo/PelHighlighter.h"

#include <algorithm>

#include "memo/PelMemoCore.h"
#include "memo/PelMemoFiler.h"
#include "platform/Latin1.h"

TUpperCaseProc PelUserUpperCase = nullptr;

void UpperCaseBytes(char* Text, int32_t Count, TpmUpperCase Mode) {
  if (Text == nullptr || Count <= 0) return;
  if (Mode == TpmUpperCase::pmuUserDefined && PelUserUpperCase != nullptr) {
    // The user routine works on NUL-terminated text: give it a terminated copy.
    std::string tmp(Text, static_cast<size_t>(Count));
    PelUserUpperCase(tmp.data());
    for (int32_t i = 0; i < Count; ++i) Text[i] = tmp[static_cast<size_t>(i)];
    return;
  }
  if (Mode == TpmUpperCase::pmuAnsi) {
    for (int32_t i = 0; i < Count; ++i) Text[i] = static_cast<char>(Latin1Upper(static_cast<unsigned char>(Text[i])));
    return;
  }
  for (int32_t i = 0; i < Count; ++i)
    if (Text[i] >= 'a' && Text[i] <= 'z') Text[i] = static_cast<char>(Text[i] - 'a' + 'A');
}

std::string UpperCaseCopy(std::string_view Text, TpmUpperCase Mode) {
  std::string s(Text);
  UpperCaseBytes(s.data(), static_cast<int32_t>(s.size()), Mode);
  return s;
}

// ---- keyword list -------------------------------------------------------------------------

TKeyInfoLen& TKeywordList::Key(int32_t I) {
  if (I < 0 || I >= GetCount()) throw EListError(ListIndexError);
  return *Items[static_cast<size_t>(I)];
}

const TKeyInfoLen& TKeywordList::Key(int32_t I) const {
  if (I < 0 || I >= static_cast<int32_t>(Items.size())) throw EListError(ListIndexError);
  return *Items[static_cast<size_t>(I)];
}

std::string TKeywordList::Get(int32_t I) { return Key(I).Keyword; }

void TKeywordList::Put(int32_t I, const std::string& S) {
  Key(I).Keyword = S;
  SetUpdateState(Updating);
}

void TKeywordList::Insert(int32_t I, const std::string& S) {
  if (I < 0 || I > GetCount()) throw EListError(ListIndexError);
  auto k = std::make_unique<TKeyInfoLen>();
  k->Keyword = S;
  Items.insert(Items.begin() + I, std::move(k));
  SetUpdateState(Updating);
}

void TKeywordList::Delete(int32_t I) {
  if (I < 0 || I >= GetCount()) throw EListError(ListIndexError);
  Items.erase(Items.begin() + I);
  SetUpdateState(Updating);
}

void TKeywordList::Clear() {
  Items.clear();
  SetUpdateState(Updating);
}

void TKeywordList::SetUpdateState(bool U) {
  Updating = U;
  if (!U) Prepare();
}

void TKeywordList::Prepare() {
  HasCaseInsensitive = false;
  MaxKeyLength = 0;
  for (auto& k : Items) {
    k->KeyLength = static_cast<int32_t>(k->Keyword.size());
    MaxKeyLength = std::max(MaxKeyLength, k->KeyLength);
    if (k->Options & koCaseSensitive) {
      k->MatchKey = k->Keyword;
    } else {
      HasCaseInsensitive = true;
      k->MatchKey = UpperCaseCopy(k->Keyword, UpperCaseType);
    }
  }
}

void TKeywordList::Assign(TStrings& Source) {
  if (auto* other = dynamic_cast<TKeywordList*>(&Source)) {
    if (other == this) return;
    const bool was = Updating;
    Updating = true;
    Items.clear();
    for (const auto& k : other->Items) Items.push_back(std::make_unique<TKeyInfoLen>(*k));
    KeywordsInContexts = other->KeywordsInContexts;
    SetUpdateState(was);
    return;
  }
  TStrings::Assign(Source);
}

void TKeywordList::GetKeyHeader(int32_t I, TKeyHeader& H) const {
  const TKeyInfoLen& k = Key(I);
  H.Options = k.Options;
  H.FontStyle = k.FontStyle;
  H.KeyValue = k.KeyValue;
  H.KeyWord = k.KeyWord;
  H.Color1 = k.Color1;
  H.Color2 = k.Color2;
}

int32_t TKeywordList::AddKeyword(const std::string& Word, const TKeyHeader& H) {
  const bool was = Updating;
  Updating = true;
  const int32_t i = Add(Word);
  TKeyInfoLen& k = Key(i);
  k.Options = H.Options & (koCaseSensitive | koWholeWord);
  k.FontStyle = H.FontStyle;
  k.KeyValue = H.KeyValue;
  k.KeyWord = H.KeyWord;
  k.Color1 = H.Color1;
  k.Color2 = H.Color2;
  SetUpdateState(was);
  return i;
}

void TKeywordList::SetUpperCaseType(TpmUpperCase Mode) {
  if (Mode == UpperCaseType) return;
  UpperCaseType = Mode;
  SetUpdateState(Updating);
}

void TKeywordList::WriteStrings(TFilerWriter& W) const {
  W.WriteListBegin();
  for (const auto& k : Items) {
    W.WriteString(k->Keyword);
    W.WriteInteger(k->Options | koStoredNewForm);
    W.WriteInteger(k->FontStyle);
    W.WriteInteger(k->KeyValue);
    W.WriteInteger(k->KeyWord);
    W.WriteInteger(k->Color1);
    W.WriteInteger(k->Color2);
    W.WriteInteger(k->Context1);
    W.WriteInteger(k->Context2);
    W.WriteInteger(k->Context3);
  }
  W.WriteListEnd();
}

static std::string ReadAnyString(TFilerReader& R) {
  if (R.NextValue() == TValueType::vaWString) return Utf16ToLatin1(R.ReadWideString());
  return R.ReadString();
}

void TKeywordList::ReadStrings(TFilerReader& R) {
  R.ReadListBegin();
  const bool was = Updating;
  Updating = true;
  Items.clear();
  try {
    while (!R.EndOfList()) {
      auto k = std::make_unique<TKeyInfoLen>();
      k->Keyword = ReadAnyString(R);
      const int32_t options = R.ReadInteger();
      k->Options = static_cast<uint8_t>(options & 0x7F);
      k->FontStyle = static_cast<uint8_t>(R.ReadInteger());
      k->KeyValue = R.ReadInteger();
      k->KeyWord = static_cast<int16_t>(R.ReadInteger());
      k->Color1 = R.ReadInteger();
      k->Color2 = R.ReadInteger();
      if (options & koStoredNewForm) {
        k->Context1 = R.ReadInteger();
        k->Context2 = R.ReadInteger();
        k->Context3 = R.ReadInteger();
      } else if (R.NextValue() == TValueType::vaInt) {
        k->Context1 = R.ReadInteger();
        k->Context2 = R.ReadInteger();
      }
      Items.push_back(std::move(k));
    }
    R.ReadListEnd();
  } catch (...) {
    SetUpdateState(was);
    throw;
  }
  SetUpdateState(was);
}

// ---- start/stop keys -----------------------------------------------------------------------

StartStopInfo& TStartStopKeyList::Key(int32_t I) {
  if (I < 0 || I >= Count()) throw EListError(ListIndexError);
  return Items[static_cast<size_t>(I)];
}

const StartStopInfo& TStartStopKeyList::Key(int32_t I) const {
  if (I < 0 || I >= Count()) throw EListError(ListIndexError);
  return Items[static_cast<size_t>(I)];
}

int32_t TStartStopKeyList::AddKey(const std::string& StartKey, const std::string& StopKey, bool EndsAtParEnd, int32_t Color2,
                                  int32_t Color1, int16_t KeyWord, int32_t KeyValue, uint8_t FontStyle, uint8_t Options) {
  if (static_cast<int32_t>(StartKey.size()) > MaxStartStopKeyLength ||
      static_cast<int32_t>(StopKey.size()) > MaxStartStopKeyLength)
    throw EListError("Start or stop key longer than 254 characters");
  StartStopInfo k;
  k.Options = Options & (koCaseSensitive | koWholeWord);
  k.FontStyle = FontStyle;
  k.KeyValue = KeyValue;
  k.KeyWord = KeyWord;
  k.Color1 = Color1;
  k.Color2 = Color2;
  k.StartKey = StartKey;
  k.StopKey = StopKey;
  const bool cs = k.Options & koCaseSensitive;
  k.StartMatch = cs ? StartKey : UpperCaseCopy(StartKey, UpperCaseType);
  k.StopMatch = cs ? StopKey : UpperCaseCopy(StopKey, UpperCaseType);
  k.StartLength = static_cast<int16_t>(StartKey.size());
  k.StopLength = static_cast<int16_t>(StopKey.size());
  k.EndsAtParEnd = EndsAtParEnd;
  MaxStartLength = std::max(MaxStartLength, k.StartLength);
  MaxStopLength = std::max<int16_t>(MaxStopLength, std::max<int16_t>(k.StopLength, EndsAtParEnd ? 2 : 0));
  Items.push_back(std::move(k));
  DeriveFirstAlternative(Count() - 1);
  Prepared = false;
  return Count() - 1;
}

void TStartStopKeyList::DeriveFirstAlternative(int32_t I) {
  StartStopInfo& k = Items[static_cast<size_t>(I)];
  k.FirstAlternative = -1;
  for (int32_t i = 0; i < I; ++i)
    if (Items[static_cast<size_t>(i)].Options == k.Options && Items[static_cast<size_t>(i)].StartMatch == k.StartMatch) {
      k.FirstAlternative = static_cast<int16_t>(i);
      break;
    }
}

void TStartStopKeyList::Clear() {
  Items.clear();
  MaxStartLength = 0;
  MaxStopLength = 0;
  Prepared = false;
}

void TStartStopKeyList::SetUpperCaseType(TpmUpperCase Mode) {
  if (Mode == UpperCaseType) return;
  UpperCaseType = Mode;
  for (auto& k : Items)
    if (!(k.Options & koCaseSensitive)) {
      k.StartMatch = UpperCaseCopy(k.StartKey, Mode);
      k.StopMatch = UpperCaseCopy(k.StopKey, Mode);
    }
  // Keys that upper-case alike now may not have before, and the other way round.
  for (int32_t i = 0; i < Count(); ++i) DeriveFirstAlternative(i);
  Prepared = false;
}

void TStartStopKeyList::Prepare(const TPelMemoCore& Memo) {
  for (auto& k : Items) {
    const bool whole = k.Options & koWholeWord;
    k.StartSepBefore = whole && !k.StartKey.empty() && !Memo.IsSeparator(k.StartKey.front());
    k.StartSepAfter = whole && !k.StartKey.empty() && !Memo.IsSeparator(k.StartKey.back());
    k.StopSepBefore = whole && !k.StopKey.empty() && !Memo.IsSeparator(k.StopKey.front());
    k.StopSepAfter = whole && !k.StopKey.empty() && !Memo.IsSeparator(k.StopKey.back());
  }
  Prepared = true;
}

void TStartStopKeyList::WriteKeys(TFilerWriter& W) const {
  W.WriteListBegin();
  for (const auto& k : Items) {
    W.WriteString(k.StartMatch);
    W.WriteString(k.StopMatch);
    W.WriteInteger(k.Options | koStoredNewForm);
    W.WriteInteger(k.FontStyle);
    W.WriteInteger(k.KeyValue);
    W.WriteInteger(k.KeyWord);
    W.WriteInteger(k.Color1);
    W.WriteInteger(k.Color2);
    W.WriteBoolean(k.EndsAtParEnd);
    W.WriteInteger(k.Context1);
    W.WriteInteger(k.Context2);
    W.WriteInteger(k.Context3);
  }
  W.WriteListEnd();
}

void TStartStopKeyList::ReadKeys(TFilerReader& R) {
  R.ReadListBegin();
  Clear();
  while (!R.EndOfList()) {
    const std::string start = ReadAnyString(R);
    const std::string stop = ReadAnyString(R);
    const int32_t options = R.ReadInteger();
    const auto fontStyle = static_cast<uint8_t>(R.ReadInteger());
    const int32_t keyValue = R.ReadInteger();
    const auto keyWord = static_cast<int16_t>(R.ReadInteger());
    const int32_t color1 = R.ReadInteger();
    const int32_t color2 = R.ReadInteger();
    int32_t c1 = 0, c2 = 0, c3 = 0;
    if (R.NextValue() == TValueType::vaInt) {
      c1 = R.ReadInteger();
      c2 = R.ReadInteger();
    }
    const bool endsAtParEnd = R.ReadBoolean();
    if (options & koStoredNewForm) {
      c1 = R.ReadInteger();
      c2 = R.ReadInteger();
      c3 = R.ReadInteger();
    }
    const int32_t i =
        AddKey(start, stop, endsAtParEnd, color2, color1, keyWord, keyValue, fontStyle, static_cast<uint8_t>(options & 0x7F));
    Items[static_cast<size_t>(i)].Context1 = c1;
    Items[static_cast<size_t>(i)].Context2 = c2;
    Items[static_cast<size_t>(i)].Context3 = c3;
  }
  R.ReadListEnd();
  Prepared = false;
}

// ---- highlighter ---------------------------------------------------------------------------

TPelHighlighter::~TPelHighlighter() {
  for (TPelMemoCore* m : Memos)
    if (m->Highlighter == this) m->Highlighter = nullptr;
}

void TPelHighlighter::KeywordsHook(TPelMemoCore&, int32_t) {}
bool TPelHighlighter::StartScanHook(TPelMemoCore&, TParseScan&, int32_t) { return false; }
bool TPelHighlighter::StopScanHook(TPelMemoCore&, TParseScan&) { return false; }
void TPelHighlighter::SpareHook() {}
