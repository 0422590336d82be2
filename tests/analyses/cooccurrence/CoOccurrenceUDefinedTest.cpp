#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "analyses/cooccurrence/CoOccurrenceUDefined.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"
#include "app/Startup.h"
#include "tests/shell/GuiFixture.h"

namespace {
class WeightsDialogTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    D = CoOccurrenceUserDefined;
    ASSERT_NE(D, nullptr);
    // A three-species, two-site matrix.
    Pelmor->New1Click();
    Pelmor->MainGrid->SetSize(3, 4);
    Pelmor->FileName = Dir.filePath("three.txt");  // a new file name resets the grids
    D->EditSitesWeights = 0;
    D->show();
    D->hide();
  }
  void TearDown() override {
    Pelmor->UserDefinedAccepted = false;
    DefaultMatrix();
    TGuiFixture::TearDown();
  }
  TCoOccurrenceUserDefined* D = nullptr;
};
}  // namespace

TEST_F(WeightsDialogTest, DefaultGridsComeFromTheMainGrid) {
  EXPECT_EQ(D->SpeciesWeightsGrid->RowCount(), 4);
  EXPECT_EQ(D->SpeciesWeightsGrid->Cells(0, 0), "Species");
  EXPECT_EQ(D->SpeciesWeightsGrid->Cells(1, 0), "Weights");
  EXPECT_EQ(D->SpeciesWeightsGrid->Cells(0, 2), "species2");
  EXPECT_EQ(D->SpeciesWeightsGrid->Cells(1, 3), "1.0");
  EXPECT_EQ(D->SitesWeightsGrid->RowCount(), 3);
  EXPECT_EQ(D->SitesWeightsGrid->Cells(0, 0), "Sites");
  EXPECT_EQ(D->SitesWeightsGrid->Cells(0, 2), "site2");
  EXPECT_EQ(D->windowTitle(), "Edit species weights");
  D->EditSitesWeights = 1;
  D->show();
  EXPECT_EQ(D->windowTitle(), "Edit sites weights");
  EXPECT_TRUE(D->SitesWeightsGrid->isVisible());
  EXPECT_FALSE(D->SpeciesWeightsGrid->isVisible());
  D->hide();
  // The user's weights stay while the data file name is the same.
  D->SitesWeightsGrid->SetCells(1, 1, "2.5");
  D->show();
  D->hide();
  EXPECT_EQ(D->SitesWeightsGrid->Cells(1, 1), "2.5");
}

TEST_F(WeightsDialogTest, WeightsFileRoundTripAndRefusals) {
  D->SpeciesWeightsGrid->SetCells(1, 2, "0.25");
  Script.FileAnswers.push_back(Dir.filePath("weights.txt"));
  D->SaveWeightsFile(*D->SpeciesWeightsGrid);
  ASSERT_FALSE(Script.Log.empty());
  EXPECT_EQ(Script.Log.back().Kind, "save");
  EXPECT_EQ(Script.Log.back().Text, "Select a file name.");
  EXPECT_EQ(Script.Log.back().InitialName, "weights.txt");
  EXPECT_EQ(Script.Log.back().Filter, "Text files(*.txt)|*.txt|All files(*.*)|*.*");
  QFile f(Dir.filePath("weights.txt"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("Species Weights\r\nspecies1 1.0\r\nspecies2 0.25\r\nspecies3 1.0\r\n"));
  f.close();

  // Read back through the open dialog, which offers no file name.
  D->SetDefaults();
  Script.FileAnswers.push_back(Dir.filePath("weights.txt"));
  D->OpenWeightsFile(*D->SpeciesWeightsGrid);
  EXPECT_EQ(Script.Log.back().Kind, "open");
  EXPECT_EQ(Script.Log.back().Text, "Select an ASCII file to open.");
  EXPECT_EQ(Script.Log.back().InitialName, "");
  EXPECT_EQ(Script.Log.back().Filter, "Text files(*.txt)|*.txt|All files(*.*)|*.*");
  EXPECT_EQ(D->SpeciesWeightsGrid->Cells(1, 2), "0.25");
  EXPECT_TRUE(Script.Messages.isEmpty());

  // LF line ends and a last line without one read the same.
  Write("lf.txt", "Species Weights\nspecies1 3\nspecies2 4\nspecies3 5");
  D->OpenWeightsFromPath(*D->SpeciesWeightsGrid, Dir.filePath("lf.txt"));
  EXPECT_EQ(D->SpeciesWeightsGrid->Cells(1, 3), "5");

  // One line too many: refused, and the grid shows the default weights again.
  Write("long.txt", "Species Weights\r\na 2\r\nb 2\r\nc 2\r\nd 2\r\n");
  D->OpenWeightsFromPath(*D->SpeciesWeightsGrid, Dir.filePath("long.txt"));
  EXPECT_EQ(Script.Messages.value(0), "Weights row count must = MainGrid row count.");
  EXPECT_EQ(D->SpeciesWeightsGrid->Cells(1, 1), "1.0");
  Write("sites.txt", "Sites Weights\r\nx 1\r\n");
  D->OpenWeightsFromPath(*D->SitesWeightsGrid, Dir.filePath("sites.txt"));
  EXPECT_EQ(Script.Messages.value(1), "Weights row count must = MainGrid col count.");
  EXPECT_EQ(D->SitesWeightsGrid->RowCount(), 3);

  // A line with more cells than the first never writes past the grid.
  Write("wide.txt", "Species Weights\r\na 2 9 9 9\r\nb 2\r\nc 2\r\n");
  D->OpenWeightsFromPath(*D->SpeciesWeightsGrid, Dir.filePath("wide.txt"));
  EXPECT_EQ(D->SpeciesWeightsGrid->ColCount(), 2);
  EXPECT_EQ(D->SpeciesWeightsGrid->Cells(1, 1), "2");

  D->OpenWeightsFromPath(*D->SpeciesWeightsGrid, Dir.filePath("missing.txt"));
  EXPECT_EQ(Script.Messages.value(2), "Error opening file.");
}

TEST_F(WeightsDialogTest, OkRefusesNegativeOrNonNumericWeights) {
  D->EditSitesWeights = 0;
  Pelmor->UserDefinedAccepted = false;
  D->SpeciesWeightsGrid->SetCells(1, 2, "-3");
  D->OKButtonClick();
  EXPECT_EQ(Script.Messages.value(0), "Weights must be > 0 \r\nerror row: 2");
  EXPECT_FALSE(Pelmor->UserDefinedAccepted);

  D->SpeciesWeightsGrid->SetCells(1, 2, "-0.5");
  D->OKButtonClick();
  EXPECT_EQ(Script.Messages.value(1), "Weights must be > 0 \r\nerror row: 2");

  D->SpeciesWeightsGrid->SetCells(1, 2, "abc");
  D->OKButtonClick();
  EXPECT_EQ(Script.Messages.value(2), "Weights must be > 0 \r\nerror row: 2");

  // Zero and decimal weights pass.
  D->SpeciesWeightsGrid->SetCells(1, 2, "0");
  D->SpeciesWeightsGrid->SetCells(1, 3, "2.75");
  D->OKButtonClick();
  EXPECT_EQ(Script.Messages.size(), 3);
  EXPECT_TRUE(Pelmor->UserDefinedAccepted);
  const std::vector<double> w = TCoOccurrenceUserDefined::WeightValues(*D->SpeciesWeightsGrid);
  EXPECT_EQ(w, (std::vector<double>{1.0, 0.0, 2.75}));
}
