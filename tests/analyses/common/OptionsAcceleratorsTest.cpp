// The buttons above the tabs of every options dialog keep their accelerators: Alt+R
// runs, Alt+C cancels and Alt+D resets, whatever captions the dialog's own groups and
// labels carry, and those captions keep their marks ("&Resource States" beside "&Run").
// The keys go through the toolkit's own shortcut dispatch, where a second control with
// the same letter makes the key ambiguous.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "analyses/common/AnalysisOptions.h"
#include "tests/shell/GuiFixture.h"

namespace {
// The column-choice dialogs close themselves at once on a grid they refuse: the
// dialogs meet the default matrix.
class OptionsAcceleratorsTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    Pelmor->New1Click();
  }
  void TearDown() override {
    Pelmor->New1Click();
    TGuiFixture::TearDown();
  }
};

// Every caption of a dialog that can carry an accelerator.
QStringList Captions(QWidget* D) {
  QStringList out;
  for (QAbstractButton* b : D->findChildren<QAbstractButton*>()) out << b->text();
  for (QGroupBox* g : D->findChildren<QGroupBox*>()) out << g->title();
  for (QLabel* l : D->findChildren<QLabel*>()) out << l->text();
  return out;
}
}  // namespace

TEST_F(OptionsAcceleratorsTest, PanelButtonsTakeTheirKeysAndCaptionsKeepTheirMarks) {
  int dialogs = 0, clashes = 0;
  Script.OnModal = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    auto* d = qobject_cast<TAnalysisOpts*>(top);
    if (!d) continue;
    ++dialogs;
    SCOPED_TRACE(d->windowTitle().toStdString());
    const QStringList before = Captions(d);
    const QString iterations = d->IterationsEdit->text(), seed = d->RandomSeedEdit->text();
    for (QPushButton* b : {d->RunButton, d->CancelButton, d->DefaultsButton}) {
      const QKeySequence key = QKeySequence::mnemonic(b->text());
      ASSERT_FALSE(key.isEmpty()) << b->text().toStdString();
      for (const QString& c : before) clashes += c != b->text() && QKeySequence::mnemonic(c) == key;
      d->show();
      d->activateWindow();
      QApplication::processEvents();
      ASSERT_EQ(QApplication::activeWindow(), d);
      // The focus on a control of the dialog's own tabs, as a user leaves it.
      d->IterationsEdit->setFocus();
      d->IterationsEdit->setText(QStringLiteral("7"));
      int clicks = 0;
      const auto seen = QObject::connect(b, &QPushButton::clicked, [&clicks] { ++clicks; });
      Pelmor->OptionsAccepted = b == d->CancelButton;
      QTest::keyClick(d->IterationsEdit, static_cast<Qt::Key>(key[0].key()), Qt::AltModifier);
      // A button's own key presses it as a click seen on screen, a moment later.
      static_cast<void>(QTest::qWaitFor([&clicks] { return clicks > 0; }, 2000));  // counted below
      QObject::disconnect(seen);
      EXPECT_EQ(clicks, 1) << b->text().toStdString();
      if (b == d->RunButton) {
        EXPECT_TRUE(Pelmor->OptionsAccepted && !d->isVisible());
      } else if (b == d->CancelButton) {
        EXPECT_TRUE(!Pelmor->OptionsAccepted && !d->isVisible());
      } else {
        EXPECT_EQ(d->IterationsValue(), d->DefaultIterations.trimmed().toInt());
      }
      d->hide();
    }
    EXPECT_EQ(Captions(d), before);
    d->IterationsEdit->setText(iterations);
    d->RandomSeedEdit->setText(seed);
  }
  EXPECT_GE(dialogs, 8);
  // Niche overlap's "&Resource States", the runs test's "Simulation &Constraints" and
  // "&Data type (continuous variable )" at least.
  EXPECT_GE(clashes, 3);
}
