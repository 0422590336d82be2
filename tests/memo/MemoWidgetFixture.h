#pragma once
// The common ground of the memo window tests: a memo of its own per test, shown
// offscreen with prompts scripted, text loaded through a stream and keys sent as the
// keyboard delivers them. A test fixture sets what it needs (a font, word wrap) in
// Prepare, before the memo is sized and shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <memory>
#include <string>

#include "memo/PelMemoWidget.h"
#include "memo/PelStream.h"
#include "platform/Prompts.h"

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
  QImage Grab() { return M->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  TScriptedPrompts Script;
  std::unique_ptr<TPelMemo> M;
};
