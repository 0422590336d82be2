#include "memo/PelMemoStrings.h"

#include "core/TextLines.h"
#include "memo/PelMemoCore.h"
#include "memo/PelStream.h"

// ---- base -----------------------------------------------------------------------------

void TStrings::Put(int32_t I, const std::string& S) {
  BeginUpdate();
  Delete(I);
  Insert(I, S);
  EndUpdate();
}

int32_t TStrings::Add(const std::string& S) {
  const int32_t i = GetCount();
  Insert(i, S);
  return i;
}

void TStrings::Clear() {
  BeginUpdate();
  while (GetCount() > 0) Delete(GetCount() - 1);
  EndUpdate();
}

std::string TStrings::GetTextStr() {
  std::string s;
  const int32_t n = GetCount();
  for (int32_t i = 0; i < n; ++i) {
    s += Get(i);
    s += "\r\n";
  }
  return s;
}

void TStrings::SetTextStr(const std::string& Text) {
  BeginUpdate();
  Clear();
  ForEachLine(std::string_view(Text), [&](std::string_view line) { Add(std::string(line)); });
  EndUpdate();
}

void TStrings::LoadFromStream(TStream& Stream) {
  std::string bytes(static_cast<size_t>(std::max<int64_t>(0, Stream.Size() - Stream.Position())), '\0');
  bytes.resize(static_cast<size_t>(Stream.Read(bytes.data(), static_cast<int64_t>(bytes.size()))));
  SetTextStr(bytes);
}

void TStrings::SaveToStream(TStream& Stream) {
  const std::string s = GetTextStr();
  if (!Stream.Write(s.data(), static_cast<int64_t>(s.size()))) throw std::runtime_error("Stream write error");
}

void TStrings::Assign(TStrings& Source) {
  BeginUpdate();
  Clear();
  const int32_t n = Source.GetCount();
  for (int32_t i = 0; i < n; ++i) Add(Source.Get(i));
  EndUpdate();
}

void TStrings::BeginUpdate() {
  if (UpdateNesting++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (UpdateNesting <= 0) return;
  if (--UpdateNesting == 0) SetUpdateState(false);
}

void TStrings::LoadFromFile(const std::string& FileName) {
  TFileStream f(FileName, TFileStream::OpenRead);
  LoadFromStream(f);
}

void TStrings::SaveToFile(const std::string& FileName) {
  TFileStream f(FileName, TFileStream::Create);
  SaveToStream(f);
}

std::string TStringList::Get(int32_t I) {
  if (I < 0 || I >= GetCount()) throw EListError(ListIndexError);
  return Items[static_cast<size_t>(I)];
}

void TStringList::Put(int32_t I, const std::string& S) {
  if (I < 0 || I >= GetCount()) throw EListError(ListIndexError);
  Items[static_cast<size_t>(I)] = S;
}

void TStringList::Delete(int32_t I) {
  if (I < 0 || I >= GetCount()) throw EListError(ListIndexError);
  Items.erase(Items.begin() + I);
}

void TStringList::Insert(int32_t I, const std::string& S) {
  if (I < 0 || I > GetCount()) throw EListError(ListIndexError);
  Items.insert(Items.begin() + I, S);
}

// ---- the memo's whole text ------------------------------------------------------------

std::string TPelMemoStrings::GetTextStr() { return Memo->GetTextRange(0, Memo->GetTextLength()); }

void TPelMemoStrings::SetTextStr(const std::string& Text) { Memo->SetTextBuf(Text.c_str()); }

void TPelMemoStrings::SetUpdateState(bool Updating) {
  if (Updating)
    Memo->BeginUpdate();
  else
    Memo->EndUpdate();
}

void TPelMemoStrings::Clear() { Memo->Clear(); }

void TPelMemoStrings::LoadFromStream(TStream& Stream) { Memo->LoadTextFromStream(Stream); }

void TPelMemoStrings::SaveToStream(TStream& Stream) {
  const std::string s = GetTextStr();
  if (!Stream.Write(s.data(), static_cast<int64_t>(s.size()))) throw std::runtime_error("Stream write error");
}

void TPelMemoStrings::Assign(TStrings& Source) {
  TMemoryStream m;
  if (auto* other = dynamic_cast<TPelMemoStrings*>(&Source))
    other->Memo->SaveTextToStream(m);
  else
    Source.SaveToStream(m);
  m.Seek(0);
  Memo->LoadTextFromStream(m);
}

// ---- one string per paragraph ---------------------------------------------------------

static bool LastParEmpty(TPelMemoCore& M) { return GetParLength(M.Paragraphs.Par(M.GetParCount() - 1)) == 0; }

std::string TPelParaStrings::Get(int32_t I) { return Memo->GetParText(I); }

int32_t TPelParaStrings::GetCount() { return Memo->GetParCount() - (LastParEmpty(*Memo) ? 1 : 0); }

void TPelParaStrings::Put(int32_t I, const std::string& S) { Memo->SetParText(I, S); }

int32_t TPelParaStrings::Add(const std::string& S) {
  const int32_t count = Memo->GetParCount();
  if (LastParEmpty(*Memo)) {
    Memo->SetParText(count - 1, S + "\r\n");
    return count - 1;
  }
  Memo->SetParText(count, S);
  return count;
}

void TPelParaStrings::Delete(int32_t I) {
  Memo->MoveToPar(I);
  const int32_t p = Memo->GetCaretPar();
  const int32_t len = GetParLength(Memo->Paragraphs.Par(p));
  Memo->SetSelLength(p < Memo->GetParCount() - 1 ? len + 2 : len);
  Memo->ClearSelection();
}

void TPelParaStrings::Insert(int32_t I, const std::string& S) {
  if (I >= Memo->GetParCount()) {
    Memo->SetSelStart(Memo->GetTextLength());
    Memo->SetSelText("\r\n" + S);
  } else {
    Memo->MoveToPar(I);
    Memo->SetSelText(S + "\r\n");
  }
}

// ---- one string per display line ------------------------------------------------------

std::string TPelLinesStrings::Get(int32_t I) { return Memo->GetDisplayLine(I); }

int32_t TPelLinesStrings::GetCount() {
  const int32_t lines = Memo->GetDisplayLineCount();
  TLinesList ll;
  ll.Par = &Memo->Paragraphs.Par(Memo->GetParCount() - 1);
  const LineInfo* last = ll.GetLine(ll.Count() - 1);
  return lines - (last->Start == last->Stop ? 1 : 0);
}

void TPelLinesStrings::Put(int32_t I, const std::string& S) {
  if (I < 0 || I >= Memo->GetDisplayLineCount()) return;
  const std::string line = Memo->GetDisplayLine(I);
  Memo->SetCaretLine(I);
  Memo->SetSelLength(static_cast<int32_t>(line.size()));
  Memo->SetSelText(S);
}

int32_t TPelLinesStrings::Add(const std::string& S) {
  Memo->SetSelStart(Memo->GetSelStart());
  const int32_t count = Memo->GetParCount();
  int32_t added;
  if (LastParEmpty(*Memo)) {
    Memo->SetParText(count - 1, S + "\r\n");
    added = count - 1;
  } else {
    Memo->SetParText(count, S);
    added = count;
  }
  Memo->SetSelStart(Memo->GetTextLength());
  if (Memo->Host) Memo->Host->ScrollInView();
  return Memo->Paragraphs.Par(added).FirstLine;
}

void TPelLinesStrings::Delete(int32_t I) {
  if (I < 0 || I >= GetCount()) return;
  const std::string line = Memo->GetDisplayLine(I);
  Memo->SetCaretLine(I);
  int32_t n = static_cast<int32_t>(line.size());
  TPelNavigator& c = *Memo->CaretNav;
  if (c.GetParOffset() + n >= GetParLength(*c.GetPar())) n += 2;
  Memo->SetSelLength(n);
  Memo->ClearSelection();
}

void TPelLinesStrings::Insert(int32_t I, const std::string& S) {
  if (I < 0 || I > Memo->GetDisplayLineCount()) return;
  if (I == Memo->GetDisplayLineCount()) {
    Memo->SetSelStart(Memo->GetTextLength());
    Memo->SetSelText("\r\n" + S);
  } else {
    Memo->SetCaretLine(I);
    Memo->SetSelText(S + "\r\n");
  }
}
