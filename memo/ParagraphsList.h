#pragma once
// The memo's text: one record per paragraph in a block array, the text totals and
// the ranges of paragraphs that still need formatting or repainting.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "memo/DynArray.h"
#include "memo/PelMemoTypes.h"

class TStream;
class TPelNavigator;
class TParagraphsList;

using TProgressCallback = std::function<void(TParagraphsList&)>;

// Longest text the store accepts: every length, buffer size and offset stays
// within 32 bits.
inline constexpr int64_t MaxTextChars = 0x7FFFFFFFLL - 0x7FFFFFFFLL / 64 - 4;

// Own text buffers carry their size in a header before the text.
char* AllocParText(int32_t Size);
void FreeParText(char* Text);
int32_t ParTextBufSize(const char* Text);
// Standard buffer size for a text of length N: N + N div 64 + 1.
constexpr int64_t StandardTextBufSize(int64_t N) { return N + N / 64 + 1; }

// Paragraph accessors.
int32_t GetParLength(const TParagraph& P);
void SetParLength(TParagraph& P, int32_t N);
inline const char* GetParChars(const TParagraph& P) { return P.Text ? P.Text : ""; }
inline std::string_view GetParView(const TParagraph& P) {
  return {GetParChars(P), static_cast<size_t>(GetParLength(P))};
}
int32_t GetLineCount(const TParagraph& P);
LineInfo GetFirstLineInfo(const TParagraph& P);
void SetFirstLineInfo(TParagraph& P, const LineInfo& L);
int32_t GetAttrCount(const TParagraph& P);
void SetAttrCount(TParagraph& P, int32_t N);
TStyleRecord* GetParStartStyle(const TParagraph& P);
void SetParStartStyle(TParagraph& P, TStyleRecord* Style, bool Copy);
uint8_t GetParStaticStyle(const TParagraph& P);
void SetParStaticStyle(TParagraph& P, uint8_t Style);
int32_t GetParTextColor(const TParagraph& P);
int32_t GetParBackColor(const TParagraph& P);
void MakeOwnText(TParagraph& P);
void MakeExtended(TParagraph& P);
// Frees what a paragraph owns: its own text, its extended record and start style.
void FreeParagraph(TParagraph& P);
// Gives the paragraph the text S as its own, by the buffer size rule.
void StoreParText(TParagraph& P, std::string_view S);
// A fresh, empty short paragraph.
TParagraph NewParagraph();

// A view over the display-line records of one paragraph.
class TLinesList {
 public:
  TParagraph* Par = nullptr;
  int32_t Count() const;
  // Address of line I; "List index out of bounds" outside 0 .. Count-1.
  LineInfo* GetLine(int32_t I);
  void GetLineCopy(int32_t I, LineInfo& L);
  void PutLine(int32_t I, const LineInfo& L);
  void SetCount(int32_t N);

 private:
  LineInfo Scratch;
};

class TParagraphsList : public TDynArray2 {
 public:
  TParagraphsList();
  ~TParagraphsList() override;

  TParagraph* GetPar(int32_t I) const { return static_cast<TParagraph*>(GetItem(I)); }
  TParagraph& Par(int32_t I) const { return *static_cast<TParagraph*>(ItemAt(I)); }

  // Appends the rest of the stream as paragraphs.
  void LoadFromStream(TStream& Stream, char NullReplacement, uint32_t ProgressInterval, const TProgressCallback& Progress,
                      TPelLineBreak& LineBreak, bool DiscardTrailingSpaces);
  // Replaces the text between two navigators.
  void ReplaceText(const char* NewText, TPelNavigator& StartNav, bool& AttrsRemoved, int32_t& ParDelta, int32_t& CharDelta,
                   bool KeepStyle, bool DiscardTrailingSpaces, TPelNavigator& EndNav);
  // With trailing-space discarding: when NewText has a break and its first piece is
  // blank, moves StartNav back over the blanks before it (they become part of the
  // replaced range). ReplaceText does it itself; the edit path calls it first so
  // that its undo record holds the range actually replaced.
  void ExtendStartOverBlanks(const char* NewText, TPelNavigator& StartNav) const;
  // Moves the ends of a range out of the middle of a break: a start to the
  // paragraph end, an end to the next paragraph's start (an empty range stays
  // empty, at the paragraph end).
  static void MoveOutOfBreak(TPelNavigator& StartNav, TPelNavigator& EndNav);
  // Writes the text; false when the stream refused bytes.
  bool WriteText(TStream& Stream, bool StripCodes, uint32_t ProgressInterval, const TProgressCallback& Progress,
                 TPelLineBreak LineBreak, bool DiscardTrailingSpaces) const;

  void MarkChanged(int32_t FromPar, int32_t LineInFromPar, int32_t ToPar);
  void MarkAllUnformatted();
  void Clear();
  void ShiftStartPos(int32_t From, int32_t Delta);
  void ShiftLineIndices(int32_t From, int32_t Delta);
  void ShiftStartPosAndLines(int32_t From, int32_t PosDelta, int32_t LineDelta);

  // The text of a paragraph and of a range of absolute offsets (breaks as CR LF).
  std::string_view ParText(int32_t I) const { return GetParView(*GetPar(I)); }
  std::string GetTextRange(int32_t From, int32_t To) const;
  // Index of the paragraph holding absolute offset Pos (a position between CR and
  // LF belongs to the paragraph before), by a guess and a few steps.
  int32_t FindPar(int32_t Pos) const;

  std::vector<char*> TextBuffers;
  bool StaticFormat = false;
  bool EditInProgress = false;
  int32_t TotalChars = 0;
  int32_t TotalLines = 0;
  int32_t ChangeFirstLine = 0;
  int32_t ChangeFirstPar = 0;
  int32_t ChangeLastPar = -1;
  int32_t ChangeLineDelta = 0;
  int32_t LastParsedPar = -1;
  int32_t PendingFirstPar = 0;
  int32_t PendingLastPar = -1;
  bool ChangeConsumed = false;

 private:
  void FreeTextBuffers();
};
