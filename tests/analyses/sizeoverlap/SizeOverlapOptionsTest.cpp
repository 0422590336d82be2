// The size overlap options dialog and its six dialogs: start values and reset, the
// enabling rules and the parameter dialog each choice opens, the set-up and checks of
// the parameter dialogs, the histogram editor with its file, and the pool size dialog.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <map>

#include "analyses/sizeoverlap/SizeOverlapOptions.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined1.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined2.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined3.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined4.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined5.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined6.h"
#include "platform/RadioGroup.h"
#include "platform/StringGrid.h"
#include "tests/shell/GuiFixture.h"

QT_BEGIN_NAMESPACE
static void PrintTo(const QString& S, std::ostream* Os) { *Os << '"' << S.toStdString() << '"'; }
static void PrintTo(const QStringList& L, std::ostream* Os) {
  *Os << '"' << L.join(QLatin1Char('|')).toStdString() << '"';
}
QT_END_NAMESPACE

namespace {
class SizeOverlapDialogTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    Script.OnModal = [this](QWidget* w) {
      Shown << (w ? w->objectName() : QString());
      if (auto it = OnWindow.find(w); it != OnWindow.end()) it->second();
    };
    SetGrid({"sp mass wing", "A 1 3", "B 10 0", "C 100 5", "D 0 7"});
    Reset();
    // Each test starts as at the dialogs' first showing.
    for (TSizeParameterDialog* d : std::initializer_list<TSizeParameterDialog*>{SizeOverLapUD1, SizeOverLapUD2,
                                                                                SizeOverLapUD5, SizeOverLapUD6})
      d->FirstShow = true;
    SizeOverLapUD3->FirstShow = true;
  }
  void TearDown() override {
    Reset();
    DefaultMatrix();
    TGuiFixture::TearDown();
  }
  static void Reset() {
    SizeOverlapOpts->ResetDefaults();
    SizeOverlapOpts->BodySizeDistributionGroupClick();
    SizeOverlapOpts->SavedColumnIndex = 0;
  }
  void SetGrid(const QStringList& Rows, const QString& Name = QStringLiteral("sizes.txt")) {
    TCellTable t;
    for (const QString& r : Rows) {
      std::vector<QString> row;
      for (const QString& c : r.split(QLatin1Char(' '))) row.push_back(c);
      t.push_back(row);
    }
    const int cols = static_cast<int>(t[0].size());
    Pelmor->MainGrid->SetTable(std::move(t), cols);
    Pelmor->FileName = Dir.filePath(Name);
    SizeOverlapOpts->ColumnTitlesToList();
  }
  static QStringList Column(const TStringGrid& G, int C) {
    QStringList out;
    for (int r = 0; r < G.RowCount(); ++r) out << G.Cells(C, r);
    return out;
  }
  QStringList Shown;
  std::map<QWidget*, std::function<void()>> OnWindow;
};

TEST(SizeOverlapOptionsStart, StartValuesAndReset) {
  CreateWindows();
  // A window of its own, to see the start values: the program's window is shared.
  TSizeOverlapOpts* shared = SizeOverlapOpts;
  {
    TSizeOverlapOpts o;
    EXPECT_EQ(o.windowTitle(), QStringLiteral("Pelmor -- Size Overlap Options"));
    EXPECT_EQ(o.MetricGroup->ItemIndex(), 1);
    EXPECT_EQ(o.TransformationGroup->ItemIndex(), 1);
    EXPECT_EQ(o.RoundingGroup->ItemIndex(), 0);
    EXPECT_FALSE(o.RoundingGroup->isHidden());
    EXPECT_EQ(o.BodySizeDistributionGroup->ItemIndex(), 0);
    EXPECT_EQ(o.BodySizeDistributionGroupMain->ItemIndex(), 3);  // "Log normal"
    EXPECT_EQ(o.BodySizeDistributionGroupC->ItemIndex(), 0);
    EXPECT_FALSE(o.EditUserDefinedButton->isEnabled());
    EXPECT_FALSE(o.UserHistogramGroup->isEnabled());
    EXPECT_TRUE(o.EditButton->isHidden());
    EXPECT_EQ(o.IterationsValue(), 1000);
    EXPECT_EQ(o.ReadOptions().Kind, TPoolKind::LogNormal);

    o.MetricGroup->SetItemIndex(0);
    o.TransformationGroup->SetItemIndex(0);
    o.RoundingGroup->SetItemIndex(1);
    o.IterationsEdit->setText(QStringLiteral("55"));
    o.RandomSeedEdit->setText(QStringLiteral("8"));
    o.ResetDefaults();
    EXPECT_EQ(o.BodySizeDistributionGroupMain->ItemIndex(), 0);  // "Uniform", not the start's "Log normal"
    EXPECT_EQ(o.MetricGroup->ItemIndex(), 1);
    EXPECT_EQ(o.TransformationGroup->ItemIndex(), 1);
    EXPECT_EQ(o.RoundingGroup->ItemIndex(), 0);
    EXPECT_EQ(o.IterationsValue(), 1000);
    EXPECT_EQ(o.RandomSeedEdit->text(), QStringLiteral("0"));
    // The reset changes no enabling.
    EXPECT_FALSE(o.EditUserDefinedButton->isEnabled());
    EXPECT_FALSE(o.UserHistogramGroup->isEnabled());
  }
  SizeOverlapOpts = shared;
}

TEST_F(SizeOverlapDialogTest, ChoicesOpenTheirDialogsAndSetTheControls) {
  TSizeOverlapOpts& o = *SizeOverlapOpts;
  o.BodySizeDistributionGroupMain->SetItemIndex(1);  // "Normal", data defined
  EXPECT_TRUE(Shown.isEmpty());
  EXPECT_FALSE(o.RoundingGroup->isHidden());
  EXPECT_FALSE(o.EditUserDefinedButton->isEnabled());
  o.BodySizeDistributionGroupC->SetItemIndex(1);
  EXPECT_EQ(Shown, QStringList{"SizeOverLapUD2"});
  EXPECT_TRUE(o.EditUserDefinedButton->isEnabled());
  o.BodySizeDistributionGroupMain->SetItemIndex(3);
  EXPECT_TRUE(o.RoundingGroup->isHidden());
  o.BodySizeDistributionGroupMain->SetItemIndex(2);
  o.BodySizeDistributionGroupMain->SetItemIndex(0);
  EXPECT_FALSE(o.RoundingGroup->isHidden());
  EXPECT_EQ(Shown, (QStringList{"SizeOverLapUD2", "SizeOverLapUD6", "SizeOverLapUD5", "SizeOverLapUD1"}));
  o.EditUserDefinedButton->click();
  EXPECT_EQ(Shown.last(), QStringLiteral("SizeOverLapUD1"));

  o.BodySizeDistributionGroup->SetItemIndex(1);
  EXPECT_EQ(Shown.last(), QStringLiteral("SizeOverLapUD3"));
  EXPECT_FALSE(o.BodySizeDistributionGroupMain->isEnabled());
  EXPECT_FALSE(o.BodySizeDistributionGroupC->isEnabled());
  EXPECT_TRUE(o.UserHistogramGroup->isEnabled());
  EXPECT_TRUE(o.EditUserDefinedButton->isEnabled());
  o.EditUserDefinedButton->click();
  EXPECT_EQ(Shown.last(), QStringLiteral("SizeOverLapUD3"));
  o.BodySizeDistributionGroupC->SetItemIndex(0);
  o.BodySizeDistributionGroup->SetItemIndex(0);
  EXPECT_TRUE(o.BodySizeDistributionGroupMain->isEnabled());
  EXPECT_FALSE(o.EditUserDefinedButton->isEnabled());
  EXPECT_FALSE(o.UserHistogramGroup->isEnabled());

  // A column without a positive value: the message and nothing else.
  SetGrid({"sp mass", "A 0", "B -1", "C 0"});
  const int before = static_cast<int>(Shown.size());
  Script.Messages.clear();
  o.BodySizeDistributionGroupC->SetItemIndex(1);
  EXPECT_EQ(Script.Messages, QStringList{"Non-Zero Rows Must be > 0"});
  EXPECT_EQ(Shown.size(), before);
  EXPECT_FALSE(o.EditUserDefinedButton->isEnabled());
}

TEST_F(SizeOverlapDialogTest, OptionsRememberTheColumnBetweenShowings) {
  TSizeOverlapOpts& o = *SizeOverlapOpts;
  o.show();
  EXPECT_EQ(o.ColumnList->count(), 2);
  o.ColumnList->setCurrentRow(1);
  o.hide();
  o.show();
  EXPECT_EQ(o.AnalysedColumn(), 2);
  EXPECT_EQ(o.ColumnTitle(), QStringLiteral("wing"));
  EXPECT_EQ(o.FileEdit->text(), Pelmor->FileName);
  o.hide();
  EXPECT_EQ(o.SavedColumnIndex, 1);
}

TEST_F(SizeOverlapDialogTest, ParameterDialogsAreSetUpFromTheColumn) {
  // Positive masses 1 10 100 (D's 0 left out).
  SizeOverLapUD1->show();
  EXPECT_EQ(SizeOverLapUD1->MinimumEdit->text(), QStringLiteral("1.00000"));
  EXPECT_EQ(SizeOverLapUD1->MaximumEdit->text(), QStringLiteral("100.00000"));
  SizeOverLapUD1->hide();
  // Mean 37, variance (36^2 + 27^2 + 63^2) / 2 = 2997, SD 54.74486.
  SizeOverLapUD2->show();
  EXPECT_EQ(SizeOverLapUD2->MeanEdit->text(), QStringLiteral("37.00000"));
  EXPECT_EQ(SizeOverLapUD2->SDEdit->text(), QStringLiteral("54.74486"));
  SizeOverLapUD2->hide();
  // The log pools read log10 sizes 0 1 2, whatever the transformation.
  for (int transformation : {1, 0}) {
    SizeOverlapOpts->TransformationGroup->SetItemIndex(transformation);
    SizeOverLapUD5->FirstShow = SizeOverLapUD6->FirstShow = true;
    SizeOverLapUD5->show();
    EXPECT_EQ(SizeOverLapUD5->MinimumEdit->text(), QStringLiteral("0.00000"));
    EXPECT_EQ(SizeOverLapUD5->MaximumEdit->text(), QStringLiteral("2.00000"));
    SizeOverLapUD5->hide();
    SizeOverLapUD6->show();
    EXPECT_EQ(SizeOverLapUD6->MeanEdit->text(), QStringLiteral("1.00000"));
    EXPECT_EQ(SizeOverLapUD6->SDEdit->text(), QStringLiteral("1.00000"));
    SizeOverLapUD6->hide();
  }

  // Set up again for another column; the end point dialogs also for another file.
  SizeOverLapUD1->MinimumEdit->setText(QStringLiteral("4"));
  SizeOverLapUD2->MeanEdit->setText(QStringLiteral("4"));
  Pelmor->FileName = Dir.filePath(QStringLiteral("other.txt"));
  SizeOverLapUD1->show();
  SizeOverLapUD2->show();
  EXPECT_EQ(SizeOverLapUD1->MinimumEdit->text(), QStringLiteral("1.00000"));
  EXPECT_EQ(SizeOverLapUD2->MeanEdit->text(), QStringLiteral("4"));
  SizeOverLapUD1->hide();
  SizeOverLapUD2->hide();
  SizeOverlapOpts->ColumnList->setCurrentRow(1);  // wing: 3 5 7
  SizeOverLapUD2->show();
  EXPECT_EQ(SizeOverLapUD2->MeanEdit->text(), QStringLiteral("5.00000"));
  EXPECT_EQ(SizeOverLapUD2->SDEdit->text(), QStringLiteral("2.00000"));
  SizeOverLapUD2->MeanEdit->setText(QStringLiteral("9"));
  SizeOverLapUD2->ResetDefaultsButton->click();
  EXPECT_EQ(SizeOverLapUD2->MeanEdit->text(), QStringLiteral("5.00000"));
  SizeOverLapUD2->hide();
}

TEST_F(SizeOverlapDialogTest, ParameterChecksOnOKAndOnOtherClosing) {
  struct TCase {
    TSizeParameterDialog* Dialog;
    QString First, Second;
    QString Message;  // empty: accepted
  };
  SizeOverlapOpts->RoundingGroup->SetItemIndex(0);
  const TCase cases[] = {
      {SizeOverLapUD1, "0", "5", "Minimum must be > 0."},
      {SizeOverLapUD1, "2", "-1", "Maximum must be > 0 "},
      {SizeOverLapUD1, "6", "5", "Maximum must be > Minimum "},
      {SizeOverLapUD1, "x", "5", "Minimum must be > 0."},
      {SizeOverLapUD1, "0.4", "5", ""},
      {SizeOverLapUD5, "-2", "-2", "Maximum must be > Minimum "},
      {SizeOverLapUD5, "-2", "-1.5", ""},
      {SizeOverLapUD2, "-0.1", "0", "Mean must be >= 0 "},
      {SizeOverLapUD2, "0", "0", "Standard deviation must be > 0 "},
      {SizeOverLapUD2, "0", "0.1", ""},
      {SizeOverLapUD6, "-7", "0", "Standard deviation must be > 0 "},
      {SizeOverLapUD6, "-7", "0.5", ""},
  };
  for (const TCase& c : cases) {
    c.Dialog->show();
    c.Dialog->FirstEdit->setText(c.First);
    c.Dialog->SecondEdit->setText(c.Second);
    Script.Messages.clear();
    c.Dialog->OKButton->click();
    if (c.Message.isEmpty()) {
      EXPECT_TRUE(Script.Messages.isEmpty()) << c.First.toStdString();
      EXPECT_FALSE(c.Dialog->isVisible());
    } else {
      EXPECT_EQ(Script.Messages, QStringList{c.Message}) << c.First.toStdString();
      EXPECT_TRUE(c.Dialog->isVisible());
    }
    c.Dialog->hide();
  }
  // Under "Integer" a minimum that rounds below 1 would put sizes of 0 in the pool.
  SizeOverlapOpts->RoundingGroup->SetItemIndex(1);
  SizeOverLapUD1->MinimumEdit->setText(QStringLiteral("0.4"));
  SizeOverLapUD1->MaximumEdit->setText(QStringLiteral("5"));
  EXPECT_EQ(SizeOverLapUD1->CheckValues(), QStringLiteral("Minimum must be > 0."));
  SizeOverLapUD1->MinimumEdit->setText(QStringLiteral("0.6"));
  EXPECT_EQ(SizeOverLapUD1->CheckValues(), QString());
  SizeOverlapOpts->RoundingGroup->SetItemIndex(0);

  // Every dialog closed by other means with failing values sets its values up again.
  const std::pair<TSizeParameterDialog*, QString> closing[] = {
      {SizeOverLapUD1, "1.00000"}, {SizeOverLapUD2, "37.00000"}, {SizeOverLapUD5, "0.00000"}, {SizeOverLapUD6, "1.00000"}};
  for (const auto& [dialog, first] : closing) {
    dialog->show();
    dialog->FirstEdit->setText(QStringLiteral("1"));
    dialog->SecondEdit->setText(QStringLiteral("-1"));
    Script.Messages.clear();
    dialog->reject();
    EXPECT_EQ(Script.Messages, QStringList{"Resetting defaults!"}) << dialog->objectName().toStdString();
    EXPECT_EQ(dialog->FirstEdit->text(), first) << dialog->objectName().toStdString();
    EXPECT_FALSE(dialog->isVisible());
  }
  // Passing values close without a word.
  SizeOverLapUD2->show();
  Script.Messages.clear();
  SizeOverLapUD2->reject();
  EXPECT_TRUE(Script.Messages.isEmpty());
}

TEST_F(SizeOverlapDialogTest, HistogramEditorDefaultsFileAndPoolSize) {
  TSizeOverLapUD3& h = *SizeOverLapUD3;
  TStringGrid& g = *h.SpeciesHistogramGrid;
  Pelmor->SourcePoolSize = QStringLiteral("4");
  h.show();
  h.hide();
  EXPECT_EQ(h.windowTitle(), QStringLiteral("Pelmor -- User-defined histogram"));
  EXPECT_EQ(Column(g, 0), (QStringList{"Species", "A", "B", "C", "D"}));
  EXPECT_EQ(Column(g, 1), (QStringList{"Size", "1", "10", "100", "0"}));
  // A size of 0 cannot be drawn: its row takes no weight.
  EXPECT_EQ(Column(g, 2), (QStringList{"Colonization Weight", "1.0", "1.0", "1.0", "0.0"}));
  EXPECT_EQ(h.SpeciesPoolLabel->text(), QStringLiteral("4"));

  // Saved: each cell and a blank, CR LF, the blank inside the title as "_".
  ASSERT_TRUE(h.SaveHistogramToPath(Dir.filePath(QStringLiteral("histogram.txt"))));
  EXPECT_EQ(Read(QStringLiteral("histogram.txt")),
            QByteArray("Species Size Colonization_Weight \r\nA 1 1.0 \r\nB 10 1.0 \r\nC 100 1.0 \r\nD 0 0.0 \r\n"));
  g.SetCells(1, 1, QStringLiteral("77"));
  h.OpenHistogramFromPath(Dir.filePath(QStringLiteral("histogram.txt")));
  EXPECT_EQ(Column(g, 1), (QStringList{"Size", "1", "10", "100", "0"}));
  EXPECT_EQ(g.Cells(2, 0), QStringLiteral("Colonization_Weight"));
  EXPECT_EQ(g.ColCount(), 3);

  // LF and CR line ends, a last line without one, cells beyond the grid ignored: a
  // pool of six species.
  Write(QStringLiteral("big.txt"), "Species Size Weight extra\nA 1 1 x y\rB 2 1\r\nC 3 2\nD 4 1\nE 5 1\nF 6 0.5");
  Script.Messages.clear();
  h.OpenHistogramFromPath(Dir.filePath(QStringLiteral("big.txt")));
  EXPECT_TRUE(Script.Messages.isEmpty());
  EXPECT_EQ(Column(g, 0), (QStringList{"Species", "A", "B", "C", "D", "E", "F"}));
  EXPECT_EQ(Column(g, 2), (QStringList{"Weight", "1", "1", "2", "1", "1", "0.5"}));
  EXPECT_EQ(g.ColCount(), 3);
  EXPECT_EQ(h.SpeciesPoolLabel->text(), QStringLiteral("6"));
  EXPECT_EQ(Pelmor->SourcePoolSize, QStringLiteral("6"));

  // A later launch on the same data file keeps the loaded pool.
  Pelmor->SourcePoolSize = QStringLiteral("4");
  h.show();
  h.hide();
  EXPECT_EQ(g.RowCount(), 7);
  EXPECT_EQ(h.SpeciesPoolLabel->text(), QStringLiteral("6"));
  EXPECT_EQ(g.Cells(0, 6), QStringLiteral("F"));

  // "&Change ": the pool shrinks to the size chosen (rows kept from the top); it must
  // still hold every positive size.
  g.SetCells(1, 6, QStringLiteral("0"));
  OnWindow[SizeOverLapUD4] = [] {
    EXPECT_EQ(SizeOverLapUD4->SpeciesEdit->text(), QStringLiteral("6"));
    SizeOverLapUD4->SpeciesEdit->setText(QStringLiteral("5"));
    SizeOverLapUD4->OKButton->click();
  };
  h.ChangeButton->click();
  EXPECT_EQ(g.RowCount(), 6);
  EXPECT_EQ(h.SpeciesPoolLabel->text(), QStringLiteral("5"));

  // Too few lines: refused, and the defaults come back.
  Write(QStringLiteral("small.txt"), "Species Size W\r\nA 1 1\r\n");
  Script.Messages.clear();
  h.OpenHistogramFromPath(Dir.filePath(QStringLiteral("small.txt")));
  EXPECT_EQ(Script.Messages,
            (QStringList{"Histogram row count must be >= MainGrid row count.", "Resetting Defaults"}));
  // A size of 0 cannot be drawn: its row takes no weight.
  EXPECT_EQ(Column(g, 2), (QStringList{"Colonization Weight", "1.0", "1.0", "1.0", "0.0"}));
  EXPECT_EQ(h.SpeciesPoolLabel->text(), QStringLiteral("4"));
  Script.Messages.clear();
  h.OpenHistogramFromPath(Dir.filePath(QStringLiteral("missing.txt")));
  EXPECT_EQ(Script.Messages, QStringList{"Error opening file."});

  // Another data file brings the defaults back.
  g.SetCells(2, 1, QStringLiteral("3"));
  SetGrid({"sp m", "X 4", "Y 5", "Z 6"}, QStringLiteral("new.txt"));
  h.show();
  h.hide();
  EXPECT_EQ(Column(g, 0), (QStringList{"Species", "X", "Y", "Z"}));
  EXPECT_EQ(g.Cells(2, 1), QStringLiteral("1.0"));
}

TEST_F(SizeOverlapDialogTest, PoolSizeDialogLimits) {
  TSizeOverLapUD3& h = *SizeOverLapUD3;
  TSizeOverLapUD4& d = *SizeOverLapUD4;
  h.SetDefaults();  // sizes 1 10 100 0: three positive
  Pelmor->SourcePoolSize = QStringLiteral("4");
  d.show();
  EXPECT_EQ(d.SpeciesEdit->text(), QStringLiteral("4"));
  const std::pair<QString, QString> cases[] = {
      {"2", "Histogram row count must be >= Non-zero rows."},
      {"241102", "Histogram row count must be < 241101."},
  };
  for (const auto& [text, message] : cases) {
    Script.Messages.clear();
    d.SpeciesEdit->setText(text);
    d.OKButton->click();
    EXPECT_EQ(Script.Messages, QStringList{message});
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(Pelmor->SourcePoolSize, QStringLiteral("4"));
  }
  Script.Messages.clear();
  d.SpeciesEdit->setText(QStringLiteral("3"));  // the number of positive sizes
  d.OKButton->click();
  EXPECT_TRUE(Script.Messages.isEmpty());
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(Pelmor->SourcePoolSize, QStringLiteral("3"));
  EXPECT_EQ(Pelmor->NumOccupiedSpecies, 3);
  // "&Cancel" keeps the size.
  d.show();
  d.SpeciesEdit->setText(QStringLiteral("9"));
  d.CancelButton->click();
  EXPECT_EQ(Pelmor->SourcePoolSize, QStringLiteral("3"));
  // No positive size at all.
  for (int r = 1; r < h.SpeciesHistogramGrid->RowCount(); ++r) h.SpeciesHistogramGrid->SetCells(1, r, "0");
  d.show();
  Script.Messages.clear();
  d.OKButton->click();
  EXPECT_EQ(Script.Messages, QStringList{"Non-Zero Rows Must be > 0"});
  EXPECT_TRUE(d.isVisible());
  EXPECT_TRUE(Pelmor->AbortRequested);
  d.hide();
}

}  // namespace
