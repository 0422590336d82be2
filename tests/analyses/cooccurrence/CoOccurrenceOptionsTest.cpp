#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "analyses/cooccurrence/CoOccurrenceOptions.h"
#include "analyses/cooccurrence/CoOccurrenceUDefined.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"
#include "app/Startup.h"
#include "tests/shell/GuiFixture.h"

namespace {
class CoOccurrenceOptsTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    O = CoOccurrenceOpts;
    ASSERT_NE(O, nullptr);
    // Weights dialog shown modally: record which grid it showed and press OK.
    Script.OnModal = [this](QWidget* W) {
      if (W == CoOccurrenceUserDefined) {
        ShownWeights.push_back(CoOccurrenceUserDefined->EditSitesWeights);
        CoOccurrenceUserDefined->OKButtonClick();
      }
    };
    O->ResetDefaults();
  }
  void TearDown() override {
    O->ResetDefaults();
    DefaultMatrix();
    TGuiFixture::TearDown();
  }
  void ClickIndex(int I) { O->IndexList->setCurrentRow(I); }
  TCoOccurrenceOpts* O = nullptr;
  std::vector<int> ShownWeights;
};
}  // namespace

TEST_F(CoOccurrenceOptsTest, CaptionsItemsAndDefaults) {
  EXPECT_EQ(O->windowTitle(), "Pelmor -- Co-occurrence Options");
  ASSERT_EQ(O->IndexList->count(), 4);
  EXPECT_EQ(O->IndexList->item(1)->text(), "Number of checkerboards ");
  EXPECT_EQ(O->RowGroup->title(), "Ro&w Constraints");
  EXPECT_EQ(O->ColumnGroup->title(), "Co&Lumn Constraints");
  EXPECT_EQ(O->DegenerateGroup->title(), "Degenerate &Matrices");
  EXPECT_EQ(O->PatternGroup->title(), "&Empty Sites");
  EXPECT_EQ(O->FixedFixedGroup->Button(2)->text(), "Random Knight's Tour");
  EXPECT_EQ(O->IterationsValue(), 5000);
  EXPECT_EQ(O->RandomSeedEdit->text(), "0");

  // After reset: index C-score, fixed sums, Retain, Include (hidden), Sequential Swap.
  const TCoOccurrenceOptions o = O->ReadOptions();
  EXPECT_EQ(o.Index, TCoOccurrenceIndex::CScore);
  EXPECT_EQ(o.RowConstraint, TSumConstraint::FixedSum);
  EXPECT_EQ(o.ColumnConstraint, TSumConstraint::FixedSum);
  EXPECT_EQ(o.Degenerate, TDegeneratePolicy::Retain);
  EXPECT_EQ(o.EmptySites, TEmptySites::Include);
  EXPECT_EQ(o.FixedFixed, TFixedFixedAlgorithm::SequentialSwap);
  EXPECT_EQ(o.Iterations, 5000);
  EXPECT_EQ(o.RandomSeed, 0);
  EXPECT_TRUE(O->PatternGroup->isHidden());
  EXPECT_TRUE(O->DefineButtonRows->isHidden());
  EXPECT_TRUE(O->DefineButtonCols->isHidden());
}

TEST_F(CoOccurrenceOptsTest, EmptySitesFollowsIndexDegeneratePolicyAndAlgorithm) {
  // Combinations with Retain shows it; C-score hides it and sets Include.
  ClickIndex(2);
  EXPECT_FALSE(O->PatternGroup->isHidden());
  O->PatternGroup->Button(1)->click();
  EXPECT_EQ(O->PatternGroup->ItemIndex(), 1);
  ClickIndex(0);
  EXPECT_TRUE(O->PatternGroup->isHidden());
  EXPECT_EQ(O->PatternGroup->ItemIndex(), 0);

  // With V-ratio: Discard and Fix hide it, Split shows it again.
  ClickIndex(3);
  O->DegenerateGroup->Button(1)->click();
  EXPECT_TRUE(O->PatternGroup->isHidden());
  O->DegenerateGroup->Button(2)->click();
  EXPECT_FALSE(O->PatternGroup->isHidden());
  O->DegenerateGroup->Button(3)->click();
  EXPECT_TRUE(O->PatternGroup->isHidden());

  // The knight's tour sets Exclude without showing the group.
  ClickIndex(0);
  O->FixedFixedGroup->Button(2)->click();
  EXPECT_EQ(O->PatternGroup->ItemIndex(), 1);
  EXPECT_TRUE(O->PatternGroup->isHidden());
  O->FixedFixedGroup->Button(0)->click();
  EXPECT_EQ(O->PatternGroup->ItemIndex(), 1);  // the swaps leave it alone
}

TEST_F(CoOccurrenceOptsTest, UserDefinedConstraintsOpenTheWeightsDialog) {
  ClickIndex(2);
  ASSERT_FALSE(O->PatternGroup->isHidden());
  O->ColumnGroup->Button(3)->click();
  EXPECT_EQ(ShownWeights, std::vector<int>{1});  // the sites grid, at once
  EXPECT_TRUE(O->PatternGroup->isHidden());
  EXPECT_EQ(O->PatternGroup->ItemIndex(), 0);
  EXPECT_FALSE(O->DefineButtonCols->isHidden());
  // While columns are user-defined, Retain does not bring "&Empty Sites" back.
  O->DegenerateGroup->Button(2)->click();
  O->DegenerateGroup->Button(0)->click();
  EXPECT_TRUE(O->PatternGroup->isHidden());
  // Another column item hides the button again (and the degenerate rule shows the group).
  O->ColumnGroup->Button(1)->click();
  EXPECT_TRUE(O->DefineButtonCols->isHidden());
  EXPECT_FALSE(O->PatternGroup->isHidden());

  O->RowGroup->Button(3)->click();
  EXPECT_EQ(ShownWeights, (std::vector<int>{1, 0}));
  EXPECT_FALSE(O->DefineButtonRows->isHidden());
  O->DefineButtonRows->click();
  O->DefineButtonCols->click();  // hidden, but clicking it in code still opens the sites grid
  EXPECT_EQ(ShownWeights, (std::vector<int>{1, 0, 0, 1}));
  O->RowGroup->Button(0)->click();
  EXPECT_TRUE(O->DefineButtonRows->isHidden());
}

TEST_F(CoOccurrenceOptsTest, ResetRestoresDefaultsAndShowsEmptySitesWhenItChangesThePolicy) {
  ClickIndex(3);
  O->DegenerateGroup->Button(1)->click();  // Discard hides "&Empty Sites"
  O->RandomSeedEdit->setText("42");
  O->IterationsEdit->setText("10");
  O->SaveMatrixCheckBox->setChecked(true);
  O->FixedFixedGroup->Button(1)->click();
  O->ResetDefaults();
  // The policy went back to Retain while the index was still V-ratio: shown again.
  EXPECT_FALSE(O->PatternGroup->isHidden());
  EXPECT_EQ(O->PatternGroup->ItemIndex(), 0);
  EXPECT_EQ(O->IndexItem(), 0);
  EXPECT_EQ(O->RandomSeedEdit->text(), "0");
  EXPECT_EQ(O->IterationsValue(), 5000);
  EXPECT_FALSE(O->SaveMatrixCheckBox->isChecked());
  EXPECT_EQ(O->FixedFixedGroup->ItemIndex(), 0);
  EXPECT_EQ(O->FileEdit->text(), Pelmor->FileName);
}

TEST_F(CoOccurrenceOptsTest, RunAndCancelSetOptionsAcceptedAndTheIndexIsKept) {
  Script.OnModal = [](QWidget* W) {
    if (W != CoOccurrenceOpts) return;
    CoOccurrenceOpts->IndexList->setCurrentRow(2);
    CoOccurrenceOpts->RunButton->click();
  };
  Pelmor->OptionsAccepted = false;
  ShowModal(O);
  EXPECT_TRUE(Pelmor->OptionsAccepted);
  EXPECT_EQ(O->IndexItem(), 2);
  int shownWith = -1;
  Script.OnModal = [&shownWith](QWidget* W) {
    if (W != CoOccurrenceOpts) return;
    shownWith = CoOccurrenceOpts->IndexItem();
    CoOccurrenceOpts->CancelButton->click();
  };
  ShowModal(O);
  EXPECT_FALSE(Pelmor->OptionsAccepted);
  EXPECT_EQ(shownWith, 2);  // the index chosen at the last showing
  Script.OnModal = [](QWidget* W) {
    if (W != CoOccurrenceOpts) return;
    CoOccurrenceOpts->IndexList->setCurrentRow(0);
    CoOccurrenceOpts->CancelButton->click();
  };
  ShowModal(O);
}

TEST_F(CoOccurrenceOptsTest, OptionsValueCarriesTheWeightsByGridRow) {
  Pelmor->New1Click();
  // A data file name the weights dialog has not seen: its grids are set up afresh.
  Pelmor->FileName = QStringLiteral("weights-by-row.txt");
  CoOccurrenceUserDefined->EditSitesWeights = 0;
  CoOccurrenceUserDefined->show();  // sets the grids up for this data file
  CoOccurrenceUserDefined->hide();
  CoOccurrenceUserDefined->SpeciesWeightsGrid->SetCells(1, 2, "3");
  CoOccurrenceUserDefined->SitesWeightsGrid->SetCells(1, 5, "0.5");
  O->RandomSeedEdit->setText("  17x");
  const TCoOccurrenceOptions o = O->ReadOptions();
  ASSERT_EQ(o.SpeciesWeightValues.size(), 6u);
  EXPECT_EQ(o.SpeciesWeightValues[2], 3.0);
  EXPECT_EQ(o.SpeciesWeightValues[1], 1.0);
  ASSERT_EQ(o.SiteWeightValues.size(), 6u);
  EXPECT_EQ(o.SiteWeightValues[5], 0.5);
  EXPECT_EQ(o.RandomSeed, 17);
}
