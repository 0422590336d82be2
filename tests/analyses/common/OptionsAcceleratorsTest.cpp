// The buttons above the tabs of every options dialog keep their accelerators: Alt+R
// runs, Alt+C cancels, Alt+H opens help and Alt+D resets, whatever captions the
// dialog's own groups and labels carry. A second control with the same letter would
// make the toolkit treat the key as ambiguous and press neither.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>

#include "analyses/common/AnalysisOptions.h"
#include "tests/shell/GuiFixture.h"

namespace {
class OptionsAcceleratorsTest : public TGuiFixture {};

// The mnemonic of a caption, empty when it has none.
QKeySequence Mnemonic(const QString& Caption) { return QKeySequence::mnemonic(Caption); }
}  // namespace

TEST_F(OptionsAcceleratorsTest, PanelButtonLettersAreTheirsAlone) {
  int dialogs = 0;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    auto* d = qobject_cast<TAnalysisOpts*>(top);
    if (!d) continue;
    ++dialogs;
    SCOPED_TRACE(d->windowTitle().toStdString());
    Script.OnModal = nullptr;
    d->show();
    QApplication::processEvents();
    const std::vector<QPushButton*> panel = {d->RunButton, d->CancelButton, d->HelpButton, d->DefaultsButton};
    std::vector<std::pair<QString, QKeySequence>> others;
    for (QAbstractButton* b : d->findChildren<QAbstractButton*>())
      if (std::find(panel.begin(), panel.end(), b) == panel.end()) others.emplace_back(b->text(), Mnemonic(b->text()));
    for (QGroupBox* g : d->findChildren<QGroupBox*>()) others.emplace_back(g->title(), Mnemonic(g->title()));
    for (QLabel* l : d->findChildren<QLabel*>())
      if (l->buddy()) others.emplace_back(l->text(), Mnemonic(l->text()));
    for (QPushButton* b : panel) {
      const QKeySequence key = Mnemonic(b->text());
      ASSERT_FALSE(key.isEmpty()) << b->text().toStdString();
      for (const auto& [caption, other] : others)
        EXPECT_NE(other, key) << caption.toStdString() << " takes the letter of " << b->text().toStdString();
    }
    d->hide();
  }
  EXPECT_GE(dialogs, 8);
}
