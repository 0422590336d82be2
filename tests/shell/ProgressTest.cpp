// The progress window: its design, the set-up by ShowProgress, stepping, and every way
// it closes (abort button, close box, Escape, the program's own close, the main window
// reappearing after a batch), with the beeps and the stop flag each one gives.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

#include "shell/PelmorGridHelpers.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"
#include "app/Startup.h"
#include "tests/shell/GuiFixture.h"

namespace {
int Beeps = 0;
void CountBeep() { ++Beeps; }

class ProgressTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    SetBeepHandler(&CountBeep);  // beeps are counted here
    Beeps = 0;
    Pelmor->New1Click();
    Pelmor->AbortRequested = false;
    Pelmor->Iterations = 1000;
    Progress->SoundCheck->setChecked(true);
    Progress->hide();
  }
  void TearDown() override {
    Progress->SoundCheck->setChecked(true);
    TGuiFixture::TearDown();
  }
};
}  // namespace

TEST_F(ProgressTest, DesignTextsAndBuddies) {
  ASSERT_NE(Progress, nullptr);
  {
    // Runs replace the caption; a fresh window has the design one, and does not
    // replace the program's single instance.
    TProgress fresh;
    EXPECT_EQ(fresh.windowTitle(), "Pelmor -- simulating...");
    EXPECT_EQ(fresh.IterationsLabel->text(), "1000");
    EXPECT_NE(Progress, &fresh);
  }
  ASSERT_NE(Progress, nullptr);
  EXPECT_EQ(Progress->MatrixCaption->text(), "Matrix:");
  EXPECT_EQ(Progress->IterationsCaption->text(), "Iterations:");
  EXPECT_EQ(Progress->ProgressCaption->text(), "Progress");
  EXPECT_EQ(Progress->ModelCaption->text(), "Model:");
  EXPECT_EQ(Progress->MatrixCaption->buddy(), Progress->MatrixLabel);
  EXPECT_EQ(Progress->IterationsCaption->buddy(), Progress->IterationsLabel);
  EXPECT_EQ(Progress->ProgressCaption->buddy(), Progress->ProgressBar1);
  EXPECT_EQ(Progress->ModelCaption->buddy(), Progress->ModelLabel);
  EXPECT_EQ(Progress->InterruptButton->text(), "&Abort simulation");
  EXPECT_EQ(Progress->SoundCheck->text(), "Beep");
  EXPECT_TRUE(Progress->SoundCheck->isChecked());
  EXPECT_FALSE(Progress->isModal());
}

TEST_F(ProgressTest, ShowProgressSetsLabelsBarAndShowsWindow) {
  // The default matrix is 6 x 6: five data rows and five data columns.
  Pelmor->Iterations = 250;
  Progress->ProgressBar1->setValue(40);
  ShowProgress(QStringLiteral("Fixed-Fixed"));
  EXPECT_EQ(Progress->MatrixLabel->text(), "5 rows; 5 columns; ");
  EXPECT_EQ(Progress->IterationsLabel->text(), "250");
  EXPECT_EQ(Progress->ModelLabel->text(), "Fixed-Fixed");
  EXPECT_TRUE(Progress->isVisible());
  EXPECT_EQ(Progress->ProgressBar1->value(), 0);
  EXPECT_EQ(Progress->ProgressBar1->maximum(), 250);
  EXPECT_EQ(Progress->Step, 1);

  // Each iteration: the label shows the position before the step, then the bar steps.
  Progress->StepIteration();
  EXPECT_EQ(Progress->IterationsLabel->text(), "0");
  EXPECT_EQ(Progress->ProgressBar1->value(), 1);
  Progress->StepIteration();
  EXPECT_EQ(Progress->IterationsLabel->text(), "1");
  EXPECT_EQ(Progress->ProgressBar1->value(), 2);

  // A second run starts again from zero.
  Pelmor->Iterations = 7;
  ShowProgress(QStringLiteral("Other"));
  EXPECT_EQ(Progress->ProgressBar1->value(), 0);
  EXPECT_EQ(Progress->ProgressBar1->maximum(), 7);
  EXPECT_EQ(Progress->IterationsLabel->text(), "7");
}

TEST_F(ProgressTest, AbortButtonClosesBeepsThreeTimesAndStopsRun) {
  ShowProgress(QStringLiteral("m"));
  Progress->InterruptButton->click();
  EXPECT_FALSE(Progress->isVisible());
  EXPECT_EQ(Beeps, 3);
  EXPECT_TRUE(Pelmor->AbortRequested);

  // Without "Beep" it is silent.
  Pelmor->AbortRequested = false;
  Beeps = 0;
  ShowProgress(QStringLiteral("m"));
  Progress->SoundCheck->setChecked(false);
  Progress->InterruptButton->click();
  EXPECT_EQ(Beeps, 0);
  EXPECT_TRUE(Pelmor->AbortRequested);
}

TEST_F(ProgressTest, ProgramCloseBeepsButDoesNotAbort) {
  ShowProgress(QStringLiteral("m"));
  Progress->close();  // the end of an interactive run
  EXPECT_FALSE(Progress->isVisible());
  EXPECT_EQ(Beeps, 3);
  EXPECT_FALSE(Pelmor->AbortRequested);
  // Closing it again once hidden makes no more sound.
  Progress->close();
  EXPECT_EQ(Beeps, 3);
}

TEST_F(ProgressTest, CloseBoxAndEscapeCountAsAbort) {
  // The close box: the window system sends a close event to the window.
  ShowProgress(QStringLiteral("m"));
  ASSERT_NE(Progress->windowHandle(), nullptr);
  QCloseEvent closeBox;
  QCoreApplication::sendEvent(Progress->windowHandle(), &closeBox);
  EXPECT_FALSE(Progress->isVisible());
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_EQ(Beeps, 3);

  // Escape.
  Pelmor->AbortRequested = false;
  Beeps = 0;
  ShowProgress(QStringLiteral("m"));
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(Progress, &escape);
  EXPECT_FALSE(Progress->isVisible());
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_EQ(Beeps, 3);
}

TEST_F(ProgressTest, RunLoopEndsWithinOneIterationOfAbort) {
  // A run's loop as every analysis has it: process messages, test the flag, work, step.
  Pelmor->Iterations = 50;
  ShowProgress(QStringLiteral("Sequential swap"));
  Pelmor->AbortRequested = false;
  int done = 0;
  for (int i = 1; i <= Pelmor->Iterations; ++i) {
    ProcessMessages(true);
    if (Pelmor->AbortRequested) break;
    if (i == 10) Progress->InterruptButton->click();  // the user presses the button
    ++done;
    Progress->StepIteration();
  }
  EXPECT_EQ(done, 10);
  EXPECT_EQ(Progress->ProgressBar1->value(), 10);
  EXPECT_FALSE(Progress->isVisible());
}

TEST_F(ProgressTest, MainWindowClosesProgressLeftOpenByBatch) {
  ShowProgress(QStringLiteral("m"));
  Pelmor->FormShow();
  EXPECT_FALSE(Progress->isVisible());
  EXPECT_EQ(Beeps, 3);
  EXPECT_FALSE(Pelmor->AbortRequested);
  // Nothing happens when it is already closed.
  Pelmor->FormShow();
  EXPECT_EQ(Beeps, 3);
}
