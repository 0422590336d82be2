#include "memo/PelMemoHooks.h"

#include <algorithm>

#include "memo/PelMemoCore.h"

// ---- observer lists ----------------------------------------------------------------------

void TPelMemoHooks::Add(TPelMemoHook* Hook) {
  if (Hook) Items.push_back(Hook);
}

void TPelMemoHooks::Remove(TPelMemoHook* Hook) {
  const auto it = std::find(Items.begin(), Items.end(), Hook);
  if (it == Items.end() || !Hook) return;
  *it = nullptr;
  HasEmpty = true;
  if (Depth == 0) Pack();
}

int32_t TPelMemoHooks::Count() const {
  return static_cast<int32_t>(std::count_if(Items.begin(), Items.end(), [](TPelMemoHook* H) { return H != nullptr; }));
}

void TPelMemoHooks::Pack() {
  Items.erase(std::remove(Items.begin(), Items.end(), nullptr), Items.end());
  HasEmpty = false;
}

void TPelMemoHooks::Notify(TPelMemoCore& Memo, uint16_t Flags) {
  ++Depth;
  try {
    // The observers registered when the notification began, once each, by index:
    // one may add or remove observers while it is told. Entries are not packed
    // while any notification runs, so indices hold; an observer added now (or one
    // that removes and adds itself again) waits for the next event.
    const size_t n = Items.size();
    for (size_t i = 0; i < n; ++i)
      if (TPelMemoHook* h = Items[i]) h->Notify(Memo, Flags);
  } catch (...) {
    --Depth;
    if (Depth == 0 && HasEmpty) Pack();
    throw;
  }
  --Depth;
  if (Depth == 0 && HasEmpty) Pack();
}

// ---- destruction while handling a message ---------------------------------------------------

namespace {

std::vector<const TPelMemoCore*>& DestroyedList() {
  static std::vector<const TPelMemoCore*> list;
  return list;
}

void ForgetDestroyedMemo(const TPelMemoCore* Memo) {
  auto& list = DestroyedList();
  const auto it = std::find(list.begin(), list.end(), Memo);
  if (it != list.end()) list.erase(it);
}

}  // namespace

const std::vector<const TPelMemoCore*>& DestroyedMemos() { return DestroyedList(); }

bool IsDestroyedMemo(const TPelMemoCore* Memo) {
  const auto& list = DestroyedList();
  return std::find(list.begin(), list.end(), Memo) != list.end();
}

void AddDestroyedMemo(const TPelMemoCore* Memo) {
  if (!IsDestroyedMemo(Memo)) DestroyedList().push_back(Memo);
}

bool DispatchMemoMessage(TPelMemoCore* Memo, TMemoMessage& M, const std::function<void(TMemoMessage&)>& Handler) {
  const int32_t level = ++Memo->MessageNesting;
  Memo->Message = M;
  Memo->MessageHooks.Notify(*Memo, hfBeforeMessage);
  // The memo may be gone once the handler returns: only the pointer's value is
  // compared from here on until it is known to be alive.
  auto gone = [&] {
    if (!IsDestroyedMemo(Memo)) return false;
    if (level == 1) ForgetDestroyedMemo(Memo);
    return true;
  };
  try {
    Handler(M);
  } catch (...) {
    if (!gone()) --Memo->MessageNesting;
    throw;
  }
  if (gone()) return false;
  --Memo->MessageNesting;
  if (!Memo->MessageHooks.Empty()) {
    Memo->Message = M;
    Memo->MessageHooks.Notify(*Memo, hfAfterMessage);
  }
  return true;
}
