#pragma once
// The memo's parse passes, as far as they need no window: the start/stop-key
// regions carried from paragraph to paragraph, the keyword pass, and the style
// record helpers they share. The passes themselves are members of TPelMemoCore
// (defined in PelMemoParse.cpp); these are the free helpers.
#include <cstdint>

#include "memo/PelMemoTypes.h"

class TParagraphsList;
class TPelNavigator;

// Flag bits of a style record beyond the font style.
inline constexpr uint8_t sfContext = 0x40;    // the context stack is in use
inline constexpr uint8_t sfHighlight = 0x80;  // highlighted by a key
// A start/stop key's index is stored on the context stack as index - 32768.
inline constexpr int32_t StartStopContextBase = -32768;
// A key is not applied where the context stack is already this deep.
inline constexpr int32_t MaxContextDepth = 15;

// Same flag bits 6 and 7 and, when highlighted, the same depth, key value and
// context-stack entries.
bool CompareStyles(const TStyleRecord& A, const TStyleRecord& B);
// Whether a keyword may be highlighted where Style is in effect.
bool KeywordsAllowed(const TStyleRecord& Style, bool KeywordsInContexts);
// True unless the top context is a start/stop key.
bool OutsideRegion(const TStyleRecord& Style);

// Gives the text between two positions one style (highlight: flag bit 7 forced
// on). Records inside the range are dropped; where the range ends, a record
// restores the style that was in effect (when either style is highlighted).
void SetStyleRange(TParagraphsList& Store, TPelNavigator& A, TPelNavigator& B, bool MarkChanged, bool Highlight,
                   const TStyleRecord& Style);
