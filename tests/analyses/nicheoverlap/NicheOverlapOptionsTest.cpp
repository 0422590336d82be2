// The niche overlap options dialog and its resource-state weights dialog: controls and
// their start and reset values, the weights dialog opened only by the user's choice,
// the weights grid's defaults and checks, and the weights file read and written.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "analyses/nicheoverlap/NicheOverlapOptions.h"
#include "analyses/nicheoverlap/NicheOverlapUDefined.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"
#include "tests/shell/GuiFixture.h"

namespace {
class NicheOverlapDialogsTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    O = NicheOverlapOpts;
    W = NicheOverlapUserDefined;
    ASSERT_NE(O, nullptr);
    ASSERT_NE(W, nullptr);
    Pelmor->New1Click();
    Pelmor->MainGrid->SetSize(4, 3);  // three resource states
    Pelmor->FileName = Dir.filePath(QStringLiteral("three.txt"));
    Script.OnModal = [this](QWidget* w) {
      if (w == W) {
        ++WeightsShown;
        if (InWeights) InWeights();
        if (W->isVisible()) W->OKButton->click();
      }
    };
  }
  void TearDown() override {
    O->ResetDefaults();
    O->DefineButtonCols->hide();
    DefaultMatrix();
    TGuiFixture::TearDown();
  }
  // Shows the weights dialog once, so that its grid fits the main grid.
  void ShowWeights() {
    W->show();
    W->hide();
  }
  TNicheOverlapOpts* O = nullptr;
  TNicheOverlapUserDefined* W = nullptr;
  int WeightsShown = 0;
  std::function<void()> InWeights;
};
}  // namespace

TEST_F(NicheOverlapDialogsTest, ControlsCaptionsAndDefaults) {
  EXPECT_EQ(O->windowTitle(), "Pelmor -- Niche Overlap Options");
  EXPECT_EQ(O->PageControl1->tabText(0), "Preferences");
  EXPECT_EQ(O->PageControl1->tabText(1), "General");
  EXPECT_EQ(O->IndexGroup->title(), "Niche overlap &Index");
  EXPECT_EQ(O->ResourceStatesGroup->title(), "&Resource States");
  EXPECT_EQ(O->NicheBreadthGroup->title(), "&Niche Breadth");
  EXPECT_EQ(O->ZeroStatesGroup->title(), "&Zero States");
  EXPECT_EQ(O->IndexGroup->Button(1)->text(), "Czekanowski");
  EXPECT_EQ(O->ResourceStatesGroup->Button(1)->text(), "User-defined");
  EXPECT_EQ(O->NicheBreadthGroup->Button(1)->text(), "Relaxed");
  EXPECT_EQ(O->ZeroStatesGroup->Button(0)->text(), "Reshuffled");
  EXPECT_EQ(O->DefineButtonCols->text(), "&Edit");
  EXPECT_EQ(O->IterationsEdit->toolTip(), "Iterations must be >0 and < 30,000");
  // This dialog alone spells the iteration label with a capital I.
  EXPECT_EQ(O->IterationsLabel->text(), "Number of Iterations:");

  // Everything changed, then "reset &Defaults".
  O->IndexGroup->SetItemIndex(1);
  O->NicheBreadthGroup->SetItemIndex(1);
  O->ZeroStatesGroup->SetItemIndex(1);
  O->RandomSeedEdit->setText(QStringLiteral("17"));
  O->IterationsEdit->setText(QStringLiteral("250"));
  O->SaveMatrixCheckBox->setChecked(true);
  const TNicheOverlapOptions changed = O->ReadOptions();
  EXPECT_EQ(changed.Index, TNicheIndex::Czekanowski);
  EXPECT_TRUE(changed.BreadthRelaxed);
  EXPECT_TRUE(changed.ZeroStatesRetained);
  O->DefaultsButton->click();
  for (TRadioGroup* g : {O->IndexGroup, O->ResourceStatesGroup, O->NicheBreadthGroup, O->ZeroStatesGroup})
    EXPECT_EQ(g->ItemIndex(), 0);
  EXPECT_EQ(O->RandomSeedEdit->text(), "0");
  EXPECT_EQ(O->IterationsEdit->displayText(), "1000 ");
  EXPECT_FALSE(O->SaveMatrixCheckBox->isChecked());
  EXPECT_EQ(O->IterationsValue(), 1000);

  // The reset leaves "&Edit" as it was, also when it moves the resource states back to
  // "Equiprobable".
  O->show();
  O->ResourceStatesGroup->Button(1)->click();
  ASSERT_TRUE(O->DefineButtonCols->isVisible());
  O->DefaultsButton->click();
  EXPECT_EQ(O->ResourceStatesGroup->ItemIndex(), 0);
  EXPECT_TRUE(O->DefineButtonCols->isVisible());
  O->hide();
}

TEST_F(NicheOverlapDialogsTest, WeightsDialogOpensOnTheUsersChoiceOnly) {
  O->show();
  // Choosing the item in code opens nothing.
  O->ResourceStatesGroup->SetItemIndex(1);
  EXPECT_EQ(WeightsShown, 0);
  O->ResourceStatesGroup->SetItemIndex(0);
  EXPECT_FALSE(O->DefineButtonCols->isVisible());
  // The user's click opens it at once, then "&Edit" is offered.
  InWeights = [this] { W->SitesWeightsGrid->SetCells(1, 2, QStringLiteral("0.25")); };
  O->ResourceStatesGroup->Button(1)->click();
  EXPECT_EQ(WeightsShown, 1);
  EXPECT_TRUE(O->DefineButtonCols->isVisible());
  EXPECT_EQ(W->windowTitle(), "Edit sites weights");
  InWeights = {};
  O->DefineButtonCols->click();
  EXPECT_EQ(WeightsShown, 2);
  // "Equiprobable" hides "&Edit" and keeps the weights.
  O->ResourceStatesGroup->Button(0)->click();
  EXPECT_FALSE(O->DefineButtonCols->isVisible());
  EXPECT_EQ(W->SitesWeightsGrid->Cells(1, 2), "0.25");
  EXPECT_FALSE(O->ReadOptions().UserDefinedStates);
  O->hide();
}

TEST_F(NicheOverlapDialogsTest, WeightsGridDefaultsAndTheOkCheck) {
  ShowWeights();
  const TStringGrid& g = *W->SitesWeightsGrid;
  ASSERT_EQ(g.RowCount(), 4);
  ASSERT_EQ(g.ColCount(), 2);
  EXPECT_EQ(g.Cells(0, 0), "Sites");
  EXPECT_EQ(g.Cells(1, 0), "Weights");
  EXPECT_EQ(g.Cells(0, 3), Pelmor->MainGrid->Cells(3, 0));
  EXPECT_EQ(g.Cells(1, 3), "1.0");
  EXPECT_EQ(W->windowTitle(), "Edit sites weights");
  W->ResetDefaultsButton->click();
  EXPECT_EQ(W->windowTitle(), "Edit site weights");

  // A negative weight and a text that is no number are refused by their row; 0 and a
  // fraction pass.
  auto ok = [this](const char* Weight) {
    W->SitesWeightsGrid->SetCells(1, 2, QString::fromLatin1(Weight));
    Script.Messages.clear();
    W->show();
    W->OKButton->click();
    const bool closed = !W->isVisible();
    W->hide();
    return closed;
  };
  EXPECT_FALSE(ok("-0.5"));
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Weights must be > 0 \r\nerror row: 2")});
  EXPECT_FALSE(ok("heavy"));
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Weights must be > 0 \r\nerror row: 2")});
  EXPECT_FALSE(ok("inf"));
  EXPECT_TRUE(ok("0"));
  EXPECT_TRUE(Script.Messages.isEmpty());
  EXPECT_TRUE(ok("0.5"));

  // The user's weights stay from one showing to the next; a new data file brings the
  // defaults back.
  ShowWeights();
  EXPECT_EQ(W->SitesWeightsGrid->Cells(1, 2), "0.5");
  Pelmor->FileName = Dir.filePath(QStringLiteral("other.txt"));
  ShowWeights();
  EXPECT_EQ(W->SitesWeightsGrid->Cells(1, 2), "1.0");
}

TEST_F(NicheOverlapDialogsTest, WeightsFileRoundTripAndEdgeCases) {
  ShowWeights();
  // A blank inside a cell is written as "_", so that the file keeps its shape.
  Pelmor->MainGrid->SetCells(2, 0, QStringLiteral("dry season"));
  W->ResetDefaultsButton->click();
  W->SitesWeightsGrid->SetCells(1, 1, QStringLiteral("2.5"));
  Script.FileAnswers.push_back(Dir.filePath(QStringLiteral("weights.txt")));
  W->Save1->trigger();
  const QByteArray saved = Read(QStringLiteral("weights.txt"));
  EXPECT_EQ(saved, QByteArray("Sites Weights \r\nsite1 2.5 \r\ndry_season 1.0 \r\nsite3 1.0 \r\n"));
  // Read back unchanged, two columns.
  W->ResetDefaultsButton->click();
  Script.FileAnswers.push_back(Dir.filePath(QStringLiteral("weights.txt")));
  W->Open1->trigger();
  EXPECT_EQ(W->SitesWeightsGrid->ColCount(), 2);
  EXPECT_EQ(W->SitesWeightsGrid->RowCount(), 4);
  EXPECT_EQ(W->SitesWeightsGrid->Cells(1, 1), "2.5");
  EXPECT_EQ(W->SitesWeightsGrid->Cells(0, 2), "dry_season");
  EXPECT_EQ(W->SitesWeightsGrid->Cells(0, 0), "Sites");
  // After opening a file the header row and the state titles are fixed.
  EXPECT_EQ(W->SitesWeightsGrid->FixedRows(), 1);
  EXPECT_EQ(W->SitesWeightsGrid->FixedCols(), 1);

  // LF, CR and a last line without a line end are read; cells beyond the first line's
  // count are ignored.
  Write(QStringLiteral("lf.txt"), "Sites Weights \nsite1 3 extra more \rsite2 4 \r\nsite3 0.5");
  W->OpenWeightsFromPath(Dir.filePath(QStringLiteral("lf.txt")));
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  ASSERT_EQ(W->SitesWeightsGrid->ColCount(), 2);
  EXPECT_EQ(W->SitesWeightsGrid->Cells(1, 1), "3");
  EXPECT_EQ(W->SitesWeightsGrid->Cells(1, 2), "4");
  EXPECT_EQ(W->SitesWeightsGrid->Cells(1, 3), "0.5");

  // One line more or less than the main grid's columns: refused, defaults back, two
  // columns kept.
  for (const char* bad : {"Sites Weights \r\nsite1 2 \r\nsite2 2 \r\n",
                          "Sites Weights Extra \r\na 2 x \r\nb 2 x \r\nc 2 x \r\nd 2 x \r\n"}) {
    Write(QStringLiteral("bad.txt"), bad);
    Script.Messages.clear();
    W->OpenWeightsFromPath(Dir.filePath(QStringLiteral("bad.txt")));
    EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Weights row count must = MainGrid col count.")});
    EXPECT_EQ(W->SitesWeightsGrid->RowCount(), 4);
    EXPECT_EQ(W->SitesWeightsGrid->ColCount(), 2);
    EXPECT_EQ(W->SitesWeightsGrid->Cells(1, 1), "1.0");
    EXPECT_EQ(W->windowTitle(), "Edit site weights");
    EXPECT_EQ(W->SitesWeightsGrid->FixedRows(), 1);
    EXPECT_EQ(W->SitesWeightsGrid->FixedCols(), 1);
  }
  // A missing file, and a cancelled dialog.
  Script.Messages.clear();
  W->OpenWeightsFromPath(Dir.filePath(QStringLiteral("none.txt")));
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Error opening file.")});
  Script.Messages.clear();
  Script.FileAnswers.push_back(QString());
  W->Open1->trigger();
  EXPECT_TRUE(Script.Messages.isEmpty());
}
