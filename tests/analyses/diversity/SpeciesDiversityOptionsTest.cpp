// The species-diversity options dialog and the levels dialog: the swap of the control
// sets, the levels dialog opened by "User-defined", the reset, the kept items, and the
// levels dialog's check, cancel and line counting.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "analyses/diversity/AbundancelevelsOptions.h"
#include "analyses/diversity/SpeciesDiversityOptions.h"
#include "shell/PelmorMain.h"
#include "tests/shell/GuiFixture.h"

namespace {
class DiversityOptionsTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    ASSERT_NE(SpeciesDiversityOpts, nullptr);
    ASSERT_NE(AbundanceLevelsOpts, nullptr);
    Script.OnModal = [this](QWidget* w) {
      if (w == AbundanceLevelsOpts) {
        ++LevelsShown;
        if (EditLevels) EditLevels();
        (CancelLevels ? AbundanceLevelsOpts->CancelButton : AbundanceLevelsOpts->OKButton)->click();
      }
    };
  }
  void TearDown() override {
    TSpeciesDiversityOpts& o = *SpeciesDiversityOpts;
    o.SpeciesGroup->SetItemIndex(0);
    o.SampleLevelsGroup->SetItemIndex(0);
    o.ResetDefaults();
    AbundanceLevelsOpts->Memo1->setPlainText(QStringLiteral("10\n20"));
    TGuiFixture::TearDown();
  }
  static bool Shown(QWidget* W) { return !W->isHidden(); }

  int LevelsShown = 0;
  bool CancelLevels = false;
  std::function<void()> EditLevels;
};
}  // namespace

TEST_F(DiversityOptionsTest, SampleUnitSwapsTheControlSets) {
  TSpeciesDiversityOpts& o = *SpeciesDiversityOpts;
  o.ResetDefaults();
  EXPECT_EQ(o.windowTitle(), "Species Diversity Options");
  ASSERT_EQ(o.SpeciesGroup->ItemIndex(), 0);
  EXPECT_TRUE(Shown(o.ColumnBox));
  EXPECT_TRUE(Shown(o.AbundanceLevelsGroup));
  EXPECT_FALSE(Shown(o.SampleLevelsGroup));
  EXPECT_FALSE(Shown(o.DefineButton));
  EXPECT_FALSE(Shown(o.DefineButton2));

  // To "Samples": the sample-levels group in place of the column box.
  o.SpeciesGroup->SetItemIndex(1);
  EXPECT_FALSE(Shown(o.ColumnBox));
  EXPECT_FALSE(Shown(o.AbundanceLevelsGroup));
  EXPECT_TRUE(Shown(o.SampleLevelsGroup));
  EXPECT_FALSE(Shown(o.DefineButton2));
  // "User-defined" opens the levels dialog at once and shows its "&Edit".
  o.SampleLevelsGroup->SetItemIndex(1);
  EXPECT_EQ(LevelsShown, 1);
  EXPECT_TRUE(Shown(o.DefineButton2));
  o.DefineButton2->click();
  EXPECT_EQ(LevelsShown, 2);
  EXPECT_EQ(o.ReadOptions().Unit, TSampleUnit::Samples);
  EXPECT_TRUE(o.ReadOptions().UserLevels);
  // "reset &Defaults" keeps the sample unit and its controls.
  o.ResetDefaults();
  EXPECT_EQ(o.SpeciesGroup->ItemIndex(), 1);
  EXPECT_TRUE(Shown(o.SampleLevelsGroup));
  EXPECT_TRUE(Shown(o.DefineButton2));
  EXPECT_FALSE(Shown(o.ColumnBox));
  EXPECT_FALSE(Shown(o.AbundanceLevelsGroup));

  // Back to "Individuals": the abundance "&Edit" only when its group is on item 1.
  o.SpeciesGroup->SetItemIndex(0);
  EXPECT_TRUE(Shown(o.ColumnBox));
  EXPECT_FALSE(Shown(o.SampleLevelsGroup));
  EXPECT_FALSE(Shown(o.DefineButton2));
  EXPECT_FALSE(Shown(o.DefineButton));
  o.AbundanceLevelsGroup->SetItemIndex(1);
  EXPECT_EQ(LevelsShown, 3);
  EXPECT_TRUE(Shown(o.DefineButton));
  o.SpeciesGroup->SetItemIndex(1);
  EXPECT_FALSE(Shown(o.DefineButton));
  o.SpeciesGroup->SetItemIndex(0);
  EXPECT_TRUE(Shown(o.DefineButton));
  // Choosing "Default" again hides it.
  o.AbundanceLevelsGroup->SetItemIndex(0);
  EXPECT_FALSE(Shown(o.DefineButton));
  EXPECT_EQ(LevelsShown, 3);
}

TEST_F(DiversityOptionsTest, ResetAndTheItemsKeptBetweenShowings) {
  TSpeciesDiversityOpts& o = *SpeciesDiversityOpts;
  Pelmor->New1Click();  // columns "site1".."site5"
  o.RandomSeedEdit->setText(QStringLiteral("77"));
  o.IterationsEdit->setText(QStringLiteral("250"));
  o.SaveMatrixCheckBox->setChecked(true);
  o.RandomizationGroup->SetItemIndex(0);
  o.show();
  EXPECT_EQ(o.ColumnList->count(), 5);
  EXPECT_EQ(o.ColumnList->itemText(4), "site5");
  o.ColumnList->setCurrentIndex(3);
  o.IndexList->setCurrentIndex(2);
  o.hide();
  // The main grid changes between showings; the kept items come back.
  Pelmor->MainGrid->SetCells(4, 0, QStringLiteral("plot4"));
  o.show();
  EXPECT_EQ(o.ColumnList->currentIndex(), 3);
  EXPECT_EQ(o.ColumnList->currentText(), "plot4");
  EXPECT_EQ(o.IndexList->currentIndex(), 2);
  EXPECT_EQ(o.FileEdit->text(), Pelmor->FileName);
  const TDiversityOptions read = o.ReadOptions();
  EXPECT_EQ(read.Algorithm, TCurveAlgorithm::Accumulation);
  EXPECT_EQ(read.Index, 2);
  EXPECT_EQ(read.Iterations, 250);
  o.ResetDefaults();
  o.hide();
  EXPECT_EQ(o.RandomSeedEdit->text(), "0");
  EXPECT_EQ(o.IterationsEdit->text().trimmed(), "1000");
  EXPECT_EQ(o.IterationsValue(), 1000);
  EXPECT_FALSE(o.SaveMatrixCheckBox->isChecked());
  EXPECT_EQ(o.RandomizationGroup->ItemIndex(), 1);
  EXPECT_EQ(o.IndexList->currentIndex(), 0);
  EXPECT_EQ(o.IndexList->currentText(), "Species Richness");
  EXPECT_EQ(o.ColumnList->currentIndex(), 0);
  EXPECT_EQ(o.AbundanceLevelsGroup->ItemIndex(), 0);
}

TEST_F(DiversityOptionsTest, LevelsDialogChecksCancelsAndCountsLines) {
  TAbundanceLevelsOpts& d = *AbundanceLevelsOpts;
  EXPECT_EQ(d.windowTitle(), "Abundance Levels");
  // Levels 5, -3, -4: one message naming line 2; the text stays as typed.
  EditLevels = [&] { d.Memo1->setPlainText(QStringLiteral("5\n-3\n-4")); };
  ShowModal(&d);
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Abundance levels must be > 0 \r\nerror line: 2")});
  EXPECT_EQ(d.Memo1->toPlainText(), "5\n-3\n-4");
  EXPECT_FALSE(d.isVisible());
  // 0, empty and words pass the check (a run reads them as 1).
  Script.Messages.clear();
  EditLevels = [&] { d.Memo1->setPlainText(QStringLiteral("0\n\nabc\n7")); };
  ShowModal(&d);
  EXPECT_TRUE(Script.Messages.isEmpty());
  // "&Cancel" puts back the text the memo had when the dialog was shown.
  CancelLevels = true;
  EditLevels = [&] { d.Memo1->setPlainText(QStringLiteral("99")); };
  ShowModal(&d);
  EXPECT_EQ(d.Memo1->toPlainText(), "0\n\nabc\n7");
  // A line end at the very end adds no line; an empty memo has none.
  d.Memo1->setPlainText(QStringLiteral("10\n20\n"));
  EXPECT_EQ(d.Lines(), (std::vector<std::string>{"10", "20"}));
  d.Memo1->setPlainText(QStringLiteral("10\n\n"));
  EXPECT_EQ(d.Lines(), (std::vector<std::string>{"10", ""}));
  d.Memo1->clear();
  EXPECT_TRUE(d.Lines().empty());
}
