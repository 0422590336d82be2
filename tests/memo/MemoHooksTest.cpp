// Observers of a memo without a window: the hook lists and their flags, the
// message sent after a text change, nested message dispatch and a memo destroyed
// by a message it is handling.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "memo/PelMemoCore.h"
#include "memo/PelMemoHooks.h"
#include "memo/PelStream.h"

namespace {

// Records every notification as (observer name, flags, message code in hand).
struct TRecorder : TPelMemoHook {
  TRecorder(char Name, std::vector<std::tuple<char, uint16_t, uint32_t>>& Log) : Name(Name), Log(Log) {}
  void Notify(TPelMemoCore& Memo, uint16_t Flags) override {
    Log.emplace_back(Name, Flags, Memo.Message.Msg);
    if (OnNotify) OnNotify();
  }
  char Name;
  std::vector<std::tuple<char, uint16_t, uint32_t>>& Log;
  std::function<void()> OnNotify;
};

using TLog = std::vector<std::tuple<char, uint16_t, uint32_t>>;

}  // namespace

TEST(MemoHooks, ListsTellTheirObserversInOrderAndTheTextChangeReachesBoth) {
  TPelMemoCore m;
  TLog log;
  TRecorder a('a', log), b('b', log), c('c', log), msg('m', log);
  m.ChangeHooks.Add(&a);
  m.ChangeHooks.Add(&b);
  m.ChangeHooks.Add(&c);
  // Without message observers a change is told to ChangeHooks alone (flag 1).
  m.SetSelText("x");
  EXPECT_EQ(log, (TLog{{'a', hfTextChanged, 0}, {'b', hfTextChanged, 0}, {'c', hfTextChanged, 0}}));

  // An observer removed while the list is told is skipped from then on, the list
  // packed afterwards; one removed before is never told.
  log.clear();
  a.OnNotify = [&] { m.ChangeHooks.Remove(&b); };
  m.ChangeHooks.Remove(&c);
  EXPECT_EQ(m.ChangeHooks.Count(), 2);
  m.MessageHooks.Add(&msg);
  m.SetSelText("y");
  // With a message observer the memo also sends itself CM_TEXTCHANGED, which the
  // message observer sees before and after its handling; OnChange comes last.
  EXPECT_EQ(log, (TLog{{'a', hfTextChanged, 0},
                       {'m', hfBeforeMessage, CM_TEXTCHANGED},
                       {'m', hfAfterMessage, CM_TEXTCHANGED}}));
  EXPECT_EQ(m.ChangeHooks.Count(), 1);
  EXPECT_EQ(m.MessageNesting, 0);

  // Clicks on a highlight with a context number: flag 8 for the left button, 16
  // for the right; the context is remembered. A click elsewhere tells nobody.
  log.clear();
  m.MessageHooks.Remove(&msg);
  a.OnNotify = nullptr;
  TKeyHeader h;
  h.KeyValue = 1;
  h.KeyWord = 42;
  m.Keywords.AddKeyword("go", h);
  TMemoryStream s(std::string("x go"));
  m.LoadTextFromStream(s);
  m.ParseAttributesTo(0);
  m.FormatRange(0, 0, false);
  log.clear();
  EXPECT_FALSE(m.ClickContext(0));
  EXPECT_TRUE(m.ClickContext(2));
  EXPECT_TRUE(m.ClickContext(3, true));
  // (The message record keeps the last message handled.)
  EXPECT_EQ(log, (TLog{{'a', hfContextLeft, CM_TEXTCHANGED}, {'a', hfContextRight, CM_TEXTCHANGED}}));
  EXPECT_EQ(m.GetLastContext(), 42);

  // An observer that registers again while it is told, and one added while the
  // list is told, wait for the next event: an event reaches the observers there
  // when it began, once each. (The re-registration is bounded so that a list that
  // grows under its own notification fails here instead of hanging.)
  TRecorder late('l', log);
  int calls = 0;
  a.OnNotify = [&] {
    if (++calls < 10) {
      m.ChangeHooks.Remove(&a);
      m.ChangeHooks.Add(&a);
    }
    if (calls == 1) m.ChangeHooks.Add(&late);
  };
  auto names = [&] {
    std::string n;
    for (const auto& e : log) n += std::get<0>(e);
    return n;
  };
  log.clear();
  m.ChangeHooks.Notify(m, hfTextChanged);
  EXPECT_EQ(names(), "a");
  EXPECT_EQ(m.ChangeHooks.Count(), 2);
  log.clear();
  m.ChangeHooks.Notify(m, hfTextChanged);
  EXPECT_EQ(names(), "al");
}

TEST(MemoHooks, NestedMessagesCountAndAMemoDestroyedInsideOneIsNotTouchedAgain) {
  TLog log;
  TRecorder watch('w', log);
  auto* m = new TPelMemoCore;
  m->MessageHooks.Add(&watch);
  std::vector<int32_t> nesting;

  // A message handled inside another: the count rises per level; every level is
  // told before and after, the inner one first; the results reach the observers.
  TMemoMessage outer{7, 0, 0, 0};
  const bool alive = DispatchMemoMessage(m, outer, [&](TMemoMessage& M) {
    nesting.push_back(m->MessageNesting);
    TMemoMessage inner{8, 0, 0, 0};
    DispatchMemoMessage(m, inner, [&](TMemoMessage& I) {
      nesting.push_back(m->MessageNesting);
      I.Result = 5;
    });
    EXPECT_EQ(m->Message.Result, 5);
    M.Result = 9;
  });
  EXPECT_TRUE(alive);
  EXPECT_EQ(nesting, (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(m->MessageNesting, 0);
  EXPECT_EQ(m->Message.Msg, 7u);
  EXPECT_EQ(m->Message.Result, 9);
  EXPECT_EQ(log, (TLog{{'w', hfBeforeMessage, 7}, {'w', hfBeforeMessage, 8}, {'w', hfAfterMessage, 8},
                       {'w', hfAfterMessage, 7}}));

  // Destroyed by the inner of two messages: neither level touches it again nor
  // tells the observer after it; the memo stays on DestroyedMemos until the outer
  // level is over.
  log.clear();
  const TPelMemoCore* gone = m;
  bool innerAlive = true, listedInBetween = false;
  outer = {7, 0, 0, 0};
  const bool outerAlive = DispatchMemoMessage(m, outer, [&](TMemoMessage&) {
    TMemoMessage inner{8, 0, 0, 0};
    innerAlive = DispatchMemoMessage(m, inner, [&](TMemoMessage&) { delete m; });
    listedInBetween = IsDestroyedMemo(gone);
  });
  EXPECT_FALSE(innerAlive);
  EXPECT_FALSE(outerAlive);
  EXPECT_TRUE(listedInBetween);
  EXPECT_FALSE(IsDestroyedMemo(gone));
  EXPECT_TRUE(DestroyedMemos().empty());
  EXPECT_EQ(log, (TLog{{'w', hfBeforeMessage, 7}, {'w', hfBeforeMessage, 8}}));

  // A memo destroyed outside any message is not listed.
  auto* plain = new TPelMemoCore;
  delete plain;
  EXPECT_TRUE(DestroyedMemos().empty());
}
