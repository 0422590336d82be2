// The species-diversity run through its window, launched as the Analyze menu does:
// the checks and their messages (with the mended cases), the curve grids and the
// summary of hand-worked matrices, the four modes replayed from a seed, the files of
// simulated draws, the curve files, aborts, and batch mode with the launcher's rules.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include "analyses/cooccurrence/CoOccurrenceMain.h"
#include "analyses/cooccurrence/CoOccurrenceOptions.h"
#include "analyses/diversity/AbundancelevelsOptions.h"
#include "analyses/diversity/SpeciesDiversityMain.h"
#include "analyses/diversity/SpeciesDiversityOptions.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"
#include "tests/shell/GuiFixture.h"

namespace {
class AbortOnShow : public QObject {
 public:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::Show && Watched == Progress)
      QMetaObject::invokeMethod(Progress->InterruptButton, "click", Qt::QueuedConnection);
    return false;
  }
};

// Which run: sample unit, algorithm, index, user levels (empty: default levels).
struct TMode {
  int Unit = 0, Algorithm = 1, Index = 0, Column = 0;
  QString Levels{};  // memo text; empty for the default levels
  bool Save = false;
  bool User = false;  // user-defined levels even when Levels is empty (an empty memo)
};

class DiversityRunTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    ASSERT_NE(SpeciesDiversity, nullptr);
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    Pelmor->New1Click();
    Script.OnModal = [this](QWidget* w) {
      if (w == SpeciesDiversityOpts) {
        if (Answer) Answer();
        (Accept ? SpeciesDiversityOpts->RunButton : SpeciesDiversityOpts->CancelButton)->click();
      } else if (w == SpeciesDiversity) {
        ++Results;
      } else if (w == AbundanceLevelsOpts) {
        AbundanceLevelsOpts->OKButton->click();
      } else if (w == CoOccurrenceOpts) {
        CoOccurrenceOpts->IterationsEdit->setText(QStringLiteral("5"));
        CoOccurrenceOpts->RunButton->click();
      }
    };
  }
  void TearDown() override {
    TSpeciesDiversityOpts& o = *SpeciesDiversityOpts;
    o.SpeciesGroup->SetItemIndex(0);
    o.SampleLevelsGroup->SetItemIndex(0);
    o.ResetDefaults();
    o.SavedColumnItem = o.SavedIndexItem = 0;
    AbundanceLevelsOpts->Memo1->setPlainText(QStringLiteral("10\n20"));
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    DefaultMatrix();
    TGuiFixture::TearDown();
  }

  // The main grid: rows of counts separated by blanks; titles "species", "s1".., "sp1"..
  void SetMatrix(const QStringList& Rows, const QString& Name = QStringLiteral("hand.txt")) {
    const int cols = static_cast<int>(Rows[0].split(QLatin1Char(' ')).size()) + 1;
    TCellTable t(static_cast<size_t>(Rows.size() + 1), std::vector<QString>(static_cast<size_t>(cols)));
    t[0][0] = QStringLiteral("species");
    for (int c = 1; c < cols; ++c) t[0][c] = QStringLiteral("s%1").arg(c);
    for (int r = 1; r <= Rows.size(); ++r) {
      t[r][0] = QStringLiteral("sp%1").arg(r);
      const QStringList cells = Rows[r - 1].split(QLatin1Char(' '));
      for (int c = 1; c < cols; ++c) t[r][c] = cells[c - 1];
    }
    Pelmor->MainGrid->SetTable(std::move(t), cols);
    Pelmor->FileName = Dir.filePath(Name);
  }
  // A grid of empty cells, titles included.
  static void EmptyGrid(int Cols, int Rows) {
    Pelmor->MainGrid->SetTable(TCellTable(static_cast<size_t>(Rows), std::vector<QString>(static_cast<size_t>(Cols))), Cols);
  }
  void Launch(const QString& Iterations, const QString& Seed, const TMode& M = {}) {
    Answer = [=] {
      TSpeciesDiversityOpts& o = *SpeciesDiversityOpts;
      o.IterationsEdit->setText(Iterations);
      o.RandomSeedEdit->setText(Seed);
      o.SaveMatrixCheckBox->setChecked(M.Save);
      o.SpeciesGroup->SetItemIndex(M.Unit);
      o.RandomizationGroup->SetItemIndex(M.Algorithm);
      o.IndexList->setCurrentIndex(M.Index);
      o.ColumnList->setCurrentIndex(M.Column);
      const bool user = M.User || !M.Levels.isEmpty();
      if (user) AbundanceLevelsOpts->Memo1->setPlainText(M.Levels);
      (M.Unit == 1 ? o.SampleLevelsGroup : o.AbundanceLevelsGroup)->SetItemIndex(user ? 1 : 0);
    };
    Script.Messages.clear();
    Results = 0;
    ASSERT_TRUE(Pelmor->LaunchAnalysis(QStringLiteral("SpeciesDiversity")));
  }
  QStringList Summary() const { return SpeciesDiversity->SummaryLines(); }
  static QStringList Row(const TStringGrid& G, int R) {
    QStringList cells;
    for (int c = 0; c < G.ColCount(); ++c) cells << G.Cells(c, R);
    return cells;
  }
  static QString GridText(const TStringGrid& G) {
    QStringList rows;
    for (int r = 0; r < G.RowCount(); ++r) rows << Row(G, r).join(QLatin1Char(' '));
    return rows.join(QLatin1Char('\n'));
  }
  void Refused(const QStringList& Messages) {
    EXPECT_EQ(Script.Messages, Messages);
    EXPECT_EQ(Results, 0);
    EXPECT_FALSE(SpeciesDiversity->Completed);
    EXPECT_TRUE(Pelmor->AbortRequested);
    EXPECT_FALSE(Progress->isVisible());
  }

  std::function<void()> Answer;
  bool Accept = true;
  int Results = 0;
};

const QString InitFailed = QStringLiteral("Initialization failed.");
// Counts 3, 2, 1 in s1; s2 and s3 hold one individual each.
const QStringList Hand{QStringLiteral("3 1 0"), QStringLiteral("2 0 1"), QStringLiteral("1 0 0")};
}  // namespace

TEST_F(DiversityRunTest, IndividualRarefactionOfAHandMatrix) {
  SetMatrix(Hand);
  Launch(QStringLiteral("200"), QStringLiteral("5"));
  ASSERT_EQ(Results, 1) << Script.Messages.join("|").toStdString();
  EXPECT_TRUE(Script.Messages.isEmpty());
  // S = 3, so 4 default levels of N = 6: step 1.5 gives 1, 2.5 -> 2 (half to even),
  // 3.5 -> 3 (truncated), 4.5 -> 4.
  const QStringList expected{QStringLiteral("Input file = ") + Pelmor->FileName,
                             "Rows = 3; Columns = 3",
                             "Iterations = 200",
                             "Random seed = 5",
                             "Analyzed column = s1",
                             "Randomization algorithm = Rarefaction curve",
                             "Abundance level = Default",
                             "Index = Species Richness",
                             "ABUNDANCE LEVELS:",
                             "1",
                             "2",
                             "3",
                             "4"};
  EXPECT_EQ(Summary(), expected);
  const TStringGrid& g = *SpeciesDiversity->DiversityCurveStringGrid;
  ASSERT_EQ(g.RowCount(), 6);
  EXPECT_EQ(Row(g, 0), (QStringList{"Abundance", "AverageDiversity", "MedianDiversity", "VarianceDiversity",
                                    "95%Conf.Low", "95%Conf.High"}));
  EXPECT_EQ(Row(g, 1), (QStringList{"6(Obs.)", "3.00000", "3.00000", "0.00000", "3.00000", "3.00000"}));
  // One individual is always one species.
  EXPECT_EQ(Row(g, 2), (QStringList{"1", "1.00000", "1.00000", "0.00000", "1.00000", "1.00000"}));
  // Four of six individuals always hold at least two species, at most three.
  EXPECT_EQ(g.Cells(0, 5), "4");
  EXPECT_GE(g.Cells(4, 5).toDouble(), 2.0);
  EXPECT_LE(g.Cells(5, 5).toDouble(), 3.0);
  // The input tab holds the titles and the analysed column; the simulation tab the
  // last draw (4 individuals).
  const TStringGrid& in = *SpeciesDiversity->InputColumnStringGrid;
  EXPECT_EQ(Row(in, 0), (QStringList{"species", "s1"}));
  EXPECT_EQ(Row(in, 3), (QStringList{"sp3", "1"}));
  const TStringGrid& sim = *SpeciesDiversity->SimulationStringGrid;
  EXPECT_EQ(sim.Cells(0, 2), "sp2");
  EXPECT_EQ(sim.Cells(1, 1).toInt() + sim.Cells(1, 2).toInt() + sim.Cells(1, 3).toInt(), 4);
  EXPECT_FALSE(SpeciesDiversity->AbundanceTabVisible());
  EXPECT_FALSE(SpeciesDiversity->SaveAbundanceButton->isEnabled());
  EXPECT_EQ(SpeciesDiversity->PageControl1->currentWidget(), SpeciesDiversity->InputSheet);
  EXPECT_EQ(SpeciesDiversity->windowTitle(), "Pelmor: Species Diversity");
  // The progress bar went by Iterations div LevelCount per level.
  EXPECT_EQ(Progress->ProgressBar1->value(), 200);
  // The batch row of an interactive run.
  const TStringGrid& b = *Pelmor->BatchGrid;
  EXPECT_EQ(Row(b, b.RowCount() - 1), (QStringList{"hand.txt", "n/a", "n/a", "n/a"}));
}

TEST_F(DiversityRunTest, SampleRunsAndCurveFiles) {
  SetMatrix(Hand);
  // Every sample at the last level: the whole matrix each time, variance 0.
  Launch(QStringLiteral("50"), QStringLiteral("3"), {.Unit = 1, .Algorithm = 1, .Index = 0, .Levels = "1\n2\n3\n"});
  ASSERT_EQ(Results, 1) << Script.Messages.join("|").toStdString();
  EXPECT_TRUE(SpeciesDiversity->AbundanceTabVisible());
  EXPECT_TRUE(SpeciesDiversity->SaveAbundanceButton->isEnabled());
  const QStringList s = Summary();
  ASSERT_EQ(s.size(), 12);
  EXPECT_EQ(s[4], "Sample Level = 3");
  EXPECT_EQ(s[6], "Sample level = User-defined");
  EXPECT_EQ(s[8], "SAMPLE LEVELS:");
  EXPECT_EQ(s[11], "3");
  const TStringGrid& d = *SpeciesDiversity->DiversityCurveStringGrid;
  const TStringGrid& a = *SpeciesDiversity->DiversityCurveStringGrid2;
  EXPECT_EQ(Row(d, 4), (QStringList{"3", "3.00000", "3.00000", "0.00000", "3.00000", "3.00000"}));
  // 6 + 1 + 1 individuals.
  EXPECT_EQ(Row(a, 1), (QStringList{"3(Obs.)", "8.00000", "8.00000", "0.00000", "8.00000", "8.00000"}));
  EXPECT_EQ(Row(a, 4), (QStringList{"3", "8.00000", "8.00000", "0.00000", "8.00000", "8.00000"}));
  // A single sample: s1 (6 individuals, 3 species) or s2 / s3 (1 and 1).
  const double meanOne = d.Cells(1, 2).toDouble();
  EXPECT_GE(meanOne, 1.0);
  EXPECT_LE(meanOne, 3.0);
  EXPECT_EQ(SpeciesDiversity->SimulationStringGrid->Cells(1, 1), "4");  // the whole matrix last

  // Curve files: header, observed row and one row per level.
  Script.FileAnswers = {Dir.filePath(QStringLiteral("d.txt")), Dir.filePath(QStringLiteral("a.txt")), QString()};
  ASSERT_TRUE(SpeciesDiversity->SaveDiversityButtonClick());
  ASSERT_TRUE(SpeciesDiversity->SaveAbundanceButtonClick());
  EXPECT_FALSE(SpeciesDiversity->SaveDiversityButtonClick());  // cancelled: nothing written
  const QList<QByteArray> lines = Read(QStringLiteral("d.txt")).split('\n');
  ASSERT_EQ(lines.size(), 6);  // five lines, each ended by CR LF
  EXPECT_EQ(lines[0], "Sample AverageDiversity MedianDiversity VarianceDiversity 95%Conf.Low 95%Conf.High\r");
  EXPECT_EQ(lines[1], "3(Obs.) 3.00000 3.00000 0.00000 3.00000 3.00000\r");
  EXPECT_EQ(lines[4], "3 3.00000 3.00000 0.00000 3.00000 3.00000\r");
  EXPECT_TRUE(lines[5].isEmpty());
  EXPECT_TRUE(Read(QStringLiteral("a.txt")).startsWith(
      "Sample AverageAbundance MedianAbundance VarianceAbundance 95%Conf.Low 95%Conf.High\r\n3(Obs.) 8.00000"));
  // A failed write says so.
  QDir(Dir.path()).mkdir(QStringLiteral("blocked.txt"));
  Script.Messages.clear();
  Script.FileAnswers = {Dir.filePath(QStringLiteral("blocked.txt"))};
  EXPECT_FALSE(SpeciesDiversity->SaveDiversityButtonClick());
  EXPECT_EQ(Script.Messages, QStringList{"Error writing file."});

  // Default sample levels are kept up to the number of samples: four samples of one
  // individual each give levels 1 and 4 (step 5/2: 1, 3.5 -> 4), not a stop at 4.
  SetMatrix({QStringLiteral("1 0 0 0"), QStringLiteral("0 1 0 0"), QStringLiteral("0 0 1 0"),
             QStringLiteral("0 0 0 1")});
  Launch(QStringLiteral("30"), QStringLiteral("3"), {.Unit = 1, .Algorithm = 1});
  ASSERT_EQ(Results, 1) << Script.Messages.join("|").toStdString();
  EXPECT_EQ(Summary().mid(9), (QStringList{"1", "4"}));
  EXPECT_EQ(Row(d, 3), (QStringList{"4", "4.00000", "4.00000", "0.00000", "4.00000", "4.00000"}));
}

TEST_F(DiversityRunTest, SeededRunsReplayInEveryMode) {
  SetMatrix({QStringLiteral("5 0 2 1"), QStringLiteral("1 1 0 3"), QStringLiteral("0 4 1 0"),
             QStringLiteral("2 2 2 2"), QStringLiteral("0 0 0 1")});
  for (int unit : {0, 1})
    for (int algorithm : {0, 1})
      for (int index : {0, 1, 2, 3}) {
        const TMode m{.Unit = unit, .Algorithm = algorithm, .Index = index};
        Launch(QStringLiteral("40"), QStringLiteral("11"), m);
        ASSERT_EQ(Results, 1) << unit << algorithm << index << Script.Messages.join("|").toStdString();
        const QString first = GridText(*SpeciesDiversity->DiversityCurveStringGrid) +
                              GridText(*SpeciesDiversity->SimulationStringGrid);
        Launch(QStringLiteral("40"), QStringLiteral("11"), m);
        ASSERT_EQ(Results, 1);
        EXPECT_EQ(GridText(*SpeciesDiversity->DiversityCurveStringGrid) +
                      GridText(*SpeciesDiversity->SimulationStringGrid),
                  first)
            << unit << algorithm << index;
        // Hurlbert's PIE lies between 0 and 1 in every column of every level.
        if (index == 1) {
          const TStringGrid& g = *SpeciesDiversity->DiversityCurveStringGrid;
          for (int r = 2; r < g.RowCount(); ++r)
            for (int c = 1; c <= 5; ++c) {
              const double v = g.Cells(c, r).toDouble();
              EXPECT_GE(v, 0.0);
              EXPECT_LE(v, 1.0);
            }
        }
      }
}

TEST_F(DiversityRunTest, ChecksBeforeTheRun) {
  // Iterations: 10000 accepted, 10001 and 0 refused, each followed by the general text.
  SetMatrix(Hand);
  Launch(QStringLiteral("10001"), QStringLiteral("1"));
  Refused({"Iterations must be fewer than 10,000.", InitFailed});
  Launch(QStringLiteral("0"), QStringLiteral("1"));
  Refused({"Iterations must be greater than 0.", InitFailed});
  Launch(QStringLiteral("10000"), QStringLiteral("1"), {.Levels = "1"});
  EXPECT_EQ(Results, 1);
  // The refused run has reseeded the generator all the same; a 2 x 2 grid has one row.
  EmptyGrid(2, 2);
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  Refused({"Must have at least 2 rows of data for species diversity.", InitFailed});
  // The cell bound is 241101, whatever the message says.
  const QString limit = QStringLiteral("4 < Cell limit < 240000, e.g. 2400x100.");
  EmptyGrid(100, 2401);
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  Refused({"Non zero rows <= 0."});
  EmptyGrid(3, 80367);
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  Refused({"Non zero rows <= 0."});
  EmptyGrid(101, 2401);
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  Refused({limit, InitFailed});

  // Counts below 0 and totals beyond 32 bits are refused before anything runs.
  SetMatrix({QStringLiteral("3 1"), QStringLiteral("-2 4"), QStringLiteral("1 0")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  Refused({"Invalid value @ Row 2 Col 1", InitFailed});
  // Column 2 of the same matrix is fine for an individual run ...
  Launch(QStringLiteral("10"), QStringLiteral("1"), {.Column = 1});
  EXPECT_EQ(Results, 1) << Script.Messages.join("|").toStdString();
  // ... but a sample run reads every cell.
  Launch(QStringLiteral("10"), QStringLiteral("1"), {.Unit = 1, .Column = 1});
  Refused({"Invalid value @ Row 2 Col 1", InitFailed});
  SetMatrix({QStringLiteral("2147483647"), QStringLiteral("1")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  Refused({"Too many individuals.", InitFailed});
  SetMatrix({QStringLiteral("2147483646"), QStringLiteral("1")});
  Launch(QStringLiteral("10"), QStringLiteral("1"), {.Levels = "1"});
  EXPECT_EQ(Results, 1) << Script.Messages.join("|").toStdString();

  // A column of zeros.
  SetMatrix({QStringLiteral("0 1"), QStringLiteral("0 2")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  Refused({"Non zero rows <= 0."});
  // A sample run with an empty sample column.
  Launch(QStringLiteral("10"), QStringLiteral("1"), {.Unit = 1});
  Refused({"Sample column 1 holds no individuals. Cannot run simulation."});
  // One sample column: no default level.
  SetMatrix({QStringLiteral("4"), QStringLiteral("2")});
  Launch(QStringLiteral("10"), QStringLiteral("1"), {.Unit = 1});
  Refused({"Sample level < 1. Cannot run simulation."});
  Launch(QStringLiteral("10"), QStringLiteral("1"), {.Unit = 1, .Levels = "1\n1"});
  Refused({"Sample Level > Number of Columns."});
  // No sample column at all: no species holds an individual.
  EmptyGrid(1, 4);
  Launch(QStringLiteral("10"), QStringLiteral("1"), {.Unit = 1});
  Refused({"Non zero rows <= 0."});
  SetMatrix(Hand);
  Launch(QStringLiteral("10"), QStringLiteral("1"), {.Unit = 1, .Levels = "1\n4"});
  Refused({"Sample levels are invalid."});

  // User levels: above N, more than 50, none, decreasing for an accumulation.
  Launch(QStringLiteral("10"), QStringLiteral("1"), {.Levels = "2\n7"});
  Refused({"Abundance list invalid."});
  QString many;
  for (int i = 0; i < 51; ++i) many += QStringLiteral("1\n");
  Launch(QStringLiteral("10"), QStringLiteral("1"), {.Levels = many});
  Refused({"Abundance list is too large. Limit is 50 abundance levels. "});
  Launch(QStringLiteral("10"), QStringLiteral("1"), {.Algorithm = 0, .Levels = "1\n5\n3"});
  Refused({"Abundance levels must not decrease for an accumulation curve."});
  // The same levels make a rarefaction curve; equal levels make an accumulation.
  Launch(QStringLiteral("10"), QStringLiteral("1"), {.Algorithm = 1, .Levels = "1\n5\n3"});
  EXPECT_EQ(Results, 1);
  Launch(QStringLiteral("10"), QStringLiteral("1"), {.Algorithm = 0, .Levels = "2\n2\n6"});
  EXPECT_EQ(Results, 1);
  // An empty memo with "User-defined".
  Launch(QStringLiteral("10"), QStringLiteral("1"), {.User = true});
  Refused({"Abundance list count < 0. Cannot run simulation."});
}

TEST_F(DiversityRunTest, DefaultLevelsThatStopShortRunWithTheLevelsKept) {
  // Counts 2, 1, 1, 1: S = 4, N = 5, five tries give 1, 2, 3, 4 and 5, which is not
  // below N: four levels run instead of a stop at a level 0.
  SetMatrix({QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1")});
  for (int algorithm : {0, 1}) {
    Launch(QStringLiteral("20"), QStringLiteral("2"), {.Algorithm = algorithm});
    ASSERT_EQ(Results, 1) << Script.Messages.join("|").toStdString();
    EXPECT_EQ(Summary().mid(8), (QStringList{"ABUNDANCE LEVELS:", "1", "2", "3", "4"}));
    EXPECT_EQ(SpeciesDiversity->DiversityCurveStringGrid->RowCount(), 6);
  }
  // Three singletons: 1, 2, 2.
  SetMatrix({QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1")});
  Launch(QStringLiteral("20"), QStringLiteral("2"), {.Algorithm = 0, .Index = 1});
  ASSERT_EQ(Results, 1) << Script.Messages.join("|").toStdString();
  EXPECT_EQ(Summary().mid(9), (QStringList{"1", "2", "2"}));
  EXPECT_EQ(Summary()[7], "Index = Hurlberts PIE");
  // Two singletons at level 2: PIE = 2 x (1 - 1/2) = 1 in every draw.
  EXPECT_EQ(Row(*SpeciesDiversity->DiversityCurveStringGrid, 3),
            (QStringList{"2", "1.00000", "1.00000", "0.00000", "1.00000", "1.00000"}));
  // Sixty species: 50 default levels.
  QStringList sixty;
  for (int i = 0; i < 60; ++i) sixty << QStringLiteral("2");
  SetMatrix(sixty);
  Launch(QStringLiteral("10"), QStringLiteral("2"));
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(SpeciesDiversity->LevelCount, 50);
  EXPECT_EQ(SpeciesDiversity->DiversityCurveStringGrid->RowCount(), 52);
}

TEST_F(DiversityRunTest, SimulatedDrawsAreSavedOneFilePerLevel) {
  SetMatrix(Hand);
  // Rarefaction: the last draw of each level, "Sim" + Iterations + "_" + position.
  Pelmor->SaveMatrices = false;
  Launch(QStringLiteral("7"), QStringLiteral("4"), {.Levels = "2\n5", .Save = true});
  ASSERT_EQ(Results, 1) << Script.Messages.join("|").toStdString();
  // This launcher leaves the run state's copy of the box alone.
  EXPECT_FALSE(Pelmor->SaveMatrices);
  for (int p : {1, 2}) {
    const QList<QByteArray> lines = Read(QStringLiteral("Sim7_%1.txt").arg(p)).split('\n');
    ASSERT_EQ(lines.size(), 5) << p;
    EXPECT_EQ(lines[0], "species s1\r");
    int drawn = 0;
    for (int r = 1; r <= 3; ++r) drawn += lines[r].split(' ').value(1).trimmed().toInt();
    EXPECT_EQ(drawn, p == 1 ? 2 : 5);
  }
  EXPECT_FALSE(QFile::exists(Dir.filePath(QStringLiteral("Sim7.txt"))));
  // Accumulation of individuals: every iteration's grown draw, counted from 0.
  Launch(QStringLiteral("3"), QStringLiteral("4"), {.Algorithm = 0, .Levels = "2\n5", .Save = true});
  ASSERT_EQ(Results, 1);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(QFile::exists(Dir.filePath(QStringLiteral("Sim%1.txt").arg(i)))) << i;
  EXPECT_FALSE(QFile::exists(Dir.filePath(QStringLiteral("Sim3.txt"))));
  // Sample runs: one file per level as well.
  Launch(QStringLiteral("6"), QStringLiteral("4"), {.Unit = 1, .Algorithm = 0, .Levels = "1\n2\n3", .Save = true});
  ASSERT_EQ(Results, 1);
  for (int p : {1, 2, 3}) EXPECT_TRUE(QFile::exists(Dir.filePath(QStringLiteral("Sim6_%1.txt").arg(p)))) << p;
}

TEST_F(DiversityRunTest, AbortEndsTheRunWithoutResults) {
  QStringList rows;
  for (int i = 0; i < 40; ++i) rows << QStringLiteral("%1").arg(50 + i);
  SetMatrix(rows);
  AbortOnShow filter;
  Progress->installEventFilter(&filter);
  Launch(QStringLiteral("10000"), QStringLiteral("2"));
  Progress->removeEventFilter(&filter);
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(SpeciesDiversity->Completed);
  EXPECT_TRUE(Script.Messages.isEmpty());
  EXPECT_TRUE(Pelmor->isVisible());
  // Cancelling the dialog runs nothing.
  Accept = false;
  Launch(QStringLiteral("10"), QStringLiteral("2"));
  EXPECT_EQ(Results, 0);
  EXPECT_FALSE(SpeciesDiversity->Completed);
}

TEST_F(DiversityRunTest, BatchesShareOneSummaryGridAndWriteCurveFiles) {
  // Each summary names its own file's column, not the grid the dialog was opened over.
  Write(QStringLiteral("a.txt"), "species s1 s2\r\nsp1 3 1\r\nsp2 2 0\r\nsp3 1 4\r\n");
  Write(QStringLiteral("b.txt"), "species north south\r\nsp1 3 1\r\nsp2 2 0\r\nsp3 1 4\r\n");
  Pelmor->BatchOn();
  Launch(QStringLiteral("20"), QStringLiteral("9"));
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  // A second launch adds its rows after the first ones.
  Launch(QStringLiteral("20"), QStringLiteral("9"));
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  const TStringGrid& b = *Pelmor->BatchGrid;
  ASSERT_EQ(b.RowCount(), 5);
  EXPECT_EQ(Row(b, 0), (QStringList{"FileName", "Standard-Effect", "LowerTailP", "UpperTailP"}));
  EXPECT_EQ(Row(b, 4), (QStringList{"b.txt", "n/a", "n/a", "n/a"}));
  EXPECT_EQ(Read(QStringLiteral("BatchSummary.txt")).count("\r\n"), 5);
  EXPECT_TRUE(Read(QStringLiteral("BatchSummary.txt")).endsWith("b.txt n/a n/a n/a\r\n"));
  const QByteArray curve = Read(QStringLiteral("DiversityCurve a.txt"));
  EXPECT_TRUE(curve.startsWith("Abundance AverageDiversity MedianDiversity VarianceDiversity 95%Conf.Low "
                               "95%Conf.High\r\n6(Obs.) 3.00000"))
      << curve.toStdString();
  EXPECT_TRUE(Read(QStringLiteral("Summarya.txt")).startsWith("Input file = "));
  EXPECT_TRUE(Read(QStringLiteral("Summarya.txt")).contains("\r\nAnalyzed column = s1\r\n"));
  EXPECT_TRUE(Read(QStringLiteral("Summaryb.txt")).contains("\r\nAnalyzed column = north\r\n"));
  EXPECT_TRUE(QFile::exists(Dir.filePath(QStringLiteral("DiversityCurve b.txt"))));
  // A co-occurrence launch starts again from the header row.
  Script.Messages.clear();
  ASSERT_TRUE(Pelmor->LaunchAnalysis(QStringLiteral("CoOccurrence")));
  EXPECT_LE(b.RowCount(), 3);
}

TEST_F(DiversityRunTest, BatchStopsAtAFileItCannotRun) {
  // The second file has too many columns for species diversity.
  Write(QStringLiteral("a.txt"), "species s1 s2\r\nsp1 3 1\r\nsp2 2 1\r\n");
  QByteArray wide = "species";
  for (int c = 1; c <= 101; ++c) wide += " s" + QByteArray::number(c);
  wide += "\r\nsp1";
  for (int c = 1; c <= 101; ++c) wide += " 1";
  wide += "\r\nsp2";
  for (int c = 1; c <= 101; ++c) wide += " 2";
  wide += "\r\n";
  Write(QStringLiteral("b.txt"), wide);
  Write(QStringLiteral("c.txt"), "species s1 s2\r\nsp1 3 1\r\nsp2 2 1\r\n");
  Pelmor->BatchOn();
  Launch(QStringLiteral("10"), QStringLiteral("9"));
  EXPECT_EQ(Script.Messages, (QStringList{"Species Diversity Column Count Maximum = 100",
                                          QStringLiteral("File error: ") + Dir.filePath(QStringLiteral("b.txt"))}));
  EXPECT_EQ(Pelmor->BatchGrid->RowCount(), 2);
  EXPECT_FALSE(QFile::exists(Dir.filePath(QStringLiteral("Summaryc.txt"))));
  Pelmor->BatchOff();

  // The dialog's column (the second) is missing from a later file.
  QFile::remove(Dir.filePath(QStringLiteral("b.txt")));
  Write(QStringLiteral("b.txt"), "species s1\r\nsp1 3\r\nsp2 2\r\n");
  Pelmor->BatchOn();
  Pelmor->Memo1->setPlainText(QStringLiteral("a.txt\nb.txt\nc.txt"));
  Launch(QStringLiteral("10"), QStringLiteral("9"), {.Column = 1});
  EXPECT_EQ(Script.Messages, (QStringList{"Chosen column is not in the data file.", InitFailed}));
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(QFile::exists(Dir.filePath(QStringLiteral("Summaryc.txt"))));
  Pelmor->BatchOff();

  // A curve file that cannot be written stops the batch.
  ASSERT_TRUE(QFile::remove(Dir.filePath(QStringLiteral("DiversityCurve a.txt"))));
  ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("DiversityCurve a.txt")));
  Pelmor->BatchOn();
  Pelmor->Memo1->setPlainText(QStringLiteral("a.txt\nb.txt\nc.txt"));
  Launch(QStringLiteral("10"), QStringLiteral("9"));
  EXPECT_EQ(Script.Messages, (QStringList{"Error writing file.", "Batch processing error."}));
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(QFile::exists(Dir.filePath(QStringLiteral("DiversityCurve b.txt"))));
  Pelmor->BatchOff();
}
