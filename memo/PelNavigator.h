#pragma once
// A live position in a memo's text. It knows its absolute offset and caches,
// lazily, the paragraph (by index), the offset inside it, the attribute record in
// effect and the display line. Small forward moves keep the caches by stepping
// them; other moves drop them. Every navigator created on a memo registers with it
// so that the edit path can shift it after a change.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "memo/ParagraphsList.h"

class TPelMemoCore;

class TPelNavigator {
 public:
  // Registers with the memo (nullptr: a scratch navigator over Store alone).
  explicit TPelNavigator(TPelMemoCore* Memo);
  explicit TPelNavigator(TParagraphsList& Store);
  ~TPelNavigator();
  TPelNavigator(const TPelNavigator&) = delete;
  TPelNavigator& operator=(const TPelNavigator&) = delete;

  void Invalidate();
  void Assign(const TPelNavigator& Other);
  // Forgets the memo and its text (the memo is going away); the navigator may
  // then only be destroyed.
  void Detach();

  // Paragraph and position.
  bool Located() const { return ParIndex >= 0; }
  int32_t GetParIndex();
  TParagraph* GetPar();
  int32_t GetParOffset();
  void SetParIndex(int32_t I);
  void SetPos(int32_t P);
  void SetParOffset(int32_t N);
  // Puts the navigator on paragraph I at offset Offset with the given caches.
  void SetLocation(int32_t I, int32_t Offset, int32_t Attr, int32_t Line);
  char GetChar();
  char PeekChar() { return GetChar(); }
  std::string ReadText(int32_t Count);

  // Lines.
  TLinesList& GetLinesList();
  int32_t GetParLineIndex();
  int32_t GetLineIndex();
  void SetLineIndex(int32_t Line);
  int32_t GetLineOffset();
  void SetLineOffset(int32_t N);
  std::string GetLineText();

  // Attributes and style.
  int32_t GetAttrIndex();
  void SkipAttributesAtPos();
  const TStyleRecord* GetAttrStyle();
  void GetStyle(TStyleRecord& Style);
  uint8_t GetStaticStyle();
  bool FindPrevAttribute(int32_t Limit);
  bool FindNextAttribute(int32_t Limit);
  void InsertAttribute(const TStyleRecord& Record);
  void DeleteAttribute();

  // Words.
  void PrevWord();
  void NextWord();
  void WordEnd();
  void WordStart();

  // Pixels, through the memo's measurer and geometry.
  int32_t GetXOnLine();
  void SetXOnLine(int32_t X);
  void GetPoint(int32_t& X, int32_t& Y);
  void SetFromPoint(int32_t X, int32_t Y);

  // Tab-aware columns.
  static int32_t OffsetToColumn(const TParagraph& P, int32_t Offset, int32_t TabStops, bool StaticFormat);
  static int32_t ColumnToOffset(const TParagraph& P, int32_t Column, int32_t TabStops, bool StaticFormat);
  static int32_t ColumnToOffsetWithRest(const TParagraph& P, int32_t Column, int32_t TabStops, bool StaticFormat);

  // Drops the cached attribute and line indices of every located navigator of the
  // list beyond FromPos whose paragraph is at most ToPar.
  static void InvalidateNavigatorsInRange(const std::vector<TPelNavigator*>& List, int32_t FromPos, int32_t ToPar);

  TParagraphsList& Paragraphs() const { return *Store; }

  bool ResetOnEdit = false;
  std::function<void(TPelNavigator*)> OnDestroy;
  TPelMemoCore* Memo = nullptr;
  int32_t Pos = 0;
  int32_t ParIndex = -1;  // -1: not located
  int32_t ParOffset = -1;
  int32_t AttrIndex = -1;
  int32_t LineIndex = -1;
  // Put on a wrapped line's end as that line's (SetLineOffset, SetParOffset): the
  // navigator stays on that line, not the next one beginning at the same offset,
  // also when its cached line index is dropped by a layout. Any other placement
  // (SetPos, a paragraph, a line start) clears it.
  bool AtLineEnd = false;

 private:
  void Locate();
  bool IsSeparator(char Ch) const;
  int32_t TabStopsValue() const;
  // X of offset Upto on the current line, before alignment and scrolling.
  int32_t MeasureLine(const LineInfo& L, int32_t Upto, std::vector<int32_t>* Edges);
  int32_t LineShift(const LineInfo& L, bool LastLine);

  TParagraphsList* Store = nullptr;
  std::unique_ptr<TLinesList> LinesList;
};
