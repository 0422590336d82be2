#pragma once
// Records of the memo's text model: the paragraph record in its short and extended
// forms, display-line records, style and attribute records, and the memo's errors.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Misuse of a list (an index outside the list, an undo level out of range).
class EListError : public std::runtime_error {
 public:
  explicit EListError(const std::string& Msg) : std::runtime_error(Msg) {}
};

// Faults of the memo itself ("Text too long", "Internal PelMemo error", the self-check).
class EPelMemoError : public std::runtime_error {
 public:
  explicit EPelMemoError(const std::string& Msg) : std::runtime_error(Msg) {}
};

inline const char* const ListIndexError = "List index out of bounds";
inline const char* const TextTooLongError = "Text too long";
inline const char* const InternalError = "Internal PelMemo error";
inline const char* const UndoTooHighError = "Undo set too high";

// Kind of paragraph break written on saving (and found on loading).
enum class TPelLineBreak : uint8_t { pbCRLF, pbLFCR, pbCR, pbLF };

// The colour value that stands for "no colour".
inline constexpr int32_t NoColor = 0x1FFFFFFF;

// One display line of a paragraph.
struct LineInfo {
  int32_t Start = 0;      // first offset of the line inside the paragraph
  int32_t Stop = 0;       // first offset after the line
  int32_t Width = 0;      // pixels without the blanks at the end
  int32_t FullWidth = 0;  // pixels with them
  int32_t Unused = 0;
  int32_t Spaces = 0;     // spaces that justification may widen
  int32_t JustStart = 0;  // offset after the line's last tab
  uint8_t Style = 0;      // in-text style byte at the line start
  int32_t AttrIndex = 0;  // attribute record in effect at the line start
  bool operator==(const LineInfo&) const = default;
};

// Highlighting style set by the parser. As a style record the first word is a
// reference count; as an attribute record it is the offset inside the paragraph.
struct TStyleRecord {
  int32_t CountOrOffset = 0;
  uint8_t Flags = 0;  // bit 7: differs from the default; bits 6+7: context stack in use
  int8_t Depth = 0;
  int32_t Color1 = -1;
  int32_t Color2 = -1;
  int32_t KeyValue = 0;
  int16_t KeyWord = 0;
  int16_t Stack[16] = {};
  uint8_t OpenLen = 0;
  uint8_t CloseLen = 0;
};

// The shared default style: never counted, never freed.
extern TStyleRecord DefaultStyle;

// The depth of a style's context stack, -1 when the stack is not in use.
int GetStyleContext(const TStyleRecord& Style);

// Paragraph flags.
inline constexpr uint8_t pfExtended = 1;
inline constexpr uint8_t pfOwnText = 2;
inline constexpr uint8_t pfFormatted = 8;
inline constexpr uint8_t pfContextParsed = 16;
inline constexpr uint8_t pfParsed = 32;

// Extended information of a paragraph that does not fit the short form.
struct ParExtraInfo {
  int32_t ParTextColor = -1;
  int32_t ParBackColor = -1;
  int32_t Length = 0;
  LineInfo FirstLineInfo;
  TStyleRecord* ParStartStyle = &DefaultStyle;
  std::vector<LineInfo> LineInfos;        // display lines 1 .. n-1
  std::vector<TStyleRecord> Attributes;   // ascending offsets
};

// One paragraph. Short form: Len and Width; extended form (pfExtended): Extra.
struct TParagraph {
  char* Text;  // NUL-terminated; nullptr for an empty paragraph without a buffer
  int32_t StartPos;
  int32_t FirstLine;
  uint8_t Flags;
  union {
    struct {
      uint16_t Len;
      uint16_t Width;
    } Short;
    ParExtraInfo* Extra;
  };
};
