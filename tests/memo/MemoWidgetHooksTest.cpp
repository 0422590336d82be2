// Observers of the memo's window: every event is a message seen before and after
// its handling, and the window's own changes (text, caret, scrolling, font) reach
// ChangeHooks with their flags, a scroll and a caret move once each. The background formatter, stopped by the memo
// itself, writes nothing of its own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QStringList>
#include <QWheelEvent>

#include "memo/PelMemoWidget.h"
#include "memo/PelStream.h"
#include "platform/Prompts.h"
#include "tests/memo/MemoWidgetFixture.h"

namespace {

struct TFlagLog : TPelMemoHook {
  void Notify(TPelMemoCore& Memo, uint16_t Flags) override {
    Seen.push_back({Flags, Memo.Message.Msg, Memo.MessageNesting});
  }
  struct TEntry {
    uint16_t Flags;
    uint32_t Msg;
    int32_t Nesting;
  };
  std::vector<TEntry> Seen;
  bool Any(uint16_t Flag) const { return Count(Flag) > 0; }
  int Count(uint16_t Flag) const {
    int n = 0;
    for (const TEntry& e : Seen)
      if (e.Flags & Flag) ++n;
    return n;
  }
};

// A memo of the fixture whose notifications are counted.
class MemoNotifications : public TMemoWidgetFixture {
 protected:
  void Prepare() override { M->ChangeHooks.Add(&Log); }
  TFlagLog Log;  // declared before the fixture's memo goes, in TearDown
};

QStringList* CapturedMessages = nullptr;
void Capture(QtMsgType, const QMessageLogContext&, const QString& Text) {
  if (CapturedMessages) CapturedMessages->append(Text);
}

}  // namespace

TEST(MemoWidgetHooks, EventsAreMessagesAndChangesReachTheObserversWithTheirFlags) {
  TScriptedPrompts script;
  SetPrompts(&script);
  QStringList messages;
  CapturedMessages = &messages;
  const QtMessageHandler previous = qInstallMessageHandler(Capture);
  {
    TFlagLog messageLog, changeLog;  // outlive the memo that holds them
    TPelMemo m;
    m.ScrollTime = 0;
    m.SetWordWrap(false);
    m.resize(200, 100);
    m.show();
    m.setFocus();
    QApplication::processEvents();
    std::string text;
    for (int i = 0; i < 40; ++i) text += "line\r\n";
    TMemoryStream s(text);
    m.LoadTextFromStream(s);

    m.MessageHooks.Add(&messageLog);
    m.ChangeHooks.Add(&changeLog);

    // A typed character: the key event is one message (32 before, 64 after, the
    // nesting 1 while it is handled); the edit inside it sends CM_TEXTCHANGED, a
    // message within the message.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(&m, &key);
    // (Qt asks first whether the key is a shortcut: another message before it.)
    std::vector<TFlagLog::TEntry> keyAndInside;
    bool inKey = false;
    for (const auto& e : messageLog.Seen) {
      if (e.Msg == static_cast<uint32_t>(QEvent::KeyPress) && e.Flags == hfBeforeMessage) inKey = true;
      if (inKey) keyAndInside.push_back(e);
      if (e.Msg == static_cast<uint32_t>(QEvent::KeyPress) && e.Flags == hfAfterMessage) inKey = false;
    }
    ASSERT_EQ(keyAndInside.size(), 4u);
    EXPECT_EQ(keyAndInside[0].Nesting, 1);
    EXPECT_EQ(keyAndInside[1].Flags, hfBeforeMessage);
    EXPECT_EQ(keyAndInside[1].Msg, CM_TEXTCHANGED);
    EXPECT_EQ(keyAndInside[1].Nesting, 2);
    EXPECT_EQ(keyAndInside[2].Flags, hfAfterMessage);
    EXPECT_EQ(keyAndInside[2].Msg, CM_TEXTCHANGED);
    EXPECT_EQ(keyAndInside[3].Flags, hfAfterMessage);
    EXPECT_EQ(keyAndInside[3].Nesting, 0);
    EXPECT_EQ(m.MessageNesting, 0);
    EXPECT_TRUE(changeLog.Any(hfTextChanged));
    EXPECT_TRUE(changeLog.Any(hfSelMove));
    EXPECT_FALSE(changeLog.Any(hfVScroll));

    // Scrolling, a style change at the caret and the font reach ChangeHooks too.
    changeLog.Seen.clear();
    m.ScrollToLine(10);
    EXPECT_TRUE(changeLog.Any(hfVScroll));
    EXPECT_FALSE(changeLog.Any(hfHScroll));
    m.SetStaticFormat(true);
    TMemoryStream bold(std::string("a\x02" "b"));
    m.LoadTextFromStream(bold);
    changeLog.Seen.clear();
    m.SetSelStart(3);
    EXPECT_TRUE(changeLog.Any(hfStyleChange));
    changeLog.Seen.clear();
    QFont f = m.font();
    f.setPointSize(f.pointSize() + 4);
    m.setFont(f);
    EXPECT_TRUE(changeLog.Any(hfFontChanged));

    // An observer taken off is told nothing more.
    m.MessageHooks.Remove(&messageLog);
    messageLog.Seen.clear();
    QApplication::sendEvent(&m, &key);
    EXPECT_TRUE(messageLog.Seen.empty());

    // The background formatter stopped by a change of mode and by the memo's end.
    m.SetUpdateMode(TpmUpdateMode::umImmediate);
    m.SetUpdateMode(TpmUpdateMode::umBackground);
  }
  // A memo that deletes itself later is destroyed inside that message: nothing of it
  // is touched afterwards (no "after" notification), and it leaves DestroyedMemos.
  {
    TFlagLog watch;
    auto* doomed = new TPelMemo;
    doomed->MessageHooks.Add(&watch);
    doomed->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(watch.Seen.empty());
    EXPECT_EQ(watch.Seen.back().Msg, static_cast<uint32_t>(QEvent::DeferredDelete));
    EXPECT_EQ(watch.Seen.back().Flags, hfBeforeMessage);
    EXPECT_TRUE(DestroyedMemos().empty());
  }
  qInstallMessageHandler(previous);
  CapturedMessages = nullptr;
  SetPrompts(nullptr);
  EXPECT_FALSE(messages.contains(QStringLiteral("FormTerm")));
}

TEST_F(MemoNotifications, AGlideIsToldOnceWhenItHasArrived) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "line\r\n";
  Load(text);
  // The memo's clock runs with the real one from a start that the test can move on.
  QElapsedTimer real;
  real.start();
  uint32_t start = 100000;
  M->Clock = [&] { return start + static_cast<uint32_t>(real.elapsed()); };
  M->ScrollTime = 200;  // about 20 frames
  M->MouseWheelFactor = 3;
  std::vector<int32_t> told;  // the vertical offset at each OnVScroll
  M->OnVScroll = [&told](TPelMemo& Memo) { told.push_back(Memo.VertOffset); };
  const int32_t lh = M->GetLineHeight(), page = M->VisibleLines() - 1;
  auto glide = [&](const char* What, const std::function<void()>& Start, int32_t TargetLine) {
    SCOPED_TRACE(What);
    start += 1000;  // long after the last scroll: this one glides
    told.clear();
    Log.Seen.clear();
    Start();
    EXPECT_TRUE(M->Scrolling());
    QElapsedTimer timer;
    timer.start();
    while (M->Scrolling() && timer.elapsed() < 5000) QApplication::processEvents();
    ASSERT_FALSE(M->Scrolling());
    EXPECT_EQ(M->VertOffset, TargetLine * lh);
    // Told once, when the target was reached: OnVScroll, then the observers.
    EXPECT_EQ(told, std::vector<int32_t>{TargetLine * lh});
    EXPECT_EQ(Log.Count(hfVScroll), 1);
    EXPECT_EQ(Log.Count(hfHScroll), 0);
  };
  glide("Page Down", [&] { Key(Qt::Key_PageDown); }, page);
  glide(
      "one wheel notch",
      [&] {
        const QPointF at(10, 10);
        QWheelEvent e(at, M->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(M->viewport(), &e);
      },
      page + 3);
}

TEST_F(MemoNotifications, ACaretMovedAwayFromAKeptSelectionIsTold) {
  M->SetOptions(M->GetOptions() | pmoPersistentBlocks);
  Load("abcdef\r\nxyz");
  M->SetSelStart(2);
  M->SetSelLength(-2);  // "ab", the caret at its end: column 2
  int moves = 0;
  M->OnSelMove = [&moves](TPelMemo&) { ++moves; };
  Log.Seen.clear();
  for (int i = 0; i < 3; ++i) Key(Qt::Key_Right);
  EXPECT_TRUE(M->IsCaretApart());
  EXPECT_EQ(M->GetCaretPos(), 5);
  EXPECT_EQ(M->GetSelText(), "ab");
  EXPECT_EQ(moves, 3);
  EXPECT_EQ(Log.Count(hfSelMove), 3);
  // Back to the selection's end: told as well, and the selection is still kept.
  for (int i = 0; i < 3; ++i) Key(Qt::Key_Left);
  EXPECT_FALSE(M->IsCaretApart());
  EXPECT_EQ(M->GetCaretPos(), 2);
  EXPECT_EQ(M->GetSelText(), "ab");
  EXPECT_EQ(moves, 6);
  EXPECT_EQ(Log.Count(hfSelMove), 6);

  // Far from the kept selection, the view follows the caret, not the selection.
  std::string text;
  for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + "\r\n";
  Load(text);
  M->ScrollTime = 0;
  M->SetSelStart(0);
  M->SetSelLength(4);
  for (int i = 0; i < 120; ++i) Key(Qt::Key_Down);
  ASSERT_TRUE(M->IsCaretApart());
  EXPECT_EQ(M->GetSelText(), "line");
  const int32_t top = M->VertOffset, bottom = top + M->viewport()->height(), h = M->GetLineHeight();
  EXPECT_LE(top, 120 * h);
  EXPECT_GE(bottom, 121 * h);
}
