#pragma once
// The common ground of the window tests: every window exists, prompts are scripted,
// beeps are silent, the current directory is a fresh temporary folder, and what a
// test changes in the main window's run state is put back afterwards (the windows
// live for the whole test program).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"
#include "app/Startup.h"

class TGuiFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateWindows();
    SavedState = *Pelmor;
    SavedFileName = Pelmor->FileName;
    SavedVisible = Pelmor->isVisible();
    SavedProgressTitle = Progress ? Progress->windowTitle() : QString();
    SetPrompts(&Script);
    SetBeepHandler(&NoBeep);
    OldDir = QDir::currentPath();
    ASSERT_TRUE(Dir.isValid());
    QDir::setCurrent(Dir.path());
    Pelmor->AbortRequested = false;
    // Whatever an earlier test typed counts as saved: no test meets a save question
    // it did not bring about.
    Pelmor->MarkGridSaved();
  }
  void TearDown() override {
    static_cast<TRunState&>(*Pelmor) = SavedState;
    Pelmor->FileName = SavedFileName;
    Pelmor->setVisible(SavedVisible);
    if (Progress) {
      Progress->setWindowTitle(SavedProgressTitle);
      Progress->hide();
    }
    SetPrompts(nullptr);
    SetBeepHandler(nullptr);
    QDir::setCurrent(OldDir);
  }
  void Write(const QString& Name, const QByteArray& Bytes) {
    QFile f(Dir.filePath(Name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Bytes);
  }
  QByteArray Read(const QString& Name) {
    QFile f(Dir.filePath(Name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
  }
  static void NoBeep() {}
  // Back to the default matrix; what the test typed into the grid goes without a question.
  static void DefaultMatrix() {
    Pelmor->MarkGridSaved();
    Pelmor->New1Click();
  }

  TScriptedPrompts Script;
  QTemporaryDir Dir;
  QString OldDir;
  TRunState SavedState;
  QString SavedFileName, SavedProgressTitle;
  bool SavedVisible = false;
};
