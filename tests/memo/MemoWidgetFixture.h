#pragma once
// The common ground of the memo window tests: a memo of its own per test, shown
// offscreen with prompts scripted, text loaded through a stream and keys sent as the
// keyboard delivers them. A test fixture sets what it needs (a font, word wrap) in
// Prepare, before the memo is sized and shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "memo/PelMemoWidget.h"
#include "memo/PelStream.h"
#include "platform/Prompts.h"
#include "tests/memo/MemoTestFont.h"

// A whole-word keyword's header: its key value, text and background colours and font style.
inline TKeyHeader Colored(int32_t KeyValue, int32_t Fore, int32_t Back = NoColor, uint8_t FontStyle = 0) {
  TKeyHeader h;
  h.Options = koWholeWord;
  h.KeyValue = KeyValue;
  h.Color1 = Fore;
  h.Color2 = Back;
  h.FontStyle = FontStyle;
  return h;
}

// Words that wrap into three display lines at a column wrap of 26.
inline constexpr const char* WrapWords = "alpha beta gamma delta epsilon zeta eta theta iota kappa";

// N paragraphs "P<i> " + Body, then a last paragraph Last when it is not empty.
inline std::string NumberedPars(int N, std::string_view Body = WrapWords, std::string_view Last = "last") {
  std::string t;
  for (int i = 0; i < N; ++i) {
    if (i > 0) t += "\r\n";
    t += 'P';
    t += std::to_string(i);
    t += ' ';
    t += Body;
  }
  if (!Last.empty()) {
    t += "\r\n";
    t += Last;
  }
  return t;
}

// A memo of its own in the tests' font, given Setup's properties, shown at Size and
// then given Text.
inline std::unique_ptr<TPelMemo> ShownMemo(const std::function<void(TPelMemo&)>& Setup, const std::string& Text,
                                           QSize Size = QSize(400, 300)) {
  auto m = std::make_unique<TPelMemo>();
  m->ScrollTime = 0;
  m->SetMemoFont(MemoTestFont());
  Setup(*m);
  m->resize(Size);
  m->show();
  TMemoryStream s(Text);
  m->LoadTextFromStream(s);
  return m;
}

// The viewport as painted now.
inline QImage GrabViewport(TPelMemo& Memo) {
  return Memo.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Paints and lays out whatever is pending, as the idle window would: painting first,
// which lays out what shows before the background slices get to it.
inline void SettleMemo(TPelMemo& Memo) {
  for (int round = 0; round < 2; ++round) {
    Memo.viewport()->repaint();
    QApplication::processEvents();
    for (int i = 0; i < 1000000 && Memo.FormatPending(); ++i) Memo.RunFormatSlice();
  }
}

// Once settled, the caret is drawn where its navigator is: on its line, at its true x.
inline void ExpectCaretDrawnAtNavigator(TPelMemo& Memo) {
  SettleMemo(Memo);
  TPelNavigator& caret = Memo.CaretPosNav();
  ASSERT_EQ(Memo.GetCaretY(), caret.GetLineIndex() * Memo.GetLineHeight() - Memo.VertOffset)
      << "caret drawn on another line than its own";
  ASSERT_EQ(Memo.GetCaretX(), caret.GetXOnLine() + Memo.VirtualColumn * Memo.AvgCharWidth) << "caret drawn at another x";
}

class TMemoWidgetFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    SetPrompts(&Script);
    M = std::make_unique<TPelMemo>();
    M->ScrollTime = 0;
    Prepare();
    M->resize(400, 300);
    M->show();
    M->setFocus();
    QApplication::processEvents();
  }
  void TearDown() override {
    M.reset();
    SetPrompts(nullptr);
  }
  virtual void Prepare() {}
  void Load(const std::string& Text) {
    TMemoryStream s(Text);
    M->LoadTextFromStream(s);
  }
  void Key(int K, Qt::KeyboardModifiers Mods = Qt::NoModifier, const QString& Text = {}) {
    QKeyEvent e(QEvent::KeyPress, K, Mods, Text);
    QApplication::sendEvent(M.get(), &e);
  }
  QImage Grab() { return GrabViewport(*M); }

  TScriptedPrompts Script;
  std::unique_ptr<TPelMemo> M;
};
