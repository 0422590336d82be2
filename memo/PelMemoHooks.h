#pragma once
// Observers of a memo and the dispatch of its messages, without Qt: the hook lists
// (MessageHooks, ChangeHooks) with their event flags, the record of the message in
// hand, the nesting count of messages being handled and the memos destroyed while
// handling one (DestroyedMemos), so that a dispatch never touches a memo that its
// own message destroyed. The window hands every event it handles to
// DispatchMemoMessage; a memo without a window dispatches its own messages here too.
#include <cstdint>
#include <functional>
#include <vector>

class TPelMemoCore;

// Event flags of a notification (a 16-bit set).
inline constexpr uint16_t hfTextChanged = 1;     // the text changed (Change)
inline constexpr uint16_t hfSelMove = 2;         // the caret's offset or virtual column moved
inline constexpr uint16_t hfStyleChange = 4;     // the font style at the caret changed
inline constexpr uint16_t hfContextLeft = 8;     // a left click on a highlight with a context number
inline constexpr uint16_t hfContextRight = 16;   // a right click on one
inline constexpr uint16_t hfBeforeMessage = 32;  // a message is about to be handled
inline constexpr uint16_t hfAfterMessage = 64;   // a message has been handled
inline constexpr uint16_t hfVScroll = 128;       // the vertical offset changed
inline constexpr uint16_t hfHScroll = 256;       // the horizontal offset changed
inline constexpr uint16_t hfFontChanged = 512;   // the font metrics changed

// The message a memo sends itself after a change of its text when it has message
// observers (a user event number of its own in the window).
inline constexpr uint32_t CM_TEXTCHANGED = 0x7E01;

// A message as the observers see it: its code, two parameters and the result.
struct TMemoMessage {
  uint32_t Msg = 0;
  intptr_t WParam = 0;
  intptr_t LParam = 0;
  intptr_t Result = 0;
};

// An observer: told of events with the memo and the event flags. It must not
// destroy the memo from its notification (a message handler may).
class TPelMemoHook {
 public:
  virtual ~TPelMemoHook() = default;
  virtual void Notify(TPelMemoCore& Memo, uint16_t Flags) = 0;
};

// A list of observers, told in the order they were added. An observer removed
// while the list is being notified leaves an empty entry, skipped and packed away
// once the outermost notification is over.
class TPelMemoHooks {
 public:
  void Add(TPelMemoHook* Hook);
  void Remove(TPelMemoHook* Hook);
  // Observers registered (empty entries not counted).
  int32_t Count() const;
  bool Empty() const { return Count() == 0; }
  // NotifyHooks: every non-empty entry in list order.
  void Notify(TPelMemoCore& Memo, uint16_t Flags);

 private:
  void Pack();
  std::vector<TPelMemoHook*> Items;
  int32_t Depth = 0;
  bool HasEmpty = false;
};

// Memos destroyed while they were handling a message, until the outermost of
// those dispatches has returned.
const std::vector<const TPelMemoCore*>& DestroyedMemos();
bool IsDestroyedMemo(const TPelMemoCore* Memo);
// Called by a memo's destruction when its MessageNesting is above 0.
void AddDestroyedMemo(const TPelMemoCore* Memo);

// Handles message M for Memo with Handler: MessageNesting + 1, the message copied
// into the memo's record and MessageHooks told (flag 32); then Handler; then, unless
// the handler destroyed the memo, MessageNesting - 1 and MessageHooks told again with
// the result (flag 64). Returns false when the memo was destroyed: nothing of it is
// touched any more, and the outermost dispatch takes it off DestroyedMemos.
bool DispatchMemoMessage(TPelMemoCore* Memo, TMemoMessage& M, const std::function<void(TMemoMessage&)>& Handler);
