#include "memo/PelMemoParse.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "memo/PelMemoCore.h"
#include "memo/PelMemoSupport.h"

// ---- style helpers --------------------------------------------------------------------------

bool CompareStyles(const TStyleRecord& A, const TStyleRecord& B) {
  if ((A.Flags & 0xC0) != (B.Flags & 0xC0)) return false;
  if (!(A.Flags & sfHighlight)) return true;
  if (A.Depth != B.Depth || A.KeyValue != B.KeyValue) return false;
  for (int d = 0; d <= A.Depth && d < 16; ++d)
    if (A.Stack[d] != B.Stack[d]) return false;
  return true;
}

static int32_t TopContext(const TStyleRecord& S) {
  const int d = GetStyleContext(S);
  return d >= 0 && d < 16 ? S.Stack[d] : 0;
}

bool OutsideRegion(const TStyleRecord& S) {
  const int d = GetStyleContext(S);
  return d < 0 || d >= 16 || S.Stack[d] >= 0;
}

bool KeywordsAllowed(const TStyleRecord& S, bool KeywordsInContexts) {
  if (!(S.Flags & sfHighlight) || S.KeyValue == 0) return true;
  const int d = GetStyleContext(S);
  return KeywordsInContexts && d >= 0 && d < 16 && S.Stack[d] >= 0;
}

static bool SameStyleBytes(const TStyleRecord& A, const TStyleRecord& B) {
  if (A.Flags != B.Flags || A.Depth != B.Depth || A.Color1 != B.Color1 || A.Color2 != B.Color2 || A.KeyValue != B.KeyValue ||
      A.KeyWord != B.KeyWord || A.OpenLen != B.OpenLen || A.CloseLen != B.CloseLen)
    return false;
  return std::memcmp(A.Stack, B.Stack, sizeof A.Stack) == 0;
}

static bool SameRecords(const std::vector<TStyleRecord>& A, const std::vector<TStyleRecord>& B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i)
    if (A[i].CountOrOffset != B[i].CountOrOffset || !SameStyleBytes(A[i], B[i])) return false;
  return true;
}

static void ForgetAttrCaches(TPelMemoCore* Memo, int32_t FromPar, int32_t ToPar) {
  if (!Memo) return;
  for (TPelNavigator* n : Memo->Navigators)
    if (n->Located() && n->ParIndex >= FromPar && n->ParIndex <= ToPar) {
      n->AttrIndex = -1;
      n->LineIndex = -1;
    }
}

// First record index at or after offset Off.
static size_t LowerRecord(const std::vector<TStyleRecord>& A, int32_t Off) {
  size_t i = 0;
  while (i < A.size() && A[i].CountOrOffset < Off) ++i;
  return i;
}

void SetStyleRange(TParagraphsList& Store, TPelNavigator& A, TPelNavigator& B, bool Mark, bool Highlight,
                   const TStyleRecord& Style) {
  TPelNavigator* a = &A;
  TPelNavigator* b = &B;
  if (b->Pos < a->Pos) std::swap(a, b);
  if (a->Pos == b->Pos) return;
  const int32_t pa = a->GetParIndex(), oa = a->GetParOffset();
  const int32_t pb = b->GetParIndex(), ob = b->GetParOffset();
  if (Mark) Store.MarkChanged(pa, 0, pb);
  TStyleRecord rec = Style;
  if (Highlight) rec.Flags |= sfHighlight;
  // The style in effect at the start, unless records inside the range replace it.
  TStyleRecord remembered = *a->GetAttrStyle();
  for (int32_t k = pa; k <= pb; ++k) {
    TParagraph& p = Store.Par(k);
    const int32_t from = k == pa ? oa : 0;
    const int32_t to = k == pb ? ob : GetParLength(p) + 1;
    if (GetAttrCount(p) > 0) {
      auto& attrs = p.Extra->Attributes;
      size_t i = LowerRecord(attrs, from), j = i;
      while (j < attrs.size() && attrs[j].CountOrOffset < to) ++j;
      if (j > i) remembered = attrs[j - 1];
      attrs.erase(attrs.begin() + static_cast<std::ptrdiff_t>(i), attrs.begin() + static_cast<std::ptrdiff_t>(j));
    }
    if (k == pa) {
      MakeExtended(p);
      auto& attrs = p.Extra->Attributes;
      TStyleRecord r = rec;
      r.CountOrOffset = oa;
      attrs.insert(attrs.begin() + static_cast<std::ptrdiff_t>(LowerRecord(attrs, oa)), r);
    } else {
      SetParStartStyle(p, &rec, true);
    }
    p.Flags &= static_cast<uint8_t>(~pfFormatted);
  }
  if (b->Pos < Store.TotalChars && ((rec.Flags & sfHighlight) || (remembered.Flags & sfHighlight))) {
    TParagraph& p = Store.Par(pb);
    MakeExtended(p);
    auto& attrs = p.Extra->Attributes;
    TStyleRecord r = remembered;
    r.CountOrOffset = ob;
    attrs.insert(attrs.begin() + static_cast<std::ptrdiff_t>(LowerRecord(attrs, ob)), r);
  }
  a->AttrIndex = -1;
  b->AttrIndex = -1;
  ForgetAttrCaches(a->Memo, pa, pb);
}

// ---- the memo's passes ------------------------------------------------------------------------

bool TPelMemoCore::HighlightingActive() const {
  return (ApplyKeyWords && !Keywords.Items.empty()) || StartStopKeys.Count() > 0 || Highlighter != nullptr;
}

void TPelMemoCore::MarkPending(int32_t Par) {
  TParagraphsList& s = Paragraphs;
  if (s.PendingLastPar < 0 || s.PendingFirstPar > s.PendingLastPar) {
    s.PendingFirstPar = Par;
    s.PendingLastPar = Par;
  } else {
    s.PendingFirstPar = std::min(s.PendingFirstPar, Par);
    s.PendingLastPar = std::max(s.PendingLastPar, Par);
  }
}

const char* TPelMemoCore::GetUpperText(int32_t Par, int32_t Index, int32_t Count) {
  const TParagraph& p = Paragraphs.Par(Par);
  const int32_t len = GetParLength(p);
  Index = std::max(0, std::min(Index, len));
  Count = std::max(0, std::min(Count, len - Index));
  const char* t = GetParChars(p);
  const int32_t cachedEnd = UpperStart + static_cast<int32_t>(UpperText.size());
  if (UpperPar == Par && Index <= cachedEnd && Index + Count >= UpperStart) {
    if (Index < UpperStart) {
      std::string front(t + Index, static_cast<size_t>(UpperStart - Index));
      UpperCaseBytes(front.data(), static_cast<int32_t>(front.size()), UpperCaseType);
      UpperText.insert(0, front);
      UpperStart = Index;
    }
    const int32_t end = UpperStart + static_cast<int32_t>(UpperText.size());
    if (Index + Count > end) {
      std::string back(t + end, static_cast<size_t>(Index + Count - end));
      UpperCaseBytes(back.data(), static_cast<int32_t>(back.size()), UpperCaseType);
      UpperText += back;
    }
  } else {
    UpperPar = Par;
    UpperStart = Index;
    UpperText.assign(t + Index, static_cast<size_t>(Count));
    UpperCaseBytes(UpperText.data(), Count, UpperCaseType);
  }
  return UpperText.data() + (Index - UpperStart);
}

namespace {

// The style of an open start/stop key on top of the stack of Under.
TStyleRecord KeyStyle(const TStartStopKeyList& Keys, int32_t K, const TStyleRecord& Under, int Depth) {
  const StartStopInfo& key = Keys.Items[static_cast<size_t>(K)];
  TStyleRecord s;
  s.Flags = static_cast<uint8_t>((key.FontStyle & 0x3F) | sfContext | sfHighlight);
  s.Depth = static_cast<int8_t>(Depth);
  s.Color1 = key.Color1;
  s.Color2 = key.Color2;
  s.KeyValue = key.KeyValue;
  s.KeyWord = key.KeyWord;
  const int under = GetStyleContext(Under);
  for (int d = 0; d < Depth && d <= under && d < 16; ++d) s.Stack[d] = Under.Stack[d];
  s.Stack[Depth] = static_cast<int16_t>(StartStopContextBase + K);
  s.OpenLen = static_cast<uint8_t>(key.StartLength + (key.StartSepAfter ? 1 : 0));
  s.CloseLen = static_cast<uint8_t>(key.StopLength + (key.StopSepAfter ? 1 : 0));
  return s;
}

// The style after the top context of S is closed; Base is the style outside
// every context.
TStyleRecord PopStyle(const TStartStopKeyList& Keys, const TStyleRecord& S, const TStyleRecord& Base) {
  const int d = GetStyleContext(S) - 1;
  if (d < 0) return Base;
  const int32_t top = S.Stack[d];
  if (top < 0 && top - StartStopContextBase < Keys.Count()) return KeyStyle(Keys, top - StartStopContextBase, S, d);
  TStyleRecord s = S;  // a highlighter's context: its look stays, the stack shrinks
  s.Depth = static_cast<int8_t>(d);
  return s;
}

}  // namespace

// The records of highlights given from outside (flag bit 7 with no context), each
// with the record that ends it: what parsing keeps of a paragraph's records.
static std::vector<TStyleRecord> OutsideHighlights(const TParagraph& p) {
  std::vector<TStyleRecord> kept;
  if (GetAttrCount(p) > 0) {
    const TStyleRecord& st = *GetParStartStyle(p);
    bool afterKept = GetStyleContext(st) < 0 && (st.Flags & sfHighlight);
    for (const TStyleRecord& r : p.Extra->Attributes) {
      const bool noContext = GetStyleContext(r) < 0;
      if (noContext && (r.Flags & sfHighlight)) {
        kept.push_back(r);
        afterKept = true;
      } else if (noContext && afterKept) {
        kept.push_back(r);
        afterKept = false;
      } else {
        afterKept = false;
      }
    }
  }
  return kept;
}

TStyleRecord TPelMemoCore::ScanRegions(int32_t I) {
  TParagraph& p = Paragraphs.Par(I);
  const int32_t len = GetParLength(p);
  const char* text = GetParChars(p);
  TStartStopKeyList& keys = StartStopKeys;
  if (keys.Count() > 0 && !keys.Prepared) keys.Prepare(*this);

  // Highlights given from outside are kept; the pass makes every other record anew.
  const std::vector<TStyleRecord> kept = OutsideHighlights(p);

  const TStyleRecord& start = *GetParStartStyle(p);
  TStyleRecord cur = start;
  cur.CountOrOffset = 0;
  TStyleRecord base = GetStyleContext(start) < 0 ? cur : DefaultStyle;
  std::vector<TStyleRecord> made;
  size_t nextKept = 0;
  auto passKept = [&](int32_t Upto) {
    for (; nextKept < kept.size() && kept[nextKept].CountOrOffset <= Upto; ++nextKept) {
      base = kept[nextKept];
      if (GetStyleContext(cur) < 0) cur = base;
    }
  };
  auto emit = [&](int32_t Off) {
    if (Off >= len) return;
    TStyleRecord r = cur;
    r.CountOrOffset = Off;
    made.push_back(r);
  };

  const bool anyInsensitive = std::any_of(keys.Items.begin(), keys.Items.end(),
                                          [](const StartStopInfo& k) { return !(k.Options & koCaseSensitive); });
  // The upper-cased text lives in the memo's one cache, which a highlighter's hook
  // may fill with another paragraph: it is taken again after every hook call.
  const char* upper = text;
  auto takeUpper = [&] {
    if (anyInsensitive && len > 0) upper = GetUpperText(I, 0, len);
  };
  takeUpper();
  auto sepAt = [&](int32_t Pos) { return Pos < 0 || Pos >= len || IsSeparator(text[Pos]); };
  auto matchAt = [&](const std::string& M, bool CaseSensitive, int32_t Pos, bool SepBefore, bool SepAfter) {
    const int32_t n = static_cast<int32_t>(M.size());
    if (n == 0 || Pos + n > len) return false;
    if (std::memcmp((CaseSensitive ? text : upper) + Pos, M.data(), static_cast<size_t>(n)) != 0) return false;
    return (!SepBefore || sepAt(Pos - 1)) && (!SepAfter || sepAt(Pos + n));
  };
  // Which bytes may begin a start key, to skip the rest quickly.
  bool firstByte[256] = {};
  for (const StartStopInfo& k : keys.Items)
    if (!k.StartMatch.empty()) {
      const auto c = static_cast<unsigned char>(k.StartMatch[0]);
      firstByte[c] = true;
    }

  // The style in effect before each open context of this paragraph, by depth,
  // so that closing a context gives back exactly what was there.
  // Contexts carried in from earlier paragraphs have no entry (rebuilt from the keys).
  std::vector<std::optional<TStyleRecord>> saved;
  auto push = [&](const TStyleRecord& Next) {
    const int d = GetStyleContext(Next);
    if (d >= 0) {
      saved.resize(static_cast<size_t>(d));
      saved.push_back(cur);
    }
    cur = Next;
  };
  auto pop = [&]() {
    const int d = GetStyleContext(cur);
    if (d >= 0 && static_cast<int>(saved.size()) > d && saved[static_cast<size_t>(d)]) {
      const TStyleRecord back = *saved[static_cast<size_t>(d)];
      saved.resize(static_cast<size_t>(d));
      cur = back;
    } else {
      cur = PopStyle(keys, cur, base);
    }
  };
  // A style given by a highlighter hook: deeper opens, shallower closes.
  auto takeHook = [&](const TParseScan& Scan) {
    passKept(Scan.Offset);
    const int before = GetStyleContext(cur), after = GetStyleContext(Scan.Style);
    if (after > before) {
      push(Scan.Style);
    } else {
      if (after >= 0) saved.resize(std::min(saved.size(), static_cast<size_t>(after + 1)));
      cur = Scan.Style;
    }
    emit(Scan.Offset);
  };
  auto findStart = [&](int32_t From, int32_t Limit, int32_t& Which) {
    if (!ApplyStartStopKeys || keys.Count() == 0 || GetStyleContext(cur) >= MaxContextDepth) return -1;
    for (int32_t q = From; q < Limit; ++q) {
      if (!firstByte[static_cast<unsigned char>(text[q])] && !firstByte[static_cast<unsigned char>(upper[q])]) continue;
      for (int32_t j = 0; j < keys.Count(); ++j) {
        const StartStopInfo& key = keys.Items[static_cast<size_t>(j)];
        if (matchAt(key.StartMatch, key.Options & koCaseSensitive, q, key.StartSepBefore, key.StartSepAfter)) {
          Which = j;
          return q;
        }
      }
    }
    return -1;
  };

  int32_t pos = 0;
  int32_t guard = 2 * len + 64;
  while (pos <= len && guard-- > 0) {
    if (!OutsideRegion(cur)) {
      // Inside a start/stop key's region: look for its stop.
      const int32_t k = TopContext(cur) - StartStopContextBase;
      if (k < 0 || k >= keys.Count()) break;
      const StartStopInfo& key = keys.Items[static_cast<size_t>(k)];
      const bool cs = key.Options & koCaseSensitive;
      int32_t found = -1;
      if (!key.StopMatch.empty()) {
        const std::string_view hay(cs ? text : upper, static_cast<size_t>(len));
        for (size_t q = hay.find(key.StopMatch, static_cast<size_t>(pos)); q != std::string_view::npos;
             q = hay.find(key.StopMatch, q + 1))
          if (matchAt(key.StopMatch, cs, static_cast<int32_t>(q), key.StopSepBefore, key.StopSepAfter)) {
            found = static_cast<int32_t>(q);
            break;
          }
      }
      if (found < 0) break;
      const int32_t end = found + key.StopLength;
      passKept(end);
      int32_t alt = -1;
      for (int32_t j = k + 1; j < keys.Count(); ++j)
        if (keys.Items[static_cast<size_t>(j)].FirstAlternative == k) {
          alt = j;
          break;
        }
      if (alt >= 0)
        cur = KeyStyle(keys, alt, cur, GetStyleContext(cur));  // the same depth: what lies below stays saved
      else
        pop();
      emit(end);
      pos = end;
      continue;
    }
    // Outside start/stop regions, perhaps inside a context of the highlighter,
    // whose hook finds that context's stop; a start key before it opens a region.
    int32_t stopAt = -1;
    TParseScan stopScan{I, pos, cur};
    if (GetStyleContext(cur) >= 0) {
      const bool stops = Highlighter && Highlighter->StopScanHook(*this, stopScan);
      takeUpper();
      if (stops && stopScan.Offset >= pos && stopScan.Offset <= len) stopAt = stopScan.Offset;
    }
    int32_t which = -1;
    const int32_t found = findStart(pos, stopAt >= 0 ? stopAt : len, which);
    if (found >= 0) {
      passKept(found);
      push(KeyStyle(keys, which, cur, GetStyleContext(cur) + 1));
      emit(found);
      pos = found + keys.Items[static_cast<size_t>(which)].StartLength;
      continue;
    }
    if (stopAt >= 0) {
      takeHook(stopScan);
      pos = stopAt + (stopAt == pos ? 1 : 0);
      continue;
    }
    if (Highlighter && GetStyleContext(cur) < 0) {
      TParseScan scan{I, pos, cur};
      const bool starts = Highlighter->StartScanHook(*this, scan, keys.Count());
      takeUpper();
      if (starts && scan.Offset >= pos && scan.Offset <= len) {
        takeHook(scan);
        pos = scan.Offset + (scan.Offset == pos ? 1 : 0);
        continue;
      }
    }
    break;
  }
  passKept(len);
  // A region of a key that ends at the paragraph end closes at the break.
  if (!OutsideRegion(cur)) {
    const int32_t k = TopContext(cur) - StartStopContextBase;
    if (k >= 0 && k < keys.Count() && keys.Items[static_cast<size_t>(k)].EndsAtParEnd) pop();
  }

  // Kept records first at an offset, so that a region opening there shows.
  std::vector<TStyleRecord> merged;
  merged.reserve(kept.size() + made.size());
  size_t a = 0, b = 0;
  while (a < kept.size() || b < made.size()) {
    if (b >= made.size() || (a < kept.size() && kept[a].CountOrOffset <= made[b].CountOrOffset)) {
      merged.push_back(kept[a++]);
    } else {
      const TStyleRecord& r = made[b++];
      const bool dup = !merged.empty() && merged.back().CountOrOffset == r.CountOrOffset && SameStyleBytes(merged.back(), r);
      if (!dup) merged.push_back(r);
    }
  }
  if (GetAttrCount(p) > 0 || !merged.empty()) {
    MakeExtended(p);
    p.Extra->Attributes = std::move(merged);
  }
  cur.CountOrOffset = 0;
  return cur;
}

void TPelMemoCore::ScanKeywords(int32_t I) {
  TParagraph& p = Paragraphs.Par(I);
  if (!ApplyKeyWords || Keywords.GetCount() == 0) return;
  if (Highlighter) Highlighter->KeywordsHook(*this, Keywords.GetCount());
  const int32_t len = GetParLength(p);
  if (len == 0) return;
  const char* text = GetParChars(p);
  // Copies in which every position where keywords are not allowed reads byte 5.
  std::string copy(text, static_cast<size_t>(len));
  std::string upper;
  if (Keywords.HasCaseInsensitive) upper.assign(GetUpperText(I, 0, len), static_cast<size_t>(len));
  {
    const TStyleRecord* style = GetParStartStyle(p);
    const int32_t n = GetAttrCount(p);
    int32_t ai = 0;
    int32_t o = 0;
    while (o < len) {
      while (ai < n && p.Extra->Attributes[static_cast<size_t>(ai)].CountOrOffset <= o)
        style = &p.Extra->Attributes[static_cast<size_t>(ai++)];
      const int32_t next = ai < n ? std::min(len, p.Extra->Attributes[static_cast<size_t>(ai)].CountOrOffset) : len;
      if (!KeywordsAllowed(*style, Keywords.KeywordsInContexts))
        for (int32_t k = o; k < next; ++k) {
          copy[static_cast<size_t>(k)] = '\5';
          if (!upper.empty()) upper[static_cast<size_t>(k)] = '\5';
        }
      o = std::max(next, o + 1);
    }
  }
  struct THit {
    int32_t Pos, Len, Key;
  };
  std::vector<THit> hits;
  auto sepAt = [&](int32_t Pos) { return Pos < 0 || Pos >= len || IsSeparator(text[Pos]); };
  for (int32_t k = 0; k < Keywords.GetCount(); ++k) {
    const TKeyInfoLen& key = *Keywords.Items[static_cast<size_t>(k)];
    if (key.KeyValue == 0 || key.KeyLength == 0 || key.KeyLength > len) continue;
    const bool cs = key.Options & koCaseSensitive;
    const std::string& src = cs ? copy : upper;
    size_t q = src.find(key.MatchKey);
    while (q != std::string::npos) {
      const auto qi = static_cast<int32_t>(q);
      const bool ok = !(key.Options & koWholeWord) || (sepAt(qi - 1) && sepAt(qi + key.KeyLength));
      if (ok) {
        hits.push_back({qi, key.KeyLength, k});
        for (int32_t c = qi; c < qi + key.KeyLength; ++c) {
          copy[static_cast<size_t>(c)] = '\5';
          if (!upper.empty()) upper[static_cast<size_t>(c)] = '\5';
        }
        q = src.find(key.MatchKey, q + static_cast<size_t>(key.KeyLength));
      } else {
        q = src.find(key.MatchKey, q + 1);
      }
    }
  }
  if (hits.empty()) return;
  std::sort(hits.begin(), hits.end(), [](const THit& A, const THit& B) { return A.Pos < B.Pos; });
  // Each hit gets the keyword's style as SetStyleRange would give it, in one
  // pass over the records: the records inside a hit go, the style in effect
  // before it comes back after it.
  const TStyleRecord start = *GetParStartStyle(p);
  std::vector<TStyleRecord> old;
  if (GetAttrCount(p) > 0) old.swap(p.Extra->Attributes);
  std::vector<TStyleRecord> out;
  out.reserve(old.size() + 2 * hits.size());
  const bool lastPar = I == GetParCount() - 1;
  size_t ri = 0;
  std::vector<TStyleRecord> pulled;
  for (const THit& hit : hits) {
    const int32_t q = hit.Pos, e = hit.Pos + hit.Len;
    while (ri < old.size() && old[ri].CountOrOffset < q) out.push_back(old[ri++]);
    // Records from q on: a restore record of the hit before, then stored ones inside the hit.
    pulled.clear();
    size_t tail = out.size();
    while (tail > 0 && out[tail - 1].CountOrOffset >= q) --tail;
    pulled.assign(out.begin() + static_cast<std::ptrdiff_t>(tail), out.end());
    out.resize(tail);
    while (ri < old.size() && old[ri].CountOrOffset < e) pulled.push_back(old[ri++]);
    const TStyleRecord& prev = out.empty() ? start : out.back();
    const TStyleRecord* under = &prev;
    for (const TStyleRecord& r : pulled)
      if (r.CountOrOffset == q) under = &r;
    const int depth = GetStyleContext(*under);
    if (depth >= MaxContextDepth) {
      out.insert(out.end(), pulled.begin(), pulled.end());
      continue;
    }
    const TKeyInfoLen& key = *Keywords.Items[static_cast<size_t>(hit.Key)];
    TStyleRecord s;
    s.CountOrOffset = q;
    s.Flags = static_cast<uint8_t>((key.FontStyle & 0x3F) | sfContext | sfHighlight);
    s.Depth = static_cast<int8_t>(depth + 1);
    for (int d = 0; d <= depth && d < 16; ++d) s.Stack[d] = under->Stack[d];
    s.Stack[depth + 1] = static_cast<int16_t>(hit.Key);
    s.Color1 = key.Color1;
    s.Color2 = key.Color2;
    s.KeyValue = key.KeyValue;
    s.KeyWord = key.KeyWord;
    s.OpenLen = s.CloseLen = static_cast<uint8_t>(std::min(key.KeyLength, 255));
    TStyleRecord back = pulled.empty() ? prev : pulled.back();
    out.push_back(s);
    if (!(lastPar && e >= len)) {
      back.CountOrOffset = e;
      out.push_back(back);
    }
  }
  while (ri < old.size()) out.push_back(old[ri++]);
  MakeExtended(p);
  p.Extra->Attributes = std::move(out);
}

void TPelMemoCore::ParseParagraph(int32_t I, bool WithKeywords) {
  TParagraph& p = Paragraphs.Par(I);
  std::vector<TStyleRecord> before;
  if (GetAttrCount(p) > 0) before = p.Extra->Attributes;
  const TStyleRecord end = ScanRegions(I);
  TParagraph& q = Paragraphs.Par(I);
  q.Flags |= pfContextParsed;
  if (WithKeywords) {
    ScanKeywords(I);
    q.Flags |= pfParsed;
  } else {
    q.Flags &= static_cast<uint8_t>(~pfParsed);
  }
  static const std::vector<TStyleRecord> none;
  if (!SameRecords(before, GetAttrCount(q) > 0 ? q.Extra->Attributes : none)) {
    q.Flags &= static_cast<uint8_t>(~pfFormatted);
    Paragraphs.ChangeConsumed = false;
    ForgetAttrCaches(this, I, I);
  }
  // The style carried into the next paragraph.
  if (I + 1 < GetParCount()) {
    TParagraph& next = Paragraphs.Par(I + 1);
    if (!CompareStyles(end, *GetParStartStyle(next))) {
      SetParStartStyle(next, const_cast<TStyleRecord*>(&end), true);
      next.Flags &= static_cast<uint8_t>(~(pfFormatted | pfContextParsed | pfParsed));
      MarkPending(I + 1);
      ForgetAttrCaches(this, I + 1, I + 1);
    }
  }
}

void TPelMemoCore::ReparseRange(TPelNavigator& From, TPelNavigator& To, TStyleRecord* EndStyle) {
  int32_t fp = From.GetParIndex(), tp = To.GetParIndex();
  if (tp < fp) std::swap(fp, tp);
  for (int32_t i = fp; i <= tp; ++i) ParseParagraph(i, (Paragraphs.Par(i).Flags & pfParsed) != 0);
  if (Paragraphs.LastParsedPar >= fp - 1) Paragraphs.LastParsedPar = std::max(Paragraphs.LastParsedPar, tp);
  if (EndStyle) {
    // The style in effect at the end of the last paragraph done.
    if (tp + 1 < GetParCount()) {
      *EndStyle = *GetParStartStyle(Paragraphs.Par(tp + 1));
    } else {
      const TParagraph& p = Paragraphs.Par(tp);
      *EndStyle = GetAttrCount(p) > 0 ? p.Extra->Attributes.back() : *GetParStartStyle(p);
    }
    EndStyle->CountOrOffset = 0;
  }
}

void TPelMemoCore::ParseParagraphs(TPelNavigator& From, TPelNavigator& To) {
  int32_t fp = From.GetParIndex(), tp = To.GetParIndex();
  if (tp < fp) std::swap(fp, tp);
  for (int32_t i = fp; i <= tp; ++i) ParseParagraph(i, true);
}

void TPelMemoCore::ParseAttributesTo(int32_t I) {
  I = std::min(I, GetParCount() - 1);
  if (!HighlightingActive()) {
    Paragraphs.LastParsedPar = std::max(Paragraphs.LastParsedPar, I);
    return;
  }
  for (int32_t k = Paragraphs.LastParsedPar + 1; k <= I; ++k) {
    const uint8_t f = Paragraphs.Par(k).Flags;
    if (!(f & pfContextParsed)) ParseParagraph(k, (f & pfParsed) != 0);
  }
  Paragraphs.LastParsedPar = std::max(Paragraphs.LastParsedPar, I);
}

void TPelMemoCore::ReparseAfterEdit(int32_t Par) {
  UpperPar = -1;
  UpperText.clear();
  if (!HighlightingActive()) return;
  TParagraph& p = Paragraphs.Par(Par);
  if (UpdateCount == 0) {
    if (p.Flags & (pfContextParsed | pfParsed)) {
      ParseParagraph(Par, (p.Flags & pfParsed) != 0);
      if (Paragraphs.LastParsedPar >= Par - 1) Paragraphs.LastParsedPar = std::max(Paragraphs.LastParsedPar, Par);
    }
  } else {
    p.Flags &= static_cast<uint8_t>(~(pfFormatted | pfContextParsed | pfParsed));
  }
}

void TPelMemoCore::SetHighlighter(TPelHighlighter* H) {
  if (H == Highlighter) return;
  if (Highlighter) {
    auto& v = Highlighter->Memos;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
  Highlighter = H;
  if (H) H->Memos.push_back(this);
}

void TPelMemoCore::SetUpperCaseType(TpmUpperCase Mode) {
  UpperCaseType = Mode;
  Keywords.SetUpperCaseType(Mode);
  StartStopKeys.SetUpperCaseType(Mode);
  UpperPar = -1;
  UpperText.clear();
}

void TPelMemoCore::ResetFormatting() {
  // The records that parsing made, the styles it carried into paragraphs and the
  // display lines are all derived: they go, and parsing and layout make them again
  // as for a fresh load. Highlights given from outside stay.
  for (int32_t i = 0; i < GetParCount(); ++i) {
    TParagraph& p = Paragraphs.Par(i);
    p.Flags &= static_cast<uint8_t>(~(pfFormatted | pfContextParsed | pfParsed));
    p.FirstLine = i;
    if (p.Flags & pfExtended) {
      p.Extra->Attributes = OutsideHighlights(p);
      const TStyleRecord& st = *GetParStartStyle(p);
      if (GetStyleContext(st) >= 0 || !(st.Flags & sfHighlight)) SetParStartStyle(p, nullptr, false);
      p.Extra->LineInfos.clear();
      LineInfo& l = p.Extra->FirstLineInfo;
      const uint8_t style = l.Style;
      l = LineInfo();
      l.Stop = l.JustStart = GetParLength(p);
      l.Style = style;
    } else {
      p.Short.Width = 0;
    }
  }
  Paragraphs.TotalLines = GetParCount();
  for (TPelNavigator* n : Navigators)
    if (n->Located()) {
      n->AttrIndex = -1;
      n->LineIndex = -1;
    }
  Paragraphs.LastParsedPar = -1;
  Paragraphs.PendingFirstPar = 0;
  Paragraphs.PendingLastPar = GetParCount() - 1;
  UpperPar = -1;
  UpperText.clear();
}

// ---- in-text style codes ----------------------------------------------------------------------

void TPelMemoCore::ToggleStyleCode(char C) {
  if (!GetStaticFormat()) return;
  SelectionOutOfBreak();
  const int32_t len = SelLength;
  std::string s;
  s.push_back(C);
  s.append(GetSelText());
  s.push_back(C);
  // The start of the new selection follows codes that the cleanup may delete before it.
  TPelNavigator start(this);
  start.SetPos(SelStartNav->Pos);
  KeepCodes = true;
  NoCodePairCleanup = len == 0;
  try {
    SetSelTextBuf(s.c_str());
  } catch (...) {
    KeepCodes = false;
    NoCodePairCleanup = false;
    throw;
  }
  KeepCodes = false;
  NoCodePairCleanup = false;
  const int32_t end = CaretNav->Pos;
  if (len > 0) {
    SetSelStart(start.Pos);
    SetSelLength(end - start.Pos);
  } else if (len < 0) {
    SetSelStart(end);
    SetSelLength(start.Pos - end);
  } else {
    SetSelStart(start.Pos + 1);
  }
}

void TPelMemoCore::CancelCodePairs(int32_t Par) {
  if (Par < 0 || Par >= GetParCount()) return;
  const bool old = NoCodePairCleanup;
  const bool keep = KeepCodes;
  NoCodePairCleanup = true;
  KeepCodes = false;  // a deleted code must not come back
  int32_t i = 0;
  while (i < GetParLength(Paragraphs.Par(Par))) {
    const TParagraph& p = Paragraphs.Par(Par);
    const int32_t len = GetParLength(p);
    const char* t = GetParChars(p);
    const auto c = static_cast<unsigned char>(t[i]);
    if (!IsStyleCode(c)) {
      ++i;
      continue;
    }
    int32_t j = i + 1;
    while (j < len && IsStyleCode(static_cast<unsigned char>(t[j])) && static_cast<unsigned char>(t[j]) != c) ++j;
    if (j < len && static_cast<unsigned char>(t[j]) == c) {
      const int32_t base = p.StartPos;
      SetSelStart(base + j);
      SetSelLength(1);
      SetSelTextBuf(nullptr);
      SetSelStart(base + i);
      SetSelLength(1);
      SetSelTextBuf(nullptr);
      continue;  // the same place, two characters shorter
    }
    ++i;
  }
  NoCodePairCleanup = old;
  KeepCodes = keep;
}

void TPelMemoCore::CancelCodePairsAfterEdit(int32_t From, int32_t To) {
  if (!GetStaticFormat() || NoCodePairCleanup || InUndo) return;
  // Anything to cancel? Look before touching the selection.
  const int32_t p1 = Paragraphs.FindPar(From), p2 = Paragraphs.FindPar(To);
  bool any = false;
  for (int32_t k = p1; k <= p2 && !any; ++k) {
    const std::string_view t = Paragraphs.ParText(k);
    for (size_t i = 0; i + 1 < t.size() && !any; ++i) {
      const auto c = static_cast<unsigned char>(t[i]);
      if (!IsStyleCode(c)) continue;
      size_t j = i + 1;
      while (j < t.size() && IsStyleCode(static_cast<unsigned char>(t[j])) && static_cast<unsigned char>(t[j]) != c) ++j;
      any = j < t.size() && static_cast<unsigned char>(t[j]) == c;
    }
  }
  if (!any) return;
  // The caret follows the deleted codes.
  TPelNavigator caret(this);
  caret.SetPos(To);
  ++UpdateCount;
  try {
    for (int32_t k = p1; k <= p2 && k < GetParCount(); ++k) CancelCodePairs(k);
  } catch (...) {
    --UpdateCount;
    throw;
  }
  --UpdateCount;
  SetSelStart(caret.Pos);
}

bool TPelMemoCore::ClickContext(int32_t Pos, bool RightButton) {
  if (Pos < 0 || Pos >= GetTextLength()) return false;
  TPelNavigator n(Paragraphs);
  n.Memo = this;
  n.SetPos(Pos);
  const int32_t par = n.GetParIndex();
  const TParagraph& p = Paragraphs.Par(par);
  n.SkipAttributesAtPos();
  const int32_t a = n.GetAttrIndex();
  const TStyleRecord& s = a > 0 ? p.Extra->Attributes[static_cast<size_t>(a - 1)] : *GetParStartStyle(p);
  if (!(s.Flags & sfHighlight) || s.KeyWord == 0) return false;
  const int32_t start = p.StartPos + (a > 0 ? s.CountOrOffset : 0);
  const int32_t stop = p.StartPos + (a < GetAttrCount(p) ? p.Extra->Attributes[static_cast<size_t>(a)].CountOrOffset
                                                         : GetParLength(p));
  LastContext = s.KeyWord;
  ChangeHooks.Notify(*this, RightButton ? hfContextRight : hfContextLeft);
  if (OnContext) OnContext(*this, s.KeyWord, start, stop);
  return true;
}
