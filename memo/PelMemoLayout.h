#pragma once
// Layout and scroll arithmetic of the memo's window, kept free of Qt: measured
// paragraph formatting (wrapping, tabs, long words, the widest line), the scroll
// units and ranges, the wheel's accumulator, the targets that bring the caret into
// view, and background formatting in time-boxed slices. The widget supplies the
// measurer and the clock; tests supply fixed-pitch fakes.
#include <cstdint>
#include <functional>
#include <vector>

#include "memo/PelMemoCore.h"

class TPelLayout {
 public:
  // Widest display line seen so far (pixels) and, in non-wrapping layout, its paragraph.
  int64_t WidestWidth = 0;
  int32_t WidestPar = -1;
  // Of the current font: the width of a blank and the overhang of italic text.
  int32_t SpaceWidth = 1;
  int32_t Overhang = 0;

  // Takes the blank's width and the overhang from the extents of one and two blanks.
  void SetupFont(TTextMeasurer& M);
  void ResetWidest() {
    WidestWidth = 0;
    WidestPar = -1;
  }
  // The wrap width in pixels (at least 1).
  int64_t WrapWidth(const TPelMemoCore& Memo) const;

  // Lays out paragraph Par again from display line FirstLine on (clamped; the line
  // before it is laid out again too, so that words can move up). Unless Whole is
  // set, formatting ends as soon as a new break meets an old one, the old lines
  // after it being still valid. FirstLine comes back as the first line redone,
  // LastOld as the last old line replaced, NewCount as the paragraph's line count.
  // Returns the change in the line count; the store's TotalLines follows.
  int32_t FormatParagraph(TPelMemoCore& Memo, TTextMeasurer& M, int32_t Par, int32_t& FirstLine, int32_t& LastOld,
                          int32_t& NewCount, bool Whole);
  // The whole paragraph from its first line.
  int32_t FormatParagraph(TPelMemoCore& Memo, TTextMeasurer& M, int32_t Par) {
    int32_t first = 0, lastOld = 0, count = 0;
    return FormatParagraph(Memo, M, Par, first, lastOld, count, true);
  }
  // After the widest paragraph changed: the widest of the laid-out paragraphs again.
  void RescanWidest(const TPelMemoCore& Memo);
};

// Scroll positions are kept below 32760 by dividing the pixel extent by a unit.
inline int32_t ScrollUnit(int64_t Extent) { return static_cast<int32_t>(Extent / 32760 + 1); }

// A scroll bar in the memo's terms: positions 0 .. Max with a page of Page
// positions (the last reachable position is Max - Page + 1), offsets = position x Unit.
struct TScrollRange {
  int32_t Unit = 1;
  int32_t Max = 0;
  int32_t Page = 0;
  // The highest position a scroll bar can take.
  int32_t Reach() const { return Max - Page + 1 > 0 ? Max - Page + 1 : 0; }
};

TScrollRange VertScrollRange(int32_t TotalLines, int32_t LineHeight, int32_t ClientHeight, bool AutoScrollBars);
TScrollRange HorzScrollRange(int64_t Widest, const TPelMemoCore& Memo, int32_t ClientWidth);

// The wheel: deltas in 120ths of a notch times the lines per notch; returns how many
// lines the top line moves (negative: up). The remainder waits for the next delta.
class TWheelAccumulator {
 public:
  int32_t Add(int32_t Factor, int32_t Delta);
  int32_t Pending() const { return Acc; }

 private:
  int64_t Acc = 0;
};

// Horizontal offset that brings a caret at CaretX (client pixels) into view, moving
// in steps of five average character widths.
int32_t ScrollInViewX(int32_t Offset, int32_t CaretX, int32_t ClientWidth, int32_t AvgCharWidth);
// Vertical offset that brings the caret's display line into view.
int32_t ScrollInViewY(int32_t Offset, int32_t CaretLine, int32_t CaretY, int32_t LineHeight, int32_t ClientHeight,
                      int32_t VisibleLines, bool NoFineScroll);

// Background formatting: one slice formats pending paragraphs until the deadline
// (SliceMs after the slice began) has passed. Returns true when work is left.
// Lines is increased by the change in the display-line count.
bool FormatSlice(TPelMemoCore& Memo, const std::function<uint32_t()>& Now, int32_t& Lines, uint32_t SliceMs = 25);
