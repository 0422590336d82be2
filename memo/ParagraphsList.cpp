#include "memo/ParagraphsList.h"

#include <chrono>
#include <cstring>
#include <new>

#include "memo/PelMemoSupport.h"
#include "memo/PelNavigator.h"
#include "memo/PelStream.h"

namespace {

constexpr int32_t ChunkBytes = 65500;
constexpr int32_t KeepOldBufferFrom = 57313;  // about 7/8 of a chunk
constexpr int32_t TextHeader = 8;

uint32_t NowMs() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool IsBlank(char C) { return C == ' ' || C == '\t'; }

LineInfo OneLine(int32_t Len, int32_t Width, uint8_t Style) {
  LineInfo L;
  L.Start = 0;
  L.Stop = Len;
  L.Width = L.FullWidth = Width;
  L.JustStart = Len;
  L.Style = Style;
  return L;
}

}  // namespace

// ---- own text buffers -----------------------------------------------------------

char* AllocParText(int32_t Size) {
  char* block = new char[static_cast<size_t>(Size) + TextHeader];
  std::memcpy(block, &Size, sizeof Size);
  return block + TextHeader;
}

void FreeParText(char* Text) {
  if (Text) delete[] (Text - TextHeader);
}

int32_t ParTextBufSize(const char* Text) {
  if (Text == nullptr) return 0;
  int32_t size;
  std::memcpy(&size, Text - TextHeader, sizeof size);
  return size;
}

// ---- paragraph accessors ----------------------------------------------------------

TParagraph NewParagraph() {
  TParagraph P;
  std::memset(&P, 0, sizeof P);
  return P;
}

int32_t GetParLength(const TParagraph& P) { return (P.Flags & pfExtended) ? P.Extra->Length : P.Short.Len; }

void SetParLength(TParagraph& P, int32_t N) {
  if (!(P.Flags & pfExtended) && N >= 65535) {
    // The short form's one line always ends at the paragraph end; it still does.
    MakeExtended(P);
    P.Extra->FirstLineInfo.Stop = P.Extra->FirstLineInfo.JustStart = N;
  }
  if (P.Flags & pfExtended)
    P.Extra->Length = N;
  else
    P.Short.Len = static_cast<uint16_t>(N);
}

int32_t GetLineCount(const TParagraph& P) {
  return (P.Flags & pfExtended) ? static_cast<int32_t>(P.Extra->LineInfos.size()) + 1 : 1;
}

LineInfo GetFirstLineInfo(const TParagraph& P) {
  if (P.Flags & pfExtended) return P.Extra->FirstLineInfo;
  return OneLine(P.Short.Len, P.Short.Width, 0);
}

static bool FitsShort(const TParagraph& P, const LineInfo& L) {
  return !(P.Flags & pfExtended) && L.Start == 0 && L.Stop == P.Short.Len && L.Width >= 0 && L.Width < 65536 &&
         L.JustStart >= L.Stop && L.Style == 0 && L.AttrIndex == 0;
}

void SetFirstLineInfo(TParagraph& P, const LineInfo& L) {
  if (FitsShort(P, L)) {
    P.Short.Width = static_cast<uint16_t>(L.Width);
    return;
  }
  MakeExtended(P);
  P.Extra->FirstLineInfo = L;
}

int32_t GetAttrCount(const TParagraph& P) {
  return (P.Flags & pfExtended) ? static_cast<int32_t>(P.Extra->Attributes.size()) : 0;
}

void SetAttrCount(TParagraph& P, int32_t N) {
  if (N < 0) N = 0;
  if (N >= 1) MakeExtended(P);
  if (P.Flags & pfExtended) P.Extra->Attributes.resize(static_cast<size_t>(N));
}

TStyleRecord* GetParStartStyle(const TParagraph& P) { return (P.Flags & pfExtended) ? P.Extra->ParStartStyle : &DefaultStyle; }

void SetParStartStyle(TParagraph& P, TStyleRecord* Style, bool Copy) {
  if (P.Flags & pfExtended) {
    ReleaseStyle(P.Extra->ParStartStyle);
    P.Extra->ParStartStyle = &DefaultStyle;
  }
  if (Style == nullptr || Style == &DefaultStyle || !(Style->Flags & 0x80)) return;
  MakeExtended(P);
  if (Copy) {
    P.Extra->ParStartStyle = CopyStyle(Style);
  } else {
    ++Style->CountOrOffset;
    P.Extra->ParStartStyle = Style;
  }
}

uint8_t GetParStaticStyle(const TParagraph& P) { return (P.Flags & pfExtended) ? P.Extra->FirstLineInfo.Style : 0; }

void SetParStaticStyle(TParagraph& P, uint8_t Style) {
  if (Style != 0) MakeExtended(P);
  if (P.Flags & pfExtended) P.Extra->FirstLineInfo.Style = Style;
}

int32_t GetParTextColor(const TParagraph& P) { return (P.Flags & pfExtended) ? P.Extra->ParTextColor : -1; }
int32_t GetParBackColor(const TParagraph& P) { return (P.Flags & pfExtended) ? P.Extra->ParBackColor : -1; }

void MakeOwnText(TParagraph& P) {
  if (P.Flags & pfOwnText) return;
  const int32_t n = GetParLength(P);
  char* own = nullptr;
  if (n > 0) {
    own = AllocParText(static_cast<int32_t>(StandardTextBufSize(n)));
    std::memcpy(own, P.Text, static_cast<size_t>(n));
    own[n] = '\0';
  }
  P.Text = own;
  P.Flags |= pfOwnText;
}

void MakeExtended(TParagraph& P) {
  if (P.Flags & pfExtended) return;
  ParExtraInfo* x = new ParExtraInfo;
  x->Length = P.Short.Len;
  x->FirstLineInfo = OneLine(P.Short.Len, P.Short.Width, 0);
  P.Extra = x;
  P.Flags |= pfExtended;
}

void FreeParagraph(TParagraph& P) {
  if (P.Flags & pfOwnText) FreeParText(P.Text);
  P.Text = nullptr;
  if (P.Flags & pfExtended) {
    ReleaseStyle(P.Extra->ParStartStyle);
    delete P.Extra;
    P.Extra = nullptr;
  }
  P.Flags = 0;
}

void StoreParText(TParagraph& P, std::string_view S) {
  const int32_t n = static_cast<int32_t>(S.size());
  char* target = nullptr;
  if (n > 0) {
    const int32_t cap = (P.Flags & pfOwnText) ? ParTextBufSize(P.Text) : 0;
    if (n < cap && n + n / 8 > cap) {
      target = P.Text;  // fits well enough: edit in place
    } else {
      target = AllocParText(static_cast<int32_t>(StandardTextBufSize(n)));
    }
    std::memmove(target, S.data(), S.size());
    target[n] = '\0';
  }
  if (target != P.Text && (P.Flags & pfOwnText)) FreeParText(P.Text);
  P.Text = target;
  P.Flags |= pfOwnText;
  SetParLength(P, n);
}

// ---- lines list -------------------------------------------------------------------

int32_t TLinesList::Count() const { return Par ? GetLineCount(*Par) : 0; }

LineInfo* TLinesList::GetLine(int32_t I) {
  if (I < 0 || I >= Count()) throw EListError(ListIndexError);
  if (!(Par->Flags & pfExtended)) {
    Scratch = OneLine(Par->Short.Len, Par->Short.Width, 0);
    return &Scratch;
  }
  if (I == 0) return &Par->Extra->FirstLineInfo;
  return &Par->Extra->LineInfos[static_cast<size_t>(I - 1)];
}

void TLinesList::GetLineCopy(int32_t I, LineInfo& L) { L = *GetLine(I); }

void TLinesList::PutLine(int32_t I, const LineInfo& L) {
  LineInfo* target = GetLine(I);
  if (!(Par->Flags & pfExtended))
    SetFirstLineInfo(*Par, L);
  else
    *target = L;
}

void TLinesList::SetCount(int32_t N) {
  if (N < 1) N = 1;
  if (N == 1 && !(Par->Flags & pfExtended)) return;
  MakeExtended(*Par);
  Par->Extra->LineInfos.resize(static_cast<size_t>(N - 1));
}

// ---- the store --------------------------------------------------------------------

TParagraphsList::TParagraphsList() : TDynArray2(static_cast<int16_t>(sizeof(TParagraph)), static_cast<int16_t>(sizeof(TParagraph))) {
  PendingLastPar = -1;
}

TParagraphsList::~TParagraphsList() { Clear(); }

void TParagraphsList::FreeTextBuffers() {
  for (char* b : TextBuffers) delete[] b;
  TextBuffers.clear();
}

void TParagraphsList::Clear() {
  for (int32_t i = 0; i < Count; ++i) FreeParagraph(Par(i));
  TotalChars = 0;
  TotalLines = 0;
  SetCount(0);
  SetCapacity(4);
  FreeTextBuffers();
  PendingLastPar = -1;
}

void TParagraphsList::MarkChanged(int32_t FromPar, int32_t LineInFromPar, int32_t ToPar) {
  if (ChangeLastPar == -1) {
    ChangeFirstPar = Count;
    ChangeFirstLine = TotalLines;
  }
  if (FromPar <= ChangeFirstPar) {
    ChangeFirstPar = FromPar;
    int32_t line = LineInFromPar;
    if (FromPar >= 0 && FromPar < Count) line += Par(FromPar).FirstLine;
    if (line < ChangeFirstLine) ChangeFirstLine = line;
  }
  if (ToPar > ChangeLastPar) ChangeLastPar = ToPar;
  if (FromPar <= LastParsedPar) LastParsedPar = FromPar - 1;
  ChangeConsumed = false;
}

void TParagraphsList::MarkAllUnformatted() {
  for (int32_t i = 0; i < Count; ++i) Par(i).Flags &= static_cast<uint8_t>(~pfFormatted);
  PendingFirstPar = 0;
  PendingLastPar = Count - 1;
}

void TParagraphsList::ShiftStartPos(int32_t From, int32_t Delta) { ShiftStartPosAndLines(From, Delta, 0); }

void TParagraphsList::ShiftLineIndices(int32_t From, int32_t Delta) { ShiftStartPosAndLines(From, 0, Delta); }

void TParagraphsList::ShiftStartPosAndLines(int32_t From, int32_t PosDelta, int32_t LineDelta) {
  if (From < 0) From = 0;
  // Block by block: one block fetch per ItemsPerBlock records.
  int32_t i = From;
  while (i < Count) {
    uint8_t* block = Blocks[static_cast<size_t>(i / ItemsPerBlock)].get();
    int32_t k = i % ItemsPerBlock;
    const int32_t endInBlock = IntMin(ItemsPerBlock, k + (Count - i));
    for (; k < endInBlock; ++k, ++i) {
      TParagraph* p = reinterpret_cast<TParagraph*>(block + k * ItemStride);
      p->StartPos += PosDelta;
      p->FirstLine += LineDelta;
    }
  }
}

int32_t TParagraphsList::FindPar(int32_t P) const {
  if (Count <= 0) return -1;
  int32_t guess = 0;
  if (TotalChars > 0) guess = static_cast<int32_t>(static_cast<int64_t>(P) * (Count - 2) / TotalChars);
  guess = IntMax(0, IntMin(guess, Count - 1));
  if (Par(guess).StartPos <= P) {
    while (guess < Count - 1) {
      const TParagraph& q = Par(guess);
      if (q.StartPos + GetParLength(q) + 1 < P)
        ++guess;
      else
        break;
    }
  } else {
    while (guess > 0 && Par(guess).StartPos > P) --guess;
  }
  return guess;
}

std::string TParagraphsList::GetTextRange(int32_t From, int32_t To) const {
  if (From < 0) From = 0;
  if (To > TotalChars) To = TotalChars;
  std::string out;
  if (From >= To || Count == 0) return out;
  out.reserve(static_cast<size_t>(To - From));
  int32_t p = FindPar(From);
  int32_t off = From - Par(p).StartPos;
  int32_t remaining = To - From;
  while (remaining > 0 && p < Count) {
    const std::string_view t = GetParView(Par(p));
    const int32_t len = static_cast<int32_t>(t.size());
    if (off < len) {
      const int32_t n = IntMin(len - off, remaining);
      out.append(t.data() + off, static_cast<size_t>(n));
      remaining -= n;
      off += n;
    }
    if (remaining > 0 && off == len) {
      out.push_back('\r');
      --remaining;
      ++off;
    }
    if (remaining > 0 && off == len + 1) {
      out.push_back('\n');
      --remaining;
    }
    ++p;
    off = 0;
  }
  return out;
}

// ---- loading ----------------------------------------------------------------------

void TParagraphsList::LoadFromStream(TStream& Stream, char NullReplacement, uint32_t ProgressInterval,
                                     const TProgressCallback& Progress, TPelLineBreak& LineBreak, bool Discard) {
  const int64_t startPosition = Stream.Position();
  int64_t remaining = Stream.Size() - startPosition;
  if (remaining < 0) remaining = 0;
  int64_t total = TotalChars;  // counted wide: "Text too long" before 32 bits overflow

  auto readInto = [&](char* Dest, int32_t Max) -> int32_t {
    const int32_t want = static_cast<int32_t>(remaining < Max ? remaining : Max);
    const int32_t got = want > 0 ? static_cast<int32_t>(Stream.Read(Dest, want)) : 0;
    remaining = got < want ? 0 : remaining - got;
    if (NullReplacement != '\0')
      for (int32_t i = 0; i < got; ++i)
        if (Dest[i] == '\0') Dest[i] = NullReplacement;
    return got;
  };

  char* buf = new char[ChunkBytes + 1];
  TextBuffers.push_back(buf);
  size_t bufEntry = TextBuffers.size() - 1;
  int32_t n = readInto(buf, ChunkBytes);
  buf[n] = '\0';
  uint32_t deadline = Progress ? NowMs() + ProgressInterval : 0;

  int32_t firstParOfBuf = Count;  // paragraphs whose text lies in buf
  int32_t parStart = 0;
  int32_t i = 0;
  uint8_t style = 0;
  uint8_t parStyle = 0;
  int32_t added = 0;
  bool stopped = false;
  int64_t consumedBefore = 0;  // bytes of the stream before buf[0]

  auto addPar = [&](int32_t Start, int32_t End, bool Last) {
    int32_t len = End - Start;
    if (Discard) {
      while (len > 0 && IsBlank(buf[Start + len - 1])) --len;
      buf[Start + len] = '\0';
    }
    total += len + (Last ? 0 : 2);
    if (total > MaxTextChars) throw EPelMemoError(TextTooLongError);
    TParagraph p = NewParagraph();
    p.Text = buf + Start;
    p.StartPos = TotalChars;
    p.FirstLine = Count;
    if (len >= 65535 || parStyle != 0) {
      MakeExtended(p);
      p.Extra->Length = len;
      p.Extra->FirstLineInfo = OneLine(len, 0, parStyle);
    } else {
      p.Short.Len = static_cast<uint16_t>(len);
    }
    Add(&p);
    TotalChars = static_cast<int32_t>(total);
    if (Progress && (++added & 15) == 0 && static_cast<int32_t>(NowMs() - deadline) >= 0) {
      Progress(*this);
      deadline += ProgressInterval;
    }
  };

  for (;;) {
    while (i < n) {
      const char c = buf[i];
      if (c == '\0') {
        stopped = true;
        break;
      }
      if (c == '\r' || c == '\n') {
        // A break at the very end of the chunk waits for the next byte: a CR LF
        // split by the chunk boundary is still one break.
        if (i + 1 == n && remaining > 0) break;
        const char other = c == '\r' ? '\n' : '\r';
        const bool pair = i + 1 < n && buf[i + 1] == other;
        if (pair)
          LineBreak = c == '\r' ? TPelLineBreak::pbCRLF : TPelLineBreak::pbLFCR;
        else
          LineBreak = c == '\r' ? TPelLineBreak::pbCR : TPelLineBreak::pbLF;
        buf[i] = '\0';
        if (pair) buf[i + 1] = '\0';
        addPar(parStart, i, false);
        i += pair ? 2 : 1;
        parStart = i;
        parStyle = style;
        continue;
      }
      if (StaticFormat) ToggleStyleByCode(style, static_cast<unsigned char>(c));
      ++i;
    }
    if (stopped || remaining <= 0) break;
    // Carry the unfinished paragraph into a new buffer and read on behind it.
    const int32_t t = n - parStart;
    char* next = new char[static_cast<size_t>(t) + ChunkBytes + 1];
    std::memcpy(next, buf + parStart, static_cast<size_t>(t));
    consumedBefore += parStart;
    if (parStart == 0) {
      delete[] buf;
      TextBuffers[bufEntry] = next;
    } else {
      if (parStart < KeepOldBufferFrom) {
        char* exact = new char[static_cast<size_t>(parStart) + 1];
        std::memcpy(exact, buf, static_cast<size_t>(parStart) + 1);
        exact[parStart] = '\0';
        for (int32_t k = firstParOfBuf; k < Count; ++k) {
          TParagraph& q = Par(k);
          q.Text = exact + (q.Text - buf);
        }
        delete[] buf;
        TextBuffers[bufEntry] = exact;
      }
      TextBuffers.push_back(next);
      bufEntry = TextBuffers.size() - 1;
    }
    buf = next;
    i -= parStart;
    parStart = 0;
    firstParOfBuf = Count;
    n = t + readInto(buf + t, ChunkBytes);
    buf[n] = '\0';
  }
  if (stopped && NullReplacement == '\0') Stream.Seek(startPosition + consumedBefore + i + 1);
  const int32_t end = i < n ? i : n;
  buf[end] = '\0';
  addPar(parStart, end, true);

  EditInProgress = false;
  ChangeFirstLine = 0;
  ChangeFirstPar = 0;
  ChangeLastPar = Count - 1;
  ChangeLineDelta = 0;
  LastParsedPar = -1;
  PendingFirstPar = 0;
  PendingLastPar = Count;
  TotalLines = Count;
}

// ---- writing ----------------------------------------------------------------------

static std::string CancelEqualCodePairs(std::string_view T) {
  // Two equal codes separated only by other codes cancel out.
  std::string s(T);
  size_t i = 0;
  while (i < s.size()) {
    if (!IsStyleCode(static_cast<unsigned char>(s[i]))) {
      ++i;
      continue;
    }
    size_t j = i + 1;
    while (j < s.size() && IsStyleCode(static_cast<unsigned char>(s[j])) && s[j] != s[i]) ++j;
    if (j < s.size() && s[j] == s[i]) {
      s.erase(j, 1);
      s.erase(i, 1);
    } else {
      ++i;
    }
  }
  return s;
}

bool TParagraphsList::WriteText(TStream& Stream, bool StripCodes, uint32_t ProgressInterval, const TProgressCallback& Progress,
                                TPelLineBreak LineBreak, bool Discard) const {
  static const char* const breaks[] = {"\r\n", "\n\r", "\r", "\n"};
  const char* br = breaks[static_cast<int>(LineBreak)];
  const int64_t brLen = static_cast<int64_t>(std::strlen(br));
  uint32_t last = NowMs();
  bool ok = true;
  for (int32_t i = 0; i < Count; ++i) {
    std::string_view t = GetParView(Par(i));
    std::string tmp;
    if (StripCodes && StaticFormat) {
      tmp = CancelEqualCodePairs(t);
      t = tmp;
    }
    if (Discard)
      while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
    ok = Stream.Write(t.data(), static_cast<int64_t>(t.size())) && ok;
    if (i + 1 < Count) ok = Stream.Write(br, brLen) && ok;
    if (Progress && NowMs() - last > ProgressInterval) {
      Progress(const_cast<TParagraphsList&>(*this));
      last = NowMs();
    }
  }
  if (Progress) Progress(const_cast<TParagraphsList&>(*this));
  return ok;
}
